// Opening files as the Windows C runtime does: backslash separators work, and the text modes
// ("rt", "wt", or no "b") translate line ends, so files are byte-identical on every system.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Writing a file that replaces an older one only once it is complete: OpenFileBeside creates a
// new temporary file in the target's folder (its name goes to *temporaryName), the caller writes
// and closes it, then MoveFileOver puts it in the target's place in one step, or RemoveFile
// drops it. A crash or a full disk on the way leaves the old file as it was.

#if defined(_WIN32)
#include <io.h>

inline FILE* OpenFile(const char* name, const char* mode) { return std::fopen(name, mode); }
inline FILE* OpenFileBeside(const char* name, const char* mode, std::string* temporaryName) {
    if (!name || !mode || !temporaryName) return nullptr;
    *temporaryName = std::string(name) + ".partial";
    return std::fopen(temporaryName->c_str(), mode);
}
// MoveFileExA, replacing and written through (platform/windows/stdio_file.cpp).
bool MoveFileOver(const char* from, const char* to);
inline bool RemoveFile(const char* name) { return std::remove(name) == 0; }
inline bool IsTerminal(FILE* file) { return file && _isatty(_fileno(file)) != 0; }
// The runtime's own offsets; its seek back clears the end-of-file state, as it would for a
// program of its own.
inline int64_t FileLength(FILE* file) {
    if (!file) return -1;
    __int64 here = _ftelli64(file);
    if (here < 0 || _fseeki64(file, 0, SEEK_END) != 0) return -1;
    __int64 end = _ftelli64(file);
    return _fseeki64(file, here, SEEK_SET) == 0 ? end : -1;
}
#else
// fopen with Windows semantics: '\' separates folders; in text mode a read turns "\r\n" into
// "\n" and ends at a Ctrl-Z byte, and a write turns "\n" into "\r\n". Positions (fseek, ftell)
// are offsets of the file as stored in every mode; a seek in text mode starts reading again from
// where it lands, after a Ctrl-Z too.
FILE* OpenFile(const char* name, const char* mode);
// The length of the open file in bytes as stored, counting what was written through `file` so
// far; the position and the end-of-file state stay as they were. -1 when it cannot be told.
int64_t FileLength(FILE* file);
// Null when the target exists and may not be written, or the folder takes no new file. The
// temporary file gets the target's permissions (or the usual ones for a new file).
FILE* OpenFileBeside(const char* name, const char* mode, std::string* temporaryName);
// Makes the closed file `from` durable and renames it to `to`, replacing what was there.
bool MoveFileOver(const char* from, const char* to);
bool RemoveFile(const char* name);
// Whether the open file is a terminal (a console), where a person reads what is written as it
// comes, as the runtime's _isatty tells.
bool IsTerminal(FILE* file);
#endif
