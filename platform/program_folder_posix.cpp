// The start-folder rule's system calls on a POSIX system; the executable is /proc/self/exe.
#include "platform/program_folder_internal.h"

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace folder {

char Separator() { return '/'; }

std::string Current() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? std::string(path) : std::string(".");
}

std::string OfExecutable() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string executable(path, static_cast<size_t>(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? std::string() : slash == 0 ? std::string("/") : executable.substr(0, slash);
}

bool HoldsFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool Enter(const std::string& path) { return chdir(path.c_str()) == 0; }

}  // namespace folder
