// FileStream over a stdio file: blocks, little-endian integers, scrambled blocks and labelled
// text lines.
#include "io/file_stream.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "io/dyn_string.h"
#include "platform/stdio_file.h"

namespace {

const char* const kModeTexts[] = {"rt", "rb", "wt", "wb"};

// The white space of the "C" locale, which is what a scan format skips.
bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
int Lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

}  // namespace

int32_t ScrambleOffset(int32_t i, int32_t size, int32_t keyA, int32_t keyB) {
    // 201·keyA·i² + keyA − 2·keyB² + 2·i − size, wrapping at 32 bits like the original's ints.
    uint32_t ui = static_cast<uint32_t>(i);
    uint32_t a = static_cast<uint32_t>(keyA);
    uint32_t b = static_cast<uint32_t>(keyB);
    uint32_t v = 201u * a * ui * ui + a - 2u * b * b + 2u * ui - static_cast<uint32_t>(size);
    int32_t value = static_cast<int32_t>(v);
    if (value == 0) return 0;
    int32_t span = size - i;  // at least 1 for a position inside the block
    if (value == INT32_MIN) {
        // |−2³¹| does not fit, so the offset comes out negative: the partner lies at or before
        // i. A partner before the start of the block is not swapped with.
        int32_t offset = -static_cast<int32_t>(0x80000000u % static_cast<uint32_t>(span));
        return offset < -i ? 0 : offset;
    }
    return (value < 0 ? -value : value) % span;
}

void Scramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB) {
    for (int32_t i = 0; i < size; ++i) {
        int32_t j = i + ScrambleOffset(i, size, keyA, keyB);
        uint8_t t = bytes[i];
        bytes[i] = bytes[j];
        bytes[j] = t;
    }
}

void Unscramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB) {
    for (int32_t i = size - 1; i >= 0; --i) {
        int32_t j = i + ScrambleOffset(i, size, keyA, keyB);
        uint8_t t = bytes[i];
        bytes[i] = bytes[j];
        bytes[j] = t;
    }
}

FileStream::FileStream(const char* path, FileMode mode) : file(nullptr), failed(true) {
    if (!path || mode < ReadText || mode > WriteBinary) return;
    const char* modeText = kModeTexts[mode];
    if (mode == WriteText || mode == WriteBinary) {
        file = OpenFileBeside(path, modeText, &temporaryPath);
        if (file) targetPath = path;
    } else {
        file = OpenFile(path, modeText);
    }
    failed = file == nullptr;
}

FileStream::~FileStream() { Close(); }

bool FileStream::Close() {
    if (!file) return false;
    bool ok = !writeError && std::ferror(file) == 0;
    if (std::fclose(file) != 0) ok = false;
    file = nullptr;
    if (temporaryPath.empty()) return ok;
    if (ok) ok = MoveFileOver(temporaryPath.c_str(), targetPath.c_str());
    if (!ok) RemoveFile(temporaryPath.c_str());
    temporaryPath.clear();
    return ok;
}

bool FileStream::Wrote(bool ok) {
    if (!ok) writeError = true;
    return ok;
}

bool FileStream::Flush() { return Usable() && Wrote(std::fflush(file) == 0); }

int64_t FileStream::Length() { return Usable() ? FileLength(file) : -1; }

