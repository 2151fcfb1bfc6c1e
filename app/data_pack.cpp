// Reading and building the scene pack: the palette and the glyph strip in one scrambled block.
#include "app/data_pack.h"

#include "app/globals.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "io/file_stream.h"

namespace {

constexpr int32_t kGlyphBytes = BitmapFont::kGlyphCount * kDataPackCellWidth * kDataPackCellHeight;
static_assert(kDataPackPaletteBytes + kGlyphBytes == kDataPackBytes);

}  // namespace

void LoadDataPack() {
    // Zero-filled, so whatever the file does not supply is black and without ink.
    uint8_t pack[kDataPackBytes] = {};
    {
        FileStream in(kDataPackFile, ReadBinary);
        in.ReadScrambled(pack, kDataPackBytes, kDataPackKeyA, kDataPackKeyB);
    }
    SetPalette(pack);
    delete appGlobals.font;
    appGlobals.font = new BitmapFont(kDataPackCellWidth, kDataPackCellHeight, pack + kDataPackPaletteBytes);
}

bool BuildDataPack() {
    uint8_t pack[kDataPackBytes] = {};
    LoadPaletteFromBmp(kSpriteSheetFile);
    CopyPalette(pack);
    {
        FileStream font(kFontFile, ReadBinary);
        font.Read(pack + kDataPackPaletteBytes, kGlyphBytes);
    }
    FileStream out(kDataPackFile, WriteBinary);
    bool written = out.WriteScrambled(pack, kDataPackBytes, kDataPackKeyA, kDataPackKeyB);
    return out.Close() && written;
}
