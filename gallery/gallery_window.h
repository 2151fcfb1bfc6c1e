// The gallery's window: a menu bar and a row of push buttons that move between the pages, and a
// frame drawn and presented at every idle turn.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gallery/pages.h"
#include "gfx/surface.h"
#include "win/button_group.h"
#include "win/window.h"

class GalleryWindow : public Window {
public:
    // The drop-downs of the menu bar, in the order they are added, and the items of the first and
    // the last (the second lists the pages in their order).
    enum MenuIndex { kGalleryMenu = 0, kPagesMenu = 1, kViewMenu = 2 };
    enum GalleryItem { kNextItem = 0, kPreviousItem = 1, kQuitItem = 2 };
    enum ViewItem { kAnimationItem = 0 };
    // Page i's push button has the identifier kFirstPageButton + i.
    static constexpr short kFirstPageButton = 1;

    // The font and the sheet stay the caller's; they must outlive the window.
    GalleryWindow(const BitmapFont* font, const SpriteSheet* sheet);

    void OnEvent(int kind, int code, int detail) override;
    void OnIdle() override;

    void ShowPage(int index);
    // Animation on or off: the animation clock, the Universe's tasks and the menu's check mark.
    void SetAnimation(bool on);
    int PageCount() const { return static_cast<int>(pages.size()); }
    const char* PageTitle(int index) const { return pages[static_cast<size_t>(index)]->Title(); }

    int page = 0;           // the page shown
    bool animating = true;

private:
    void DrawFrame();

    const BitmapFont* font;
    const SpriteSheet* sheet;
    Surface image;  // what the window shows, presented at every idle turn
    std::vector<std::unique_ptr<Page>> pages;
    // Its buttons work while the group lives; as a member it goes before the Window part does.
    ButtonGroup buttons;
    uint32_t clock = 0;     // milliseconds of animation shown so far
    uint32_t lastTick = 0;  // TickCount at the previous frame
};
