// Shared by the fuzz harnesses: a private folder for the files the readers are given, a check
// that stops the run with a message (libFuzzer keeps the input that did it), input bytes taken
// a few at a time, and the count of bitmap sections alive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "gfx/surface.h"
#include "platform/win32.h"

namespace fuzz {

// Little-endian fields of a file's bytes.
inline uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Stops the run: the reader broke a promise.
[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "broken promise at %s:%d: %s\n", file, line, what);
    std::abort();
}
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) ::fuzz::Broken(#condition, __FILE__, __LINE__); \
    } while (0)

// A folder of this process's own, made once, removed with everything in it at exit. In memory
// where the system has a folder for it: the writers make their files durable (fsync), which on a
// disk would cost more than the rest of a run.
class OwnFolder {
public:
    OwnFolder() {
        char inMemory[] = "/dev/shm/ondrel-fuzz-XXXXXX";
        char onDisk[] = "/tmp/ondrel-fuzz-XXXXXX";
        const char* made = mkdtemp(inMemory);
        if (!made) made = mkdtemp(onDisk);
        if (!made) Broken("no temporary folder", __FILE__, __LINE__);
        path = made;
    }
    ~OwnFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

inline const std::string& Folder() {
    static const OwnFolder folder;
    return folder.path;
}

inline std::string PathOf(const std::string& name) { return Folder() + "/" + name; }

// Writes the bytes as the file `name` in the folder and gives its path.
inline std::string WriteFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = PathOf(name);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        Broken("cannot write the input file", __FILE__, __LINE__);
    return path;
}

// The input taken from the front, a few bytes at a time; zeros once it runs out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t{U8()} << (8 * i);
        return v;
    }
    const uint8_t* Rest() const { return data_ + (at_ < size_ ? at_ : size_); }
    size_t RestSize() const { return at_ < size_ ? size_ - at_ : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Sections are numbered upward as they are made. A mark taken before a call, and the sections
// still alive after it between the mark and a new one, are what the call left behind.
inline uintptr_t SectionMark() {
    uint8_t* bits = nullptr;
    HBITMAP section = CreateDibSection(1, 1, &bits);
    if (!section) Broken("cannot make a probe section", __FILE__, __LINE__);
    DeleteObject(section);
    return reinterpret_cast<uintptr_t>(section);
}

inline int SectionsAliveSince(uintptr_t mark) {
    uintptr_t now = SectionMark();
    int alive = 0;
    for (uintptr_t h = mark + 1; h < now; ++h) {
        BITMAP record;
        if (GetObjectA(reinterpret_cast<HGDIOBJ>(h), static_cast<int>(sizeof record), &record) != 0) ++alive;
    }
    return alive;
}

// The keyed shuffle worked out from its definition in 64-bit arithmetic cut to 32 bits, apart
// from the reader's code: the partner of each position. Its comparisons are no guide to the
// fuzzer, and tracing them would cost more than the reader under test.
__attribute__((no_sanitize("coverage"))) inline std::vector<int64_t> ScramblePartners(int32_t size, int32_t keyA, int32_t keyB) {
    std::vector<int64_t> partners(static_cast<size_t>(size > 0 ? size : 0));
    for (int64_t i = 0; i < size; ++i) {
        uint64_t a = static_cast<uint64_t>(int64_t{keyA});
        uint64_t b = static_cast<uint64_t>(int64_t{keyB});
        uint64_t wide = 201 * a * static_cast<uint64_t>(i * i) + a - 2 * b * b + static_cast<uint64_t>(2 * i) -
                        static_cast<uint64_t>(int64_t{size});
        int64_t v = static_cast<int64_t>(wide & 0xFFFFFFFFu);
        if (v >= 0x80000000LL) v -= 0x100000000LL;
        int64_t modulus = size - i;
        int64_t r = v == 0 ? 0 : v == INT32_MIN ? -(0x80000000LL % modulus) : (v < 0 ? -v : v) % modulus;
        if (i + r < 0) r = 0;
        partners[static_cast<size_t>(i)] = i + r;
    }
    return partners;
}

__attribute__((no_sanitize("coverage"))) inline void ReferenceUnscramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB) {
    std::vector<int64_t> partners = ScramblePartners(size, keyA, keyB);
    for (size_t i = partners.size(); i-- > 0;) std::swap(bytes[i], bytes[partners[i]]);
}

__attribute__((no_sanitize("coverage"))) inline void ReferenceScramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB) {
    std::vector<int64_t> partners = ScramblePartners(size, keyA, keyB);
    for (size_t i = 0; i < partners.size(); ++i) std::swap(bytes[i], bytes[partners[i]]);
}

}  // namespace fuzz
