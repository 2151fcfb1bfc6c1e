// Finding the program's files beside its executable (/proc/self/exe) when the current folder
// lacks them.
#include "platform/program_folder.h"

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// "Media\Sprites.bmp" or ".\Media\Sprites.bmp" as a path below a folder: "Media/Sprites.bmp".
std::string NativeName(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    while (path.rfind("./", 0) == 0) path.erase(0, 2);
    return path;
}

// The files of `names` that `folder` lacks.
std::vector<std::string> Missing(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> missing;
    for (const std::string& name : names) {
        struct stat status;
        if (stat((folder + "/" + name).c_str(), &status) != 0) missing.push_back(name);
    }
    return missing;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string CurrentFolder() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

// Empty when it cannot be told.
std::string ExecutableFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    std::string executable(path, static_cast<size_t>(length));
    size_t slash = executable.rfind('/');
    return slash == std::string::npos ? std::string() : slash == 0 ? std::string("/") : executable.substr(0, slash);
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
    if (!beside.empty() && missingBeside.empty() && chdir(beside.c_str()) == 0) return true;

    std::string besideText = beside.empty() ? "the program's own folder could not be told"
                                            : beside + " (the program's folder) lacks " + Listed(missingBeside);
    std::fprintf(stderr, "%s: cannot find %s in %s (the current folder); %s. Going on without them.\n",
                 program ? program : "program", Listed(missingHere).c_str(), here.c_str(), besideText.c_str());
    return false;
}
