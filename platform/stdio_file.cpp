// Files as the Windows C runtime opens them, on a POSIX system: backslashes as folder separators,
// the text modes' line-end translation and Ctrl-Z end through an fopencookie stream, and files
// replaced only once a complete new one is written.
#include "platform/stdio_file.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A text stream is the binary file below a translating layer. Stdio keeps no buffer of its own
// above that layer (see WithMode), so every position stdio passes down or asks for is one of the
// file as stored, as a Windows runtime counts them.
struct TextFile {
    FILE* file;
    FILE* text = nullptr;  // the stream stdio made on this one
    bool ended = false;    // a Ctrl-Z was read
    int lastWidth = 0;     // bytes of the file that the last character handed up took: 2 for "\r\n"
};

// Text streams by the FILE stdio gave for them, to reach the file below.
std::mutex textFilesLock;
std::unordered_map<FILE*, TextFile*> textFiles;

FILE* FileBelow(FILE* file) {
    std::lock_guard<std::mutex> hold(textFilesLock);
    auto found = textFiles.find(file);
    return found == textFiles.end() ? file : found->second->file;
}

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
        t->lastWidth = 1;
        if (c == '\r') {
            int following = std::getc(t->file);
            if (following == '\n') {
                c = '\n';
                t->lastWidth = 2;
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
    off64_t move = *offset;
    // Stdio steps back over a character it was handed and put back (a flush after ungetc): that
    // is one character, which may have been two bytes of the file.
    if (whence == SEEK_CUR && move == -1 && t->lastWidth > 0) move = -t->lastWidth;
    if (whence != SEEK_CUR || move != 0) {
        if (fseeko(t->file, move, whence) != 0) return -1;
        // As the Windows runtime does: reading goes on from wherever the seek landed, a Ctrl-Z
        // before it or not.
        t->ended = false;
        t->lastWidth = 0;
    }
    *offset = ftello(t->file);
    return *offset < 0 ? -1 : 0;
}

int CloseText(void* cookie) {
    auto* t = static_cast<TextFile*>(cookie);
    {
        std::lock_guard<std::mutex> hold(textFilesLock);
        textFiles.erase(t->text);
    }
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
        return nullptr;
    }
    // A buffer here would hold translated characters, and stdio would count positions in them:
    // seeks and lengths would then miss by one for every "\r\n" it held. The file below keeps
    // its buffer, so reading stays a block read from the system.
    std::setvbuf(text, nullptr, _IONBF, 0);
    cookie->text = text;
    std::lock_guard<std::mutex> hold(textFilesLock);
    textFiles[text] = cookie;
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

int64_t FileLength(FILE* file) {
    if (!file) return -1;
    FILE* below = FileBelow(file);
    // What was written so far counts; a stream that is reading is left exactly as it is.
    if (__fwriting(file) && std::fflush(file) != 0) return -1;
    if (below != file && __fwriting(below) && std::fflush(below) != 0) return -1;
    struct stat status;
    if (fstat(fileno(below), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return status.st_size;
}

bool IsTerminal(FILE* file) {
    if (!file) return false;
    const int descriptor = fileno(file);
    return descriptor >= 0 && isatty(descriptor) != 0;
}