bool FileStream::Seek(int64_t offset) {
    if (!Usable() || offset < 0 || offset > LONG_MAX) return false;
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

bool FileStream::AtEnd() { return !Usable() || std::feof(file) != 0; }

bool FileStream::Read(void* buffer, int size) {
    if (!Usable() || !buffer || size <= 0) return false;
    return std::fread(buffer, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
}

bool FileStream::Write(const void* buffer, int size) {
    if (!Usable() || !buffer || size <= 0) return false;
    return Wrote(std::fwrite(buffer, 1, static_cast<size_t>(size), file) ==
                 static_cast<size_t>(size));
}

bool FileStream::ReadUInt(int* value, int byteCount) {
    if (!Usable() || !value || byteCount <= 0) return false;
    uint32_t assembled = 0;
    *value = 0;
    for (int k = 0; k < byteCount; ++k) {
        int c = std::getc(file);
        if (c == EOF) return false;
        // Bytes beyond the fourth have no place in 32 bits.
        if (k < 4) assembled |= static_cast<uint32_t>(c) << (8 * k);
        *value = static_cast<int>(assembled);
    }
    return true;
}

bool FileStream::WriteUInt(int value, int byteCount) {
    if (!Usable() || byteCount <= 0) return false;
    for (int k = 0; k < byteCount; ++k) {
        if (!Wrote(std::fputc(value & 0xFF, file) != EOF)) return false;
        value >>= 8;  // arithmetic: a negative value keeps its sign bits
    }
    return true;
}

bool FileStream::ReadScrambled(void* buffer, int size, int keyA, int keyB) {
    if (!Usable() || !buffer || size < 0) return false;
    if (size == 0) return true;
    std::fread(buffer, 1, static_cast<size_t>(size), file);
    Unscramble(static_cast<uint8_t*>(buffer), size, keyA, keyB);
    return true;
}

bool FileStream::WriteScrambled(const void* data, int size, int keyA, int keyB) {
    if (!Usable() || size < 0 || (!data && size > 0)) return false;
    if (size == 0) return true;
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (!copy) return Wrote(false);
    std::memcpy(copy.get(), data, static_cast<size_t>(size));
    Scramble(copy.get(), size, keyA, keyB);
    return Write(copy.get(), size);
}

bool FileStream::ReadLine(char* buffer, int size) {
    if (!Usable() || !buffer || size < 1) return false;
    int stored = 0;
    while (stored < size - 1) {
        int c = std::getc(file);
        if (c == EOF || c == '\n' || c == '\0') break;
        buffer[stored++] = static_cast<char>(c);
    }
    buffer[stored] = '\0';
    return true;
}

int FileStream::SkipLines(int count) {
    if (!Usable()) return -1;
    int lines = 0;
    while (lines < count) {
        int c = std::getc(file);
        if (c == EOF) break;
        if (c == '\n') ++lines;
    }
    return lines;
}

void FileStream::SkipWhiteSpace() {
    int c;
    while ((c = std::getc(file)) != EOF && IsSpace(c)) {
    }
    if (c != EOF) std::ungetc(c, file);
}

bool FileStream::MatchLabel(const char* label) {
    for (const char* p = label; *p; ++p) {
        unsigned char wanted = static_cast<unsigned char>(*p);
        if (IsSpace(wanted)) {
            SkipWhiteSpace();
            continue;
        }
        int c = std::getc(file);
        if (c == EOF) return false;
        if (c != wanted) {
            std::ungetc(c, file);
            return false;
        }
    }
    return true;
}

bool FileStream::Scan(const char* pattern) {
    if (!Usable() || !pattern) return false;
    // Only "%%" needs no target; the pattern is checked whole before anything is read.
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') continue;
        if (p[1] != '%') return false;
        ++p;
    }
    std::string literal;
    for (const char* p = pattern; *p; ++p) {
        literal += *p;
        if (*p == '%') ++p;
    }
    MatchLabel(literal.c_str());
    return true;
}

bool FileStream::Print(const char* text) {
    if (!Usable() || !text) return false;
    return Wrote(std::fputs(text, file) >= 0);
}

namespace {

bool WriteLabelled(FileStream* stream, const char* label, const DynString& value) {
    if (!label) return false;
    // A label the string cannot hold whole is refused rather than cut.
    if (std::strlen(label) + static_cast<size_t>(value.Length()) + 1 > DynString::kMaxLength)
        return false;
    DynString line = DynString(label) + value + "\n";
    return stream->Write(line.Text(), line.Length());
}

}  // namespace

bool FileStream::WriteInt(const char* label, int value) {
    if (!Usable()) return false;
    DynString number;
    number = value;
    return WriteLabelled(this, label, number);
}

bool FileStream::WriteFloat(const char* label, float value) {
    if (!Usable()) return false;
    DynString number;
    number = value;
    return WriteLabelled(this, label, number);
}

bool FileStream::ReadInt(const char* label, int* value) {
    if (!Usable() || !label || !value) return false;
    if (!MatchLabel(label)) return true;
    SkipWhiteSpace();
    int c = std::getc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::getc(file);
    }
    if (!IsDigit(c)) {
        if (c != EOF) std::ungetc(c, file);
        return true;
    }
    int64_t magnitude = 0;
    bool fits = true;
    for (; IsDigit(c); c = std::getc(file)) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) {
            fits = false;
            magnitude = int64_t{INT32_MAX} + 1;
        }
    }
    if (c != EOF) std::ungetc(c, file);
    int64_t signedValue = negative ? -magnitude : magnitude;
    // A number beyond the int range does not match.
    if (fits && signedValue >= INT32_MIN && signedValue <= INT32_MAX)
        *value = static_cast<int>(signedValue);
    SkipWhiteSpace();
    return true;
}

bool FileStream::ReadFloat(const char* label, float* value) {
    if (!Usable() || !label || !value) return false;
    if (!MatchLabel(label)) return true;
    SkipWhiteSpace();
    std::string text;
    int c = std::getc(file);
    if (c == '+' || c == '-') {
        text += static_cast<char>(c);
        c = std::getc(file);
    }
    if (Lower(c) == 'i' || Lower(c) == 'n') {
        // "inf", "infinity" and "nan", as "%f" prints them.
        while (Lower(c) >= 'a' && Lower(c) <= 'z') {
            text += static_cast<char>(c);
            c = std::getc(file);
        }
    } else {
        bool digits = false;
        for (; IsDigit(c); c = std::getc(file)) text += static_cast<char>(c), digits = true;
        if (c == '.') {
            text += '.';
            for (c = std::getc(file); IsDigit(c); c = std::getc(file))
                text += static_cast<char>(c), digits = true;
        }
        if (digits && (c == 'e' || c == 'E')) {
            text += 'e';
            c = std::getc(file);
            if (c == '+' || c == '-') {
                text += static_cast<char>(c);
                c = std::getc(file);
            }
            for (; IsDigit(c); c = std::getc(file)) text += static_cast<char>(c);
        }
    }
    if (c != EOF) std::ungetc(c, file);
    char* end = nullptr;
    float parsed = std::strtof(text.c_str(), &end);
    if (end != text.c_str()) *value = parsed;
    SkipWhiteSpace();
    return true;
}
