// ondrel-media SOURCES OUTPUT [ICON]: compiles the media sources in SOURCES (palette.txt,
// font8x12.txt, sprites.txt) into the directory the program runs from: OUTPUT/Media/Sprites.bmp,
// OUTPUT/Media/font8x12.fon and the scene pack OUTPUT/Data0.cdf. Then reads the pack back as
// the program does and checks that it gives the same palette and glyphs. With ICON, it also
// writes the program's icon (icon.txt) to that file, for the Windows build's resources.
// ondrel-media --version prints the version.

#include <cstdio>
#include <cstring>

#include "app/globals.h"
#include "tools/icon_file.h"
#include "tools/media_sources.h"
#include "tools/version.h"

namespace {

bool PackReadsBack(const std::filesystem::path& output, std::string* error) {
    std::array<uint8_t, kPaletteBytes> expectedPalette{};
    if (!CopyPalette(expectedPalette.data())) return media::detail::Fail(error, 0, "no palette after building");
    std::vector<uint8_t> expectedGlyphs(media::kStripBytes);
    {
        std::ifstream in(output / "Media" / "font8x12.fon", std::ios::binary);
        in.read(reinterpret_cast<char*>(expectedGlyphs.data()), media::kStripBytes);
    }
    std::error_code failure;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(output, failure);
    if (failure) return media::detail::Fail(error, 0, "cannot enter " + output.string());
    SetDisplayFormat(640, 480, 8);
    LoadDataPack();
    std::filesystem::current_path(previous, failure);
    std::array<uint8_t, kPaletteBytes> palette{};
    bool ok = CopyPalette(palette.data()) && palette == expectedPalette && appGlobals.font &&
              appGlobals.font->glyphs &&
              std::memcmp(appGlobals.font->glyphs, expectedGlyphs.data(), expectedGlyphs.size()) == 0;
    delete appGlobals.font;
    appGlobals.font = nullptr;
    SetDisplayFormat(0, 0, 0);
    return ok || media::detail::Fail(error, 0, "Data0.cdf does not read back as written");
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredVersion("ondrel-media", argc, argv)) return 0;
    if (argc != 3 && argc != 4) {
        std::fputs("usage: ondrel-media SOURCES OUTPUT [ICON]\n       ondrel-media --version\n", stderr);
        return 2;
    }
    std::string error;
    if (!media::CompileMedia(argv[1], argv[2], &error) || !PackReadsBack(argv[2], &error) ||
        (argc == 4 && !media::CompileIcon(argv[1], argv[3], &error))) {
        std::fprintf(stderr, "ondrel-media: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
