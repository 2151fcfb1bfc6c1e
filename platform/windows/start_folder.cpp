// The program reads its pack and media by paths relative to the current folder. Started from
// elsewhere (a shortcut, another folder's command prompt, Wine from the build tree), it would find
// neither: before WinMain runs, the folder the .exe lies in becomes the current folder when the
// files are there and not in the current one. When they are found in neither, standard error
// says which file is missing and where it was looked for; start-up carries on all the same, as
// it does with missing media anywhere.
#include "platform/win32.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// What start-up reads, as the program names it.
const char* const kStartFiles[] = {"Data0.cdf", "Media\\Sprites.bmp"};

bool Exists(const std::string& folder, const char* file) {
    std::string path = folder.empty() ? file : folder + "\\" + file;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int Found(const std::string& folder) {
    int found = 0;
    for (const char* file : kStartFiles) found += Exists(folder, file) ? 1 : 0;
    return found;
}

std::string CurrentFolder() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buffer(size);
    DWORD length = GetCurrentDirectoryA(size, buffer.data());
    return length > 0 && length < size ? std::string(buffer.data(), length) : std::string();
}

std::string ProgramFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            size_t slash = path.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : path.substr(0, slash);
        }
        if (buffer.size() >= 32768) return std::string();  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
}

void FindStartFolder() {
    const int wanted = static_cast<int>(std::size(kStartFiles));
    std::string current = CurrentFolder();
    if (Found(current) == wanted) return;
    std::string program = ProgramFolder();
    if (!program.empty() && Found(program) > Found(current) && SetCurrentDirectoryA(program.c_str())) current = program;
    for (const char* file : kStartFiles) {
        if (Exists(current, file)) continue;
        if (program.empty() || program == current)
            std::fprintf(stderr, "ondrel: %s is missing: looked in %s\n", file, current.c_str());
        else
            std::fprintf(stderr, "ondrel: %s is missing: looked in %s and in %s\n", file, current.c_str(), program.c_str());
    }
}

// Static construction runs before the runtime calls WinMain.
struct BeforeWinMain {
    BeforeWinMain() { FindStartFolder(); }
} beforeWinMain;

}  // namespace
