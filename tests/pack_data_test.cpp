// The scene pack: built from the media, read at start-up, missing, short, long or read with other
// keys.
#include "app/data_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/globals.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "io/file_stream.h"
#include "tests/support/image_bmp_builder.h"
#include "tests/support/io_temp_dir.h"
#include "tests/support/scramble_reference.h"

namespace {

constexpr size_t kGlyphBytes = 92 * 8 * 12;

// Runs each test inside its own temporary directory, which the pack's relative paths name.
class DataPack : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        std::filesystem::create_directory("Media");
        SetDisplayFormat(640, 480, 8);
    }
    void TearDown() override {
        delete appGlobals.font;
        appGlobals.font = nullptr;
        SetDisplayFormat(0, 0, 0);
        std::filesystem::current_path(previous);
    }
    static std::vector<uint8_t> Palette() {
        std::vector<uint8_t> rgb(768);
        uint8_t* block = rgb.data();
        EXPECT_TRUE(CopyPalette(block));
        return rgb;
    }
    static std::vector<uint8_t> Glyphs() {
        EXPECT_NE(appGlobals.font, nullptr);
        if (!appGlobals.font || !appGlobals.font->glyphs) return {};
        EXPECT_EQ(appGlobals.font->CellWidth(), 8);
        EXPECT_EQ(appGlobals.font->CellHeight(), 12);
        return std::vector<uint8_t>(appGlobals.font->glyphs, appGlobals.font->glyphs + kGlyphBytes);
    }
    // The colour table BmpFile writes, as red, green, blue.
    static std::vector<uint8_t> BuilderTable() {
        std::vector<uint8_t> rgb;
        for (int i = 0; i < 256; ++i) rgb.insert(rgb.end(), {BmpFile::Red(i), BmpFile::Green(i), BmpFile::Blue(i)});
        return rgb;
    }
    // A font file with more bytes than the strip; the pack takes the first 8832.
    static std::vector<uint8_t> FontFile() {
        std::vector<uint8_t> font(kGlyphBytes + 50);
        for (size_t i = 0; i < font.size(); ++i) font[i] = static_cast<uint8_t>((i * 31) % 251);
        return font;
    }
    void WriteMedia() {
        WriteBytes("Media/Sprites.bmp", BmpFile{}.Build());
        WriteBytes("Media/font8x12.fon", FontFile());
    }
    IoTempDir dir;
    std::filesystem::path previous;
};

TEST_F(DataPack, ABuiltPackLoadsAsTheBitmapsTableAndTheFontFile) {
    WriteMedia();
    ASSERT_TRUE(BuildDataPack());
    EXPECT_EQ(Palette(), BuilderTable());  // building installs the sheet's colours

    SetDisplayFormat(640, 480, 8);  // no palette any more
    LoadDataPack();
    EXPECT_EQ(Palette(), BuilderTable());
    std::vector<uint8_t> font = FontFile();
    EXPECT_EQ(Glyphs(), std::vector<uint8_t>(font.begin(), font.begin() + kGlyphBytes));
}

TEST_F(DataPack, TheStoredPackIsOneScrambledBlockUnderTheFixedKeys) {
    WriteMedia();
    ASSERT_TRUE(BuildDataPack());
    std::vector<uint8_t> stored = ReadBytes("Data0.cdf");
    ASSERT_EQ(stored.size(), 9600u);
    std::vector<uint8_t> plain = BuilderTable();
    std::vector<uint8_t> font = FontFile();
    plain.insert(plain.end(), font.begin(), font.begin() + kGlyphBytes);
    // Neither part can be read in place.
    EXPECT_NE(std::vector<uint8_t>(stored.begin(), stored.begin() + 768), BuilderTable());
    size_t inPlace = 0;
    for (size_t i = 0; i < stored.size(); ++i) inPlace += stored[i] == plain[i];
    EXPECT_LT(inPlace, stored.size() / 10);
    EXPECT_EQ(ReferenceUnscramble(stored, 7142, 742), plain);
}

