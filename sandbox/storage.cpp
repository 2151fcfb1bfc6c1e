// The web's scene folder: the JavaScript side is web_storage.js, linked into the page.
#include "sandbox/storage.h"

#if defined(__EMSCRIPTEN__)
extern "C" int ondrel_sandbox_storage_open();
extern "C" void ondrel_sandbox_storage_flush();
extern "C" void ondrel_sandbox_download(const char* path);
#endif

namespace sandbox {

#if defined(__EMSCRIPTEN__)
bool OpenWebStorage() {
    static const bool opened = ondrel_sandbox_storage_open() != 0;
    return opened;
}
void FlushWebStorage() { ondrel_sandbox_storage_flush(); }
void OfferDownload(const char* path) { ondrel_sandbox_download(path); }
#else
bool OpenWebStorage() { return true; }
void FlushWebStorage() {}
void OfferDownload(const char*) {}
#endif

}  // namespace sandbox
