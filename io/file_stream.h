// A stdio stream with block transfer, little-endian integers, keyed scrambled blocks and
// labelled text lines. Every operation reports success as a bool; on a stream that did not open
// each one only reports failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// How a FileStream opens its file: reading or writing, text (line ends translated) or binary.
enum FileMode : int { ReadText = 0, ReadBinary = 1, WriteText = 2, WriteBinary = 3 };

// A file opened for reading or writing, closed when the stream is deleted.
class FileStream {
public:
    // Text modes translate "\n" to and from "\r\n" on disk, as on Windows. The write modes write
    // to a temporary file beside `path`, which takes the place of `path` when the stream is
    // closed after every write succeeded; until then an older file at `path` stays untouched.
    FileStream(const char* path, FileMode mode);
    // Closes as Close does.
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // True when the file opened.
    bool IsOk() const { return !failed; }
    // Ends the transfer. For a written file: true when every write and the close succeeded and
    // the file now stands at its path; otherwise the new file is dropped and false returned.
    // Every later transfer answers as on a stream that did not open; IsOk keeps telling how the
    // open went.
    bool Close();

    // Writes out what the stream holds back; false on a stream that cannot write.
    bool Flush();
    // The file's length in bytes as stored, or -1 when it cannot be told; the position and the
    // end-of-file state stay.
    int64_t Length();
    // Moves to `offset` bytes from the start of the file as stored (in text mode too, as a
    // Windows runtime counts them) and clears the end of file; false when that cannot be done.
    bool Seek(int64_t offset);
    bool AtEnd();  // true also for a stream that did not open or is closed

    // One item of `size` bytes; false for a size of 0 or less or a short transfer.
    bool Read(void* buffer, int size);
    bool Write(const void* buffer, int size);

    // Little-endian, `byteCount` bytes. Reading assembles an unsigned value (0xFFFF reads as
    // 65535) and keeps the bytes read so far when the file ends. Writing shifts the value right
    // with its sign, so bytes beyond the fourth repeat it.
    bool ReadUInt(int* value, int byteCount);
    bool WriteUInt(int value, int byteCount);

    // A block of `size` bytes stored in the order given by a keyed sequence of swaps. Reading
    // does not check how much the file held: bytes it did not supply keep their old values
    // before the block is put back in order.
    bool ReadScrambled(void* buffer, int size, int keyA, int keyB);
    bool WriteScrambled(const void* data, int size, int keyA, int keyB);

    // Up to size - 1 characters of one line; the ending line feed or NUL is consumed, not stored.
    // True also at the end of the file (with an empty text); false when size < 1.
    bool ReadLine(char* buffer, int size);
    // Consumes characters up to `count` line feeds; returns how many it read, -1 when not open.
    int SkipLines(int count);
    // Matches the input against `pattern` as a scan format without targets would: white space
    // matches any run of white space (or none), "%%" a per-cent sign, anything else itself; the
    // input stops at the first mismatch. A pattern with any other "%" conversion would need a
    // target and is refused (false, nothing read). True otherwise, whatever matched.
    bool Scan(const char* pattern);
    // Writes the text as it stands.
    bool Print(const char* text);

    // Labelled lines: label, value, line feed. The label is plain text in both directions ("%"
    // included); when reading, white space in it matches any run of white space. A value that
    // does not match leaves the target unchanged and still answers true.
    bool WriteInt(const char* label, int value);
    bool WriteFloat(const char* label, float value);  // value as "%f" prints it
    bool ReadInt(const char* label, int* value);
    bool ReadFloat(const char* label, float* value);

private:
    bool Usable() const { return !failed && file; }
    // Bookkeeping for write operations: a failure here makes Close drop the new file.
    bool Wrote(bool ok);
    // Consumes `label` from the input as Scan matches literal text; false on a mismatch.
    bool MatchLabel(const char* label);
    void SkipWhiteSpace();

    FILE* file;    // owned; null when the open failed or after Close
    bool failed;   // the open failed; later errors do not set it
    bool writeError = false;
    std::string targetPath;     // where a written file goes once complete
    std::string temporaryPath;  // where it is written until then
};

// The swap partner offset of position i in a scrambled block: the byte at i trades places with
// the byte at i + the result (within the block; 0 means it stays).
int32_t ScrambleOffset(int32_t i, int32_t size, int32_t keyA, int32_t keyB);
// The keyed shuffle itself, in place: `Scramble` as written, `Unscramble` to undo it.
void Scramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB);
void Unscramble(uint8_t* bytes, int32_t size, int32_t keyA, int32_t keyB);