TEST_F(DataPack, BytesBeyondTheFirst9600AreIgnored) {
    WriteMedia();
    ASSERT_TRUE(BuildDataPack());
    std::vector<uint8_t> longer = ReadBytes("Data0.cdf");
    longer.insert(longer.end(), 123, 0xAB);
    WriteBytes("Data0.cdf", longer);
    SetDisplayFormat(640, 480, 8);
    LoadDataPack();
    EXPECT_EQ(Palette(), BuilderTable());
    std::vector<uint8_t> font = FontFile();
    EXPECT_EQ(Glyphs(), std::vector<uint8_t>(font.begin(), font.begin() + kGlyphBytes));
}

TEST_F(DataPack, OtherKeysGiveGarbledDataWithoutError) {
    std::vector<uint8_t> plain = BuilderTable();
    std::vector<uint8_t> font = FontFile();
    plain.insert(plain.end(), font.begin(), font.begin() + kGlyphBytes);
    for (auto keys : {std::pair{7143, 742}, std::pair{7142, 743}, std::pair{742, 7142}}) {
        {
            FileStream out("Data0.cdf", WriteBinary);
            ASSERT_TRUE(out.WriteScrambled(plain.data(), 9600, keys.first, keys.second));
        }
        LoadDataPack();
        std::vector<uint8_t> palette = Palette();
        std::vector<uint8_t> glyphs = Glyphs();
        EXPECT_NE(palette, BuilderTable()) << keys.first << ", " << keys.second;
        EXPECT_NE(glyphs, std::vector<uint8_t>(plain.begin() + 768, plain.end()));
        // Garbled, not lost: every byte is still there, moved.
        std::vector<uint8_t> all = palette;
        all.insert(all.end(), glyphs.begin(), glyphs.end());
        std::sort(all.begin(), all.end());
        std::vector<uint8_t> sortedPlain = plain;
        std::sort(sortedPlain.begin(), sortedPlain.end());
        EXPECT_EQ(all, sortedPlain);
    }
}

TEST_F(DataPack, AMissingPackGivesABlackPaletteAndAFontWithoutInk) {
    LoadDataPack();
    EXPECT_EQ(Palette(), std::vector<uint8_t>(768, 0));
    EXPECT_EQ(Glyphs(), std::vector<uint8_t>(kGlyphBytes, 0));
}

TEST_F(DataPack, AShortPackUnshufflesWhatItHasOverZeros) {
    std::vector<uint8_t> shortPack(5000);
    for (size_t i = 0; i < shortPack.size(); ++i) shortPack[i] = static_cast<uint8_t>(i % 200 + 1);
    WriteBytes("Data0.cdf", shortPack);
    LoadDataPack();
    std::vector<uint8_t> expected = shortPack;
    expected.resize(9600, 0);
    expected = ReferenceUnscramble(expected, 7142, 742);
    std::vector<uint8_t> loaded = Palette();
    std::vector<uint8_t> glyphs = Glyphs();
    loaded.insert(loaded.end(), glyphs.begin(), glyphs.end());
    EXPECT_EQ(loaded, expected);
}

TEST_F(DataPack, BuildingWithMissingPartsLeavesThemZero) {
    // No sprite sheet and no process palette: black; a font file present.
    WriteBytes("Media/font8x12.fon", FontFile());
    SetDisplayFormat(640, 480, 8);
    ASSERT_TRUE(BuildDataPack());
    LoadDataPack();
    EXPECT_EQ(Palette(), std::vector<uint8_t>(768, 0));
    std::vector<uint8_t> font = FontFile();
    EXPECT_EQ(Glyphs(), std::vector<uint8_t>(font.begin(), font.begin() + kGlyphBytes));

    // A sheet but no font file: no ink.
    std::filesystem::remove("Media/font8x12.fon");
    WriteBytes("Media/Sprites.bmp", BmpFile{}.Build());
    ASSERT_TRUE(BuildDataPack());
    LoadDataPack();
    EXPECT_EQ(Palette(), BuilderTable());
    EXPECT_EQ(Glyphs(), std::vector<uint8_t>(kGlyphBytes, 0));
}

TEST_F(DataPack, APackThatCannotBeWrittenIsReported) {
    WriteMedia();
    std::filesystem::create_directory("Data0.cdf");  // a folder where the pack should go
    EXPECT_FALSE(BuildDataPack());
    EXPECT_TRUE(std::filesystem::is_directory("Data0.cdf"));
}

}  // namespace
