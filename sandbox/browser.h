// The thumbnail browser of File > Open and File > Import image: the scene folder's bitmaps, newest
// first, as twelve thumbnails of a quarter of the scene each (4 × 3) with their names under them,
// drawn over the scene; a click on one takes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sandbox/scene.h"

class BitmapFont;
class Surface;

namespace sandbox {

constexpr int kThumbWidth = kSceneWidth / 4;
constexpr int kThumbHeight = kSceneHeight / 4;
constexpr int kThumbPitchY = kThumbHeight + 16;  // a thumbnail and the row of its name
constexpr int kThumbsShown = 12;

class Browser {
public:
    enum class Kind { Scenes, Images };

    // Lists the bitmaps of `folder` as `kind`: as scenes (a file that is no scene shows dark) or
    // as pictures turned into walls (ImportImage; one that is no picture shows dark). Returns what
    // the status line says.
    std::string Open(const std::string& folder, Kind kind);
    void Close() { showing = false; }
    bool Showing() const { return showing; }
    Kind Listing() const { return kind; }
    // The file whose thumbnail or name lies under (x, y) of the scene, or null.
    const std::string* At(int32_t x, int32_t y) const;
    // Draws the thumbnails and their names over the scene's area of `view` (kSceneWidth wide).
    void Draw(Surface* view, const BitmapFont* font) const;

    // A file's name as it shows under its thumbnail: without its folder and ".bmp", cut to fit
    // the thumbnail's width with a gap before the next ("..." ending a name that was cut).
    static std::string Caption(const std::string& path, int cellWidth);

private:
    bool showing = false;
    Kind kind = Kind::Scenes;
    std::vector<std::string> files;
    std::vector<std::vector<uint8_t>> thumbs;  // kThumbWidth × kThumbHeight each
};

}  // namespace sandbox
