// ondrel-gallery-shot: runs the gallery on the headless display driver, turns to a page with the
// right-arrow key as a user would, and writes what the window shows (menu bar, page and buttons)
// as a PNG. A view of at most 256 colours, which the gallery's always is, is written with a
// colour table, one byte a pixel, which keeps the file small.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gallery/gallery.h"
#include "platform/headless.h"
#include "platform/program_folder.h"
#include "platform/win32.h"
#include "tools/replay/image_writers.h"
#include "tools/version.h"

namespace {

constexpr const char* kUsage =
    "usage: ondrel-gallery-shot FILE.png [PAGE] [TURNS]\n"
    "Runs ondrel-gallery without a display, with its media from the current folder or else from\n"
    "the tool's own (build/run), shows page PAGE (1 to 6, default 3: the sprites) and writes the\n"
    "window as it shows after TURNS idle turns of 16 ms (default 90) as a PNG.\n"
    "ondrel-gallery-shot --version prints the version.\n";

bool SavePng(const std::string& name, const headless::Image& image) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    const bool ok = WritePng(file, image.pixels.data(), image.width, image.height, PngColours::TableWhenFew);
    return std::fclose(file) == 0 && ok;
}

int Number(const char* text, int low, int high) {
    char* end = nullptr;
    long n = std::strtol(text, &end, 10);
    return *text && !*end && n >= low && n <= high ? static_cast<int>(n) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredVersion("ondrel-gallery-shot", argc, argv)) return 0;
    int page = argc > 2 ? Number(argv[2], 1, 6) : 3;
    int turns = argc > 3 ? Number(argv[3], 1, 100000) : 90;
    if (argc < 2 || argc > 4 || page < 0 || turns < 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The picture's name is taken from the folder the tool was started in, before it moves to
    // the one holding the gallery's media.
    std::error_code error;
    const std::string output = std::filesystem::absolute(argv[1], error).string();
    const char* const files[] = {kGallerySheetFile, kGalleryFontFile, nullptr};
    EnterProgramFolder("ondrel-gallery-shot", files);
    headless::Image shown;
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn == 1)
            for (int i = 1; i < page; ++i) headless::TapKey(VK_RIGHT);
        if (turn == turns + 1) {
            shown = headless::ReadWindow(headless::TopLevelWindows().front());
            headless::TapKey(VK_ESCAPE);
        }
    });
    char commandLine[] = "";
    int code = GalleryMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), commandLine);
    if (code != 0) return code;
    if (shown.width == 0) {
        std::fprintf(stderr, "ondrel-gallery-shot: the gallery ended before turn %d\n", turns);
        return 1;
    }
    if (error || !SavePng(output, shown)) {
        std::fprintf(stderr, "ondrel-gallery-shot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
