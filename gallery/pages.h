// The gallery's pages. Each draws one subject of the framework into the window's image, every
// frame, between the header and the row of buttons.
#pragma once

#include <cstdint>
#include <memory>

class BitmapFont;
class SpriteSheet;
class Surface;

// The window's client area, and the band of it a page may draw in.
constexpr int kGalleryWidth = 640;
constexpr int kGalleryHeight = 480;
constexpr int kPageTop = 32;
constexpr int kPageBottom = 431;

// Palette indices the pages share (media/palette.txt).
constexpr uint8_t kBackground = 18;  // dark grey
constexpr uint8_t kCaption = 193;    // light grey
constexpr uint8_t kInk = 15;         // white
constexpr uint8_t kAccent = 14;      // yellow

// What a page draws with and into.
struct PageTools {
    Surface* image;            // the window's image, cleared to kBackground before the page draws
    const BitmapFont* font;    // 8 × 12
    const SpriteSheet* sheet;  // media/sprites.txt says what is on it
    uint32_t clock;            // milliseconds of animation; it stands still while animation is off
};

// The sprites on the sheet, in the order the sheet's markers number them.
enum SheetSprite : int16_t { kDrop = 0, kStar = 1, kBubble = 2, kFish = 3, kFlag = 4, kBrick = 5 };

class Page {
public:
    virtual ~Page() = default;
    virtual const char* Title() const = 0;
    // The page comes into view, or goes out of it.
    virtual void Enter() {}
    virtual void Leave() {}
    virtual void Draw(const PageTools& tools) = 0;
};

std::unique_ptr<Page> MakeShapesPage();
std::unique_ptr<Page> MakeTextPage();
std::unique_ptr<Page> MakeSpritesPage();
// The copies take their pictures from a backdrop drawn once, with the sheet's sprites.
std::unique_ptr<Page> MakeCopiesPage(const SpriteSheet* sheet);
std::unique_ptr<Page> MakeFilesPage();
// Adds the page's tasks to the Universe, which owns them from then on.
std::unique_ptr<Page> MakeTasksPage();

// Draws `small` `factor` times larger with its top-left corner at (x, y) of `target`.
void DrawEnlarged(Surface* target, int32_t x, int32_t y, int32_t factor, const Surface* small);
// A caption in kCaption with its top-left corner at (x, y).
void DrawCaption(const PageTools& tools, int32_t x, int32_t y, const char* text);
