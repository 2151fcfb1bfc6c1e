// The thumbnail browser of File > Open and File > Import image: the scene folder's bitmaps, newest
// first, as twelve thumbnails of a quarter of the scene's area each (4 × 3) with their names
// under them, drawn over the scene; a click on one takes it. A thumbnail shows its scene whole, of
// whatever size, as the window shows a scene (scene_fit.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sandbox/scene.h"
#include "sandbox/scene_fit.h"

class BitmapFont;
class Surface;

namespace sandbox {

constexpr int kThumbWidth = kSceneAreaWidth / 4;
constexpr int kThumbHeight = kSceneAreaHeight / 4;
constexpr int kThumbPitchY = kThumbHeight + 16;  // a thumbnail and the row of its name
constexpr int kThumbsShown = 12;

class Browser {
public:
    enum class Kind { Scenes, Images };

    // Lists the bitmaps of `folder` as `kind`: as scenes (a file that is no scene shows dark) or
    // as pictures turned into walls of a scene of sceneWidth × sceneHeight, as an import would
    // make them (ImportImage; one that is no picture shows dark). Returns what the status line says.
    std::string Open(const std::string& folder, Kind kind, int32_t sceneWidth, int32_t sceneHeight);
    void Close() { showing = false; }
    bool Showing() const { return showing; }
    Kind Listing() const { return kind; }
    // The file whose thumbnail or name lies under (x, y) of the scene's area, or null.
    const std::string* At(int32_t x, int32_t y) const;
    // Draws the thumbnails and their names over the scene's area of `view`.
    void Draw(Surface* view, const BitmapFont* font) const;

    // A file's name as it shows under its thumbnail: without its folder and ".bmp", cut to fit
    // the thumbnail's width with a gap before the next ("..." ending a name that was cut).
    static std::string Caption(const std::string& path, int cellWidth);
    // A thumbnail of a scene of width × height (cells top row first): the scene fitted to
    // kThumbWidth × kThumbHeight (FitScene), the rest of it `backdrop`.
    static std::vector<uint8_t> Thumbnail(const uint8_t* cells, int32_t width, int32_t height, uint8_t backdrop);

private:
    bool showing = false;
    Kind kind = Kind::Scenes;
    std::vector<std::string> files;
    std::vector<std::vector<uint8_t>> thumbs;  // kThumbWidth × kThumbHeight each
};

}  // namespace sandbox
