// The real media, compiled from media/ as the build does, and the media compiler's checks of its
// sources.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

#include "app/globals.h"
#include "gfx/palette.h"
#include "tests/support/io_temp_dir.h"
#include "tools/media_sources.h"

namespace {

const std::filesystem::path kMedia = std::filesystem::path(ONDREL_TEST_DATA) / ".." / ".." / "media";

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double Luminance(const uint8_t* rgb) {
    double sum = 0;
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    for (int k = 0; k < 3; ++k) {
        double c = rgb[k] / 255.0;
        c = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        sum += weights[k] * c;
    }
    return sum;
}
double Contrast(const uint8_t* a, const uint8_t* b) {
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class Media : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(media::CompileMedia(kMedia, dir.Path(), &error)) << error;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        SetDisplayFormat(640, 480, 8);
        LoadDataPack();
        ASSERT_TRUE(CopyPalette(palette));
    }
    void TearDown() override {
        delete appGlobals.font;
        appGlobals.font = nullptr;
        SetDisplayFormat(0, 0, 0);
        std::filesystem::current_path(previous);
    }
    const uint8_t* Colour(int i) const { return palette + 3 * i; }
    IoTempDir dir;
    std::filesystem::path previous;
    uint8_t palette[768];
};

TEST_F(Media, TheCompiledFilesHaveTheirSizes) {
    EXPECT_EQ(std::filesystem::file_size("Data0.cdf"), 9600u);
    EXPECT_EQ(std::filesystem::file_size("Media/font8x12.fon"), 8832u);
    EXPECT_EQ(std::filesystem::file_size("Media/Sprites.bmp"), 1078u + 52 * 30);
}

TEST_F(Media, FixedIndicesHaveTheirColours) {
    struct Entry {
        int index;
        uint8_t r, g, b;
    };
    const Entry fixed[] = {
        {0, 0, 0, 0},       {1, 0, 0, 170},     {5, 170, 0, 170},   {8, 85, 85, 85},     {9, 85, 85, 255},
        {10, 85, 255, 85},  {11, 85, 255, 255}, {12, 255, 85, 85},  {14, 255, 255, 85},  {15, 255, 255, 255},
    };
    for (const Entry& e : fixed) {
        EXPECT_EQ(Colour(e.index)[0], e.r) << e.index;
        EXPECT_EQ(Colour(e.index)[1], e.g) << e.index;
        EXPECT_EQ(Colour(e.index)[2], e.b) << e.index;
    }
    // The frame-skip text on the white of the empty scene, text on the box fill, and the debug
    // lines on their dark grey bar all read at the guidelines' 4.5 : 1 for body text.
    EXPECT_GE(Contrast(Colour(233), Colour(15)), 4.5);
    EXPECT_GE(Contrast(Colour(0), Colour(195)), 4.5);
    EXPECT_GE(Contrast(Colour(14), Colour(8)), 4.5);
    // The box fill sits between the frame's light and dark edges, so the etching shows.
    EXPECT_GT(Luminance(Colour(195)), Luminance(Colour(8)));
    EXPECT_LT(Luminance(Colour(195)), Luminance(Colour(15)));
    // Walls, water and empty space are told apart at a glance.
    EXPECT_GE(Contrast(Colour(1), Colour(15)), 4.5);
    EXPECT_GE(Contrast(Colour(0), Colour(15)), 4.5);
}

