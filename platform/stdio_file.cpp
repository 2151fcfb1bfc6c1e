#include "platform/stdio_file.h"

#include <cstring>
#include <string>

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

}  // namespace

FILE* OpenFile(const char* name, const char* mode) {
    if (!name || !mode) return nullptr;
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    bool binary = std::strchr(mode, 'b') != nullptr;
    std::string plainMode;
    for (const char* m = mode; *m; ++m)
        if (*m != 't' && *m != 'b') plainMode += *m;
    FILE* file = std::fopen(path.c_str(), (plainMode + "b").c_str());
    if (!file || binary) return file;
    auto* cookie = new TextFile{file};
    cookie_io_functions_t io{ReadText, WriteText, SeekText, CloseText};
    FILE* text = fopencookie(cookie, plainMode.c_str(), io);
    if (!text) {
        std::fclose(file);
        delete cookie;
    }
    return text;
}
