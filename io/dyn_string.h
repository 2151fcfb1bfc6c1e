// An owned, NUL-terminated byte string with a 16-bit length, for composing short texts.
#pragma once

#include <cstdint>

// A string of at most 65535 characters that owns its bytes: assignment from texts and numbers,
// concatenation and comparison.
class DynString {
public:
    // The most characters a string holds; longer results are cut to this many.
    static constexpr int kMaxLength = 0xFFFF;

    DynString();                      // empty
    explicit DynString(int n);        // n NUL characters: reads as empty, yet `Length` is n
    DynString(const DynString& other);  // a copy of its own
    DynString(const char* s);         // a null text gives the empty string
    ~DynString();                     // frees the bytes

    // Takes a copy of another string or of a text, or a number as text.
    DynString& operator=(const DynString& other);
    DynString& operator=(const char* s);
    DynString& operator=(int value);    // as "%d" prints it
    DynString& operator=(float value);  // as "%f" prints it

    // The two joined, cut to kMaxLength characters.
    DynString operator+(const DynString& other) const;
    DynString operator+(const char* s) const;

    // Comparisons of the texts byte by byte, as strcmp compares them (a null text as empty).
    bool operator==(const DynString& other) const;
    bool operator!=(const DynString& other) const;
    bool operator==(const char* s) const;
    bool operator!=(const char* s) const;
    bool operator<(const DynString& other) const;
    bool operator>(const DynString& other) const;

    // The characters, NUL-terminated; never null.
    const char* Text() const { return text; }
    // The length the string holds, NUL characters included (DynString(n)).
    int Length() const { return length; }
    // -1 (all bits set) for a string of length 0, else 0.
    int IsEmpty() const { return length == 0 ? -1 : 0; }

private:
    // Replaces the buffer with `count` bytes of `source` (cut to kMaxLength) and a NUL.
    void Assign(const char* source, int64_t count);

    char* text;       // owned; exactly length + 1 bytes, the last one NUL
    uint16_t length;
};
