// DynString: exactly sized buffers, built anew by every operation.
#include "io/dyn_string.h"

#include <cstdio>
#include <cstring>

namespace {

int Clamp(int64_t count) {
    if (count < 0) return 0;
    return count > DynString::kMaxLength ? DynString::kMaxLength : static_cast<int>(count);
}

// strcmp's order: unsigned bytes up to the first NUL. A null text counts as empty.
int Compare(const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : ""); }

}  // namespace

DynString::DynString() : text(new char[1]()), length(0) {}

DynString::DynString(int n) : text(nullptr), length(0) {
    int count = Clamp(n);
    text = new char[static_cast<size_t>(count) + 1]();
    length = static_cast<uint16_t>(count);
}

DynString::DynString(const DynString& other) : text(nullptr), length(0) {
    Assign(other.text, other.length);
}

DynString::DynString(const char* s) : text(nullptr), length(0) {
    Assign(s, s ? static_cast<int64_t>(std::strlen(s)) : 0);
}

DynString::~DynString() { delete[] text; }

void DynString::Assign(const char* source, int64_t count) {
    int n = Clamp(count);
    char* fresh = new char[static_cast<size_t>(n) + 1];
    if (n > 0) std::memcpy(fresh, source, static_cast<size_t>(n));
    fresh[n] = '\0';
    // The old buffer goes only after the copy, so a string assigned from itself keeps its text.
    delete[] text;
    text = fresh;
    length = static_cast<uint16_t>(n);
}

DynString& DynString::operator=(const DynString& other) {
    if (this != &other) Assign(other.text, other.length);
    return *this;
}

DynString& DynString::operator=(const char* s) {
    Assign(s, s ? static_cast<int64_t>(std::strlen(s)) : 0);
    return *this;
}

DynString& DynString::operator=(int value) {
    char digits[16];
    int n = std::snprintf(digits, sizeof digits, "%d", value);
    Assign(digits, n);
    return *this;
}

DynString& DynString::operator=(float value) {
    char scratch[128];
    int n = std::snprintf(scratch, sizeof scratch, "%f", static_cast<double>(value));
    // The largest float prints in under 50 characters; snprintf reports the untruncated length.
    if (n >= static_cast<int>(sizeof scratch)) n = static_cast<int>(sizeof scratch) - 1;
    Assign(scratch, n);
    return *this;
}

DynString DynString::operator+(const DynString& other) const {
    int first = length;
    int second = Clamp(static_cast<int64_t>(kMaxLength) - first);
    if (second > other.length) second = other.length;
    DynString result(first + second);
    if (first > 0) std::memcpy(result.text, text, static_cast<size_t>(first));
    if (second > 0) std::memcpy(result.text + first, other.text, static_cast<size_t>(second));
    return result;
}

DynString DynString::operator+(const char* s) const {
    int first = length;
    int64_t wanted = s ? static_cast<int64_t>(std::strlen(s)) : 0;
    int second = Clamp(static_cast<int64_t>(kMaxLength) - first);
    if (second > wanted) second = static_cast<int>(wanted);
    DynString result(first + second);
    if (first > 0) std::memcpy(result.text, text, static_cast<size_t>(first));
    if (second > 0) std::memcpy(result.text + first, s, static_cast<size_t>(second));
    return result;
}

bool DynString::operator==(const DynString& other) const { return Compare(text, other.text) == 0; }
bool DynString::operator!=(const DynString& other) const { return Compare(text, other.text) != 0; }
bool DynString::operator==(const char* s) const { return Compare(text, s) == 0; }
bool DynString::operator!=(const char* s) const { return Compare(text, s) != 0; }
bool DynString::operator<(const DynString& other) const { return Compare(text, other.text) < 0; }
bool DynString::operator>(const DynString& other) const { return Compare(text, other.text) > 0; }
