// Finding the program's files beside its executable (GetModuleFileNameA) when the current folder
// lacks them: what the shell's "start in" folder would give, for a program started from anywhere
// else (another folder's command prompt, Wine from the build tree).
#include "platform/program_folder.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

// ".\Media\Sprites.bmp" as a path below a folder: "Media\Sprites.bmp".
std::string NativeName(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '/') c = '\\';
    while (path.rfind(".\\", 0) == 0) path.erase(0, 2);
    return path;
}

// The files of `names` that `folder` lacks.
std::vector<std::string> Missing(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> missing;
    for (const std::string& name : names) {
        DWORD attributes = GetFileAttributesA((folder + "\\" + name).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) missing.push_back(name);
    }
    return missing;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string CurrentFolder() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return ".";
    std::vector<char> buffer(size);
    DWORD length = GetCurrentDirectoryA(size, buffer.data());
    return length > 0 && length < size ? std::string(buffer.data(), length) : std::string(".");
}

// Empty when it cannot be told.
std::string ExecutableFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            std::string executable(buffer.data(), length);
            size_t slash = executable.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : executable.substr(0, slash);
        }
        if (buffer.size() >= 32768) return {};  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool EnterProgramFolder(const char* program, const char* const* files) {
    std::vector<std::string> names;
    for (const char* const* f = files; f && *f; ++f) names.push_back(NativeName(*f));
    std::string here = CurrentFolder();
    std::vector<std::string> missingHere = Missing(here, names);
    if (missingHere.empty()) return true;

    std::string beside = ExecutableFolder();
    std::vector<std::string> missingBeside = beside.empty() ? names : Missing(beside, names);
    if (!beside.empty() && missingBeside.empty() && SetCurrentDirectoryA(beside.c_str())) return true;

    std::string besideText = beside.empty() ? "the program's own folder could not be told"
                                            : beside + " (the program's folder) lacks " + Listed(missingBeside);
    std::fprintf(stderr, "%s: cannot find %s in %s (the current folder); %s. Going on without them.\n",
                 program ? program : "program", Listed(missingHere).c_str(), here.c_str(), besideText.c_str());
    return false;
}
