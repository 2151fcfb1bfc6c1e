// The start-folder rule's system calls on Windows: what the shell's "start in" folder would give,
// for a program started from anywhere else (another folder's command prompt, Wine from the build
// tree). <windows.h> itself, whatever win32.h stands for in the program (the replay tool builds
// over the subset).
#include "platform/program_folder_internal.h"

#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace folder {

char Separator() { return '\\'; }

std::string Current() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return ".";
    std::vector<char> buffer(size);
    const DWORD length = GetCurrentDirectoryA(size, buffer.data());
    return length > 0 && length < size ? std::string(buffer.data(), length) : std::string(".");
}

std::string OfExecutable() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            const std::string executable(buffer.data(), length);
            const size_t slash = executable.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : executable.substr(0, slash);
        }
        if (buffer.size() >= 32768) return {};  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
}

bool HoldsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Enter(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

}  // namespace folder
