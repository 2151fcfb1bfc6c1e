// Files as the Windows C runtime opens them, on a POSIX system: backslashes as folder separators,
// the text modes' line-end translation and Ctrl-Z end through an fopencookie stream, and files
// replaced only once a complete new one is written.
#include "platform/stdio_file.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TextFile {
    FILE* file;
    bool ended = false;  // a Ctrl-Z was read
};

ssize_t ReadText(void* cookie, char* buffer, size_t size) {
    auto* t = static_cast<TextFile*>(cookie);
    size_t n = 0;
    while (n < size && !t->ended) {
        int c = std::getc(t->file);
        if (c == EOF) break;
        if (c == 0x1A) {
            t->ended = true;
            break;
        }
        if (c == '\r') {
            int following = std::getc(t->file);
            if (following == '\n') {
                c = '\n';
            } else if (following != EOF) {
                std::ungetc(following, t->file);
            }
        }
        buffer[n++] = static_cast<char>(c);
    }
    if (n == 0 && std::ferror(t->file)) return -1;
    return static_cast<ssize_t>(n);
}

ssize_t WriteText(void* cookie, const char* buffer, size_t size) {
    auto* t = static_cast<TextFile*>(cookie);
    for (size_t i = 0; i < size; ++i) {
        if (buffer[i] == '\n' && std::fputc('\r', t->file) == EOF) return -1;
        if (std::fputc(static_cast<unsigned char>(buffer[i]), t->file) == EOF) return -1;
    }
    return static_cast<ssize_t>(size);
}

int SeekText(void* cookie, off64_t* offset, int whence) {
    auto* t = static_cast<TextFile*>(cookie);
    if (std::fseek(t->file, static_cast<long>(*offset), whence) != 0) return -1;
    t->ended = false;
    *offset = std::ftell(t->file);
    return 0;
}

int CloseText(void* cookie) {
    auto* t = static_cast<TextFile*>(cookie);
    int result = std::fclose(t->file);
    delete t;
    return result;
}

std::string NativePath(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The mode without its 't' and 'b' letters.
std::string PlainMode(const char* mode) {
    std::string plain;
    for (const char* m = mode; *m; ++m)
        if (*m != 't' && *m != 'b') plain += *m;
    return plain;
}

// A binary stream as it is, a text stream wrapped in the line-end translation.
FILE* WithMode(FILE* file, const char* mode) {
    if (!file || std::strchr(mode, 'b')) return file;
    auto* cookie = new TextFile{file};
    cookie_io_functions_t io{ReadText, WriteText, SeekText, CloseText};
    FILE* text = fopencookie(cookie, PlainMode(mode).c_str(), io);
    if (!text) {
        std::fclose(file);
        delete cookie;
    }
    return text;
}

bool SyncPath(const std::string& path, int flags) {
    int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

}  // namespace

FILE* OpenFile(const char* name, const char* mode) {
    if (!name || !mode) return nullptr;
    FILE* file = std::fopen(NativePath(name).c_str(), (PlainMode(mode) + "b").c_str());
    return WithMode(file, mode);
}

FILE* OpenFileBeside(const char* name, const char* mode, std::string* temporaryName) {
    if (!name || !mode || !temporaryName || !*name) return nullptr;
    std::string target = NativePath(name);
    mode_t permissions;
    struct stat existing;
    if (stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode) || access(target.c_str(), W_OK) != 0) return nullptr;
        // Through a symbolic link the file it names is replaced, not the link.
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved)) target = resolved;
        permissions = existing.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        permissions = 0666 & ~mask;
    }
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return nullptr;
    FILE* file = fchmod(fd, permissions) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        close(fd);
        unlink(pattern.c_str());
        return nullptr;
    }
    file = WithMode(file, mode);
    if (!file) {
        unlink(pattern.c_str());
        return nullptr;
    }
    *temporaryName = pattern;
    return file;
}

bool MoveFileOver(const char* from, const char* to) {
    if (!from || !to) return false;
    std::string source = NativePath(from);
    std::string target = NativePath(to);
    char resolved[PATH_MAX];
    if (realpath(target.c_str(), resolved)) target = resolved;
    if (!SyncPath(source, O_RDONLY)) return false;
    if (std::rename(source.c_str(), target.c_str()) != 0) return false;
    size_t slash = target.rfind('/');
    // The rename itself becomes durable with its folder; a failure here leaves the new file in
    // place all the same.
    SyncPath(slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1),
             O_RDONLY | O_DIRECTORY);
    return true;
}

bool RemoveFile(const char* name) { return name && std::remove(NativePath(name).c_str()) == 0; }