// The names of gfx/palette.h are the colours media/palette.txt gives those indices: the VGA
// sixteen, and each ramp's first (darkest) colour.
TEST_F(Media, TheNamedColoursAreThoseOfThePalette) {
    struct Entry {
        uint8_t index;
        uint8_t r, g, b;
    };
    const Entry named[] = {
        {colour::kBlack, 0, 0, 0},         {colour::kBlue, 0, 0, 170},          {colour::kGreen, 0, 170, 0},
        {colour::kCyan, 0, 170, 170},      {colour::kRed, 170, 0, 0},           {colour::kMagenta, 170, 0, 170},
        {colour::kBrown, 170, 85, 0},      {colour::kLightGrey, 170, 170, 170}, {colour::kDarkGrey, 85, 85, 85},
        {colour::kLightBlue, 85, 85, 255}, {colour::kBrightGreen, 85, 255, 85}, {colour::kBrightCyan, 85, 255, 255},
        {colour::kBrightRed, 255, 85, 85}, {colour::kBrightMagenta, 255, 85, 255}, {colour::kYellow, 255, 255, 85},
        {colour::kWhite, 255, 255, 255},   {colour::kGreyRamp, 0, 0, 0},        {colour::kRedRamp, 48, 0, 0},
        {colour::kOrangeRamp, 255, 112, 0}, {colour::kGreenRamp, 0, 40, 0},     {colour::kWaterRamp, 0, 0, 64},
        {colour::kCyanRamp, 0, 48, 64},    {colour::kGoldRamp, 64, 48, 0},      {colour::kPurpleRamp, 40, 0, 56},
        {colour::kEarthRamp, 40, 24, 8},   {colour::kSandRamp, 120, 80, 60},    {colour::kTealRamp, 0, 40, 40},
        {colour::kVioletRamp, 24, 16, 80}, {colour::kFireRamp, 64, 0, 0},       {colour::kSilver, 192, 192, 192},
        {colour::kCrimson, 176, 0, 32},
    };
    for (const Entry& e : named) {
        EXPECT_EQ(Colour(e.index)[0], e.r) << int{e.index};
        EXPECT_EQ(Colour(e.index)[1], e.g) << int{e.index};
        EXPECT_EQ(Colour(e.index)[2], e.b) << int{e.index};
    }
    // The grey ramp runs to white, just before the red one.
    EXPECT_EQ(Colour(colour::kRedRamp - 1)[0] + Colour(colour::kRedRamp - 1)[1] + Colour(colour::kRedRamp - 1)[2],
              3 * 255);
}

TEST_F(Media, EveryGlyphHasInkAndNoTwoAreAlike) {
    ASSERT_NE(appGlobals.font, nullptr);
    ASSERT_NE(appGlobals.font->glyphs, nullptr);
    std::set<std::vector<uint8_t>> seen;
    for (int g = 0; g < 92; ++g) {
        std::vector<uint8_t> cell;
        for (int j = 0; j < 12; ++j)
            for (int k = 0; k < 8; ++k) cell.push_back(appGlobals.font->glyphs[j * 736 + g * 8 + k] != 0);
        EXPECT_NE(std::count(cell.begin(), cell.end(), 1), 0) << "glyph " << g;
        // Column 0 stays empty, so that text keeps a gap between its letters.
        for (int j = 0; j < 12; ++j) EXPECT_EQ(cell[static_cast<size_t>(j * 8)], 0) << "glyph " << g;
        EXPECT_TRUE(seen.insert(cell).second) << "glyph " << g << " repeats another";
    }
}

TEST_F(Media, TheSpriteSheetCarriesItsMarkers) {
    Surface sheet(".\\Media\\Sprites.bmp");
    ASSERT_NE(sheet.pixels, nullptr);
    EXPECT_EQ(sheet.pitch, 52);
    EXPECT_EQ(sheet.height, 30);
    int sprites = 0, frames = 0, corners = 0;
    for (int i = 0; i < 52 * 30; ++i) {
        sprites += sheet.pixels[i] == 12;
        frames += sheet.pixels[i] == 10;
        corners += sheet.pixels[i] == 11;
    }
    // Six sprites of 3, 2, 4, 2, 1 and 1 frames: one start marker per frame, two corners per frame.
    EXPECT_EQ(sprites, 6);
    EXPECT_EQ(frames, 7);
    EXPECT_EQ(corners, 26);
    EXPECT_EQ(sheet.pixels[0], 12);
    EXPECT_EQ(sheet.pixels[9], 11);
    EXPECT_EQ(sheet.pixels[9 * 52 + 9], 11);
    EXPECT_EQ(sheet.pixels[10 * 52], 12);
    EXPECT_EQ(sheet.pixels[20 * 52], 12);
}

