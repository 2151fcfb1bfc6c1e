// Replacing a file on Windows, in one step. <windows.h> itself, whatever win32.h stands for in
// the program (the replay tool builds over the subset).
#include "platform/stdio_file.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

bool MoveFileOver(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
