// Opening files as the Windows C runtime does: backslash separators work, and the text modes
// ("rt", "wt", or no "b") translate line ends, so files are byte-identical on every system.
#pragma once

#include <cstdio>

#if defined(_WIN32)
inline FILE* OpenFile(const char* name, const char* mode) { return std::fopen(name, mode); }
#else
// fopen with Windows semantics: '\' separates folders; in text mode a read turns "\r\n" into
// "\n" and ends at a Ctrl-Z byte, and a write turns "\n" into "\r\n".
FILE* OpenFile(const char* name, const char* mode);
#endif
