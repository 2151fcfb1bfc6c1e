// ondrel-gallery-shot: runs the gallery on the headless display driver, turns to a page with the
// right-arrow key as a user would, and writes what the window shows (menu bar, page and buttons)
// as a PNG. A view of at most 256 colours, which the gallery's always is, is written with a
// colour table, one byte a pixel, which keeps the file small.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gallery/gallery.h"
#include "platform/headless.h"
#include "platform/program_folder.h"
#include "platform/win32.h"

namespace {

constexpr const char* kUsage =
    "usage: ondrel-gallery-shot FILE.png [PAGE] [TURNS]\n"
    "Runs ondrel-gallery without a display, with its media from the current folder or else from\n"
    "the tool's own (build/run), shows page PAGE (1 to 6, default 3: the sprites) and writes the\n"
    "window as it shows after TURNS idle turns of 16 ms (default 90) as a PNG.\n";

// libpng reports a failure by a long jump back into this function, which therefore changes
// nothing after setjmp that it reads afterwards.
bool WriteRows(png_structp png, png_infop info, FILE* file, const headless::Image& image, const std::vector<png_color>& table,
               const std::vector<png_byte>& bytes) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    const bool indexed = !table.empty();
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_PLTE(png, info, table.data(), static_cast<int>(table.size()));
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);  // the best for a picture of flat colours
    }
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(image.width) * (indexed ? 1 : 3);
    for (int y = 0; y < image.height; ++y) png_write_row(png, bytes.data() + static_cast<size_t>(y) * stride);
    png_write_end(png, nullptr);
    return true;
}

bool WritePng(const std::string& name, const headless::Image& image) {
    // A colour table when the view has at most 256 colours, else red, green, blue bytes.
    std::map<uint32_t, png_byte> index;
    std::vector<png_color> table;
    for (uint32_t rgb : image.pixels) {
        if (table.size() > 256) break;
        if (index.emplace(rgb, static_cast<png_byte>(table.size())).second)
            table.push_back(png_color{static_cast<png_byte>(rgb >> 16), static_cast<png_byte>(rgb >> 8), static_cast<png_byte>(rgb)});
    }
    if (table.size() > 256) table.clear();
    std::vector<png_byte> bytes;
    for (uint32_t rgb : image.pixels) {
        if (!table.empty()) {
            bytes.push_back(index[rgb]);
        } else {
            bytes.push_back(static_cast<png_byte>(rgb >> 16));
            bytes.push_back(static_cast<png_byte>(rgb >> 8));
            bytes.push_back(static_cast<png_byte>(rgb));
        }
    }

    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && WriteRows(png, info, file, image, table, bytes);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

int Number(const char* text, int low, int high) {
    char* end = nullptr;
    long n = std::strtol(text, &end, 10);
    return *text && !*end && n >= low && n <= high ? static_cast<int>(n) : -1;
}

}  // namespace

int main(int argc, char** argv) {
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
    if (error || !WritePng(output, shown)) {
        std::fprintf(stderr, "ondrel-gallery-shot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
