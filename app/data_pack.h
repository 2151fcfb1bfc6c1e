// The scene pack "Data0.cdf": the 256-colour palette (768 bytes of red, green, blue) followed by
// the 8 × 12 font's glyph strip (8832 bytes), stored as one scrambled block of 9600 bytes.
#pragma once

#include <cstdint>

#include "gfx/palette.h"

constexpr int32_t kDataPackBytes = 9600;
constexpr int32_t kDataPackPaletteBytes = kPaletteBytes;  // a whole palette, first
constexpr int32_t kDataPackCellWidth = 8;       // the font's cell, which the pack does not store
constexpr int32_t kDataPackCellHeight = 12;
constexpr int32_t kDataPackKeyA = 7142;
constexpr int32_t kDataPackKeyB = 742;

// The files the program reads from its folder: the pack, and the media it is built from (the
// sprite sheet is also the program's sheet).
constexpr const char* kDataPackFile = "Data0.cdf";
constexpr const char* kSpriteSheetFile = ".\\Media\\Sprites.bmp";
constexpr const char* kFontFile = ".\\Media\\font8x12.fon";

// Installs the pack's palette as the process palette and its font as appGlobals.font. Nothing is
// reported: a missing pack gives an all-black palette and a font without ink, a short one
// garbled colours and glyphs.
void LoadDataPack();

// Writes "Data0.cdf" from the colour table of ".\Media\Sprites.bmp" (which becomes the process
// palette) and the first 8832 bytes of ".\Media\font8x12.fon". Parts it cannot read stay zero
// (black, no ink). True when the pack was written whole; an older pack is replaced only then.
bool BuildDataPack();