TEST(MediaSources, ThePaletteNeedsEveryIndexOnceAndRampsRound) {
    std::array<uint8_t, 768> rgb{};
    std::string error;
    std::istringstream ramp("0-255 0 0 0 255 255 255\n");
    ASSERT_TRUE(media::ParsePalette(ramp, &rgb, &error)) << error;
    EXPECT_EQ(rgb[3 * 77], 77);
    std::istringstream mixed("; a comment\n0 1 2 3   note\n1-3 0 10 0 255 0 0\n4-255 9 9 9 9 9 9\n");
    ASSERT_TRUE(media::ParsePalette(mixed, &rgb, &error)) << error;
    EXPECT_EQ(rgb[0], 1);
    EXPECT_EQ(rgb[2], 3);
    // 1 to 3 from 0 to 255: 0, 127.5 rounded up, 255; green from 10 to 0: 10, 5, 0.
    EXPECT_EQ(rgb[3 * 2], 128);
    EXPECT_EQ(rgb[3 * 2 + 1], 5);
    EXPECT_EQ(rgb[3 * 3], 255);
    for (const char* bad : {"0-254 0 0 0 1 1 1\n", "0-255 0 0 0 1 1 1\n7 1 1 1\n", "0-255 0 0 0 256 1 1\n",
                            "0-255 0 0 0 1 1\n", "x 1 2 3\n", "5-2 1 1 1 2 2 2\n"}) {
        std::istringstream in(bad);
        EXPECT_FALSE(media::ParsePalette(in, &rgb, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(MediaSources, TheFontNeedsEveryGlyphInWellFormedCells) {
    std::ifstream real(kMedia / "font8x12.txt");
    std::stringstream text;
    text << real.rdbuf();
    std::string source = text.str();
    std::vector<uint8_t> strip;
    std::string error;
    {
        std::istringstream in(source);
        ASSERT_TRUE(media::ParseFont(in, &strip, &error)) << error;
    }
    auto broken = [&](const std::string& from, const std::string& to) {
        std::string changed = source;
        size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        changed.replace(at, from.size(), to);
        std::istringstream in(changed);
        return !media::ParseFont(in, &strip, &error);
    };
    EXPECT_TRUE(broken("glyphs A B", "glyphs A A"));     // drawn twice
    EXPECT_TRUE(broken("glyphs A B", "glyphs A ~"));     // no such glyph
    EXPECT_TRUE(broken("glyphs $ pound _ @", "glyphs $ pound _ _"));
    EXPECT_TRUE(broken("..####.. .#####..", "..####.. .#####."));  // a short row
    EXPECT_TRUE(broken("..####.. .#####..", "..####..-.#####.."));  // no separating space
    EXPECT_TRUE(broken("..####.. .#####..", "..##x#.. .#####.."));  // not a pixel
}

TEST(MediaSources, TheSheetNeedsAColourForEveryCharacter) {
    media::Sheet sheet;
    std::string error;
    std::istringstream good("colour . 5\ncolour S 12\nsheet\nS..\n.S.\n");
    ASSERT_TRUE(media::ParseSheet(good, &sheet, &error)) << error;
    EXPECT_EQ(sheet.width, 3);
    EXPECT_EQ(sheet.height, 2);
    EXPECT_EQ(sheet.pixels, (std::vector<uint8_t>{12, 5, 5, 5, 12, 5}));
    for (const char* bad : {"colour . 5\nsheet\n.x.\n", "colour . 5\nsheet\n...\n..\n", "colour . 5\n...\n",
                            "colour . 256\nsheet\n.\n", "colour . 5\ncolour . 6\nsheet\n.\n", "colour . 5\nsheet\n"}) {
        std::istringstream in(bad);
        EXPECT_FALSE(media::ParseSheet(in, &sheet, &error)) << bad;
    }
}

}  // namespace
