// The gallery's window: menus and buttons in, one frame out at every idle turn.
#include "gallery/gallery_window.h"

#include <cstdio>
#include <cstring>

#include "app/globals.h"
#include "app/system.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "win/menu_bar.h"

namespace {

const char* const kGalleryItems[] = {"Next page", "Previous page", "Quit", nullptr};
const char* const kViewItems[] = {"Animation", nullptr};

// The row of buttons along the bottom, below the image. The image stops above them: presented
// over a push button, it would paint over it on Windows, where a window's drawing is not clipped
// around its child windows.
constexpr int kButtonTop = 442;
constexpr int kButtonBottom = 470;
constexpr int kButtonWidth = 96;
constexpr int kButtonGap = 9;
constexpr int kImageHeight = kButtonTop - 6;

// After a stall (a window dragged, a debugger) the animation goes on where it was.
constexpr uint32_t kLongestStepMs = 100;

}  // namespace

GalleryWindow::GalleryWindow(const BitmapFont* galleryFont, const SpriteSheet* gallerySheet)
    : Window("Ondrel gallery", kGalleryWidth, kGalleryHeight, true, nullptr, false),
      font(galleryFont),
      sheet(gallerySheet),
      image(kGalleryWidth, kImageHeight),
      buttons(this) {
    pages.push_back(MakeShapesPage());
    pages.push_back(MakeTextPage());
    pages.push_back(MakeSpritesPage());
    pages.push_back(MakeCopiesPage(sheet));
    pages.push_back(MakeFilesPage());
    pages.push_back(MakeTasksPage());

    // The items of "Pages" are the pages' titles, so their positions are the page numbers.
    std::vector<const char*> titles;
    for (const auto& p : pages) titles.push_back(p->Title());
    titles.push_back(nullptr);
    AddMenu("Gallery", kGalleryItems);
    AddMenu("Pages", titles.data());
    AddMenu("View", kViewItems);

    for (int i = 0; i < PageCount(); ++i) {
        auto left = static_cast<short>(kButtonGap + i * (kButtonWidth + kButtonGap));
        buttons.AddButton(left, kButtonTop, static_cast<short>(left + kButtonWidth), kButtonBottom, PageTitle(i),
                          static_cast<short>(kFirstPageButton + i));
    }

    SetAnimation(true);
    lastTick = TickCount();
    pages[0]->Enter();
}

void GalleryWindow::OnEvent(int kind, int code, int detail) {
    const int next = (page + 1) % PageCount();
    const int previous = (page + PageCount() - 1) % PageCount();
    switch (kind) {
        case Button:  // code: the button's identifier
            ShowPage(code - kFirstPageButton);
            return;
        case Menu:  // code: the drop-down, in the order they were added; detail: the item in it
            if (code == kPagesMenu) ShowPage(detail);
            if (code == kGalleryMenu && detail == kNextItem) ShowPage(next);
            if (code == kGalleryMenu && detail == kPreviousItem) ShowPage(previous);
            if (code == kViewMenu && detail == kAnimationItem) SetAnimation(!animating);
            // The window ends itself; the registry forgets it, and the loop ends with no window left.
            if (code == kGalleryMenu && detail == kQuitItem) delete this;
            return;
        case Key:  // code: the virtual key
            if (code == VK_RIGHT) ShowPage(next);
            if (code == VK_LEFT) ShowPage(previous);
            if (code == VK_ESCAPE) delete this;
            return;
        default:
            return;
    }
}

void GalleryWindow::ShowPage(int index) {
    if (index < 0 || index >= PageCount() || index == page) return;
    pages[static_cast<size_t>(page)]->Leave();
    page = index;
    pages[static_cast<size_t>(page)]->Enter();
}

void GalleryWindow::SetAnimation(bool on) {
    animating = on;
    menuBar->SetMenuCheck(kViewMenu, kAnimationItem, on);
    // The loop runs the Universe only while it is Active: suspended, none of its tasks runs.
    appGlobals.universe.SetState(on ? Active : Suspended);
}

void GalleryWindow::OnIdle() {
    uint32_t now = TickCount();
    uint32_t step = now - lastTick;  // unsigned: right across the tick count's wrap
    lastTick = now;
    if (animating) clock += step < kLongestStepMs ? step : kLongestStepMs;
    DrawFrame();
    // In a real window this waits for the display's refresh: one frame a refresh.
    image.Present(this);
}

void GalleryWindow::DrawFrame() {
    image.Clear(kBackground);
    PageTools tools{&image, font, sheet, clock};
    pages[static_cast<size_t>(page)]->Draw(tools);

    // The header: the page's title in a box, where it is in the tour and whether things move.
    DrawText(font, 12, 10, PageTitle(page), &image, 0, false, true);
    char where[64];
    std::snprintf(where, sizeof where, "page %d of %d - animation %s", page + 1, PageCount(), animating ? "on" : "off");
    DrawText(font, kGalleryWidth - 12 - static_cast<int32_t>(std::strlen(where)) * font->CellWidth(), 10, where, &image,
             kCaption, false, false);
    DrawLine(&image, 0, kImageHeight - 1, kGalleryWidth - 1, kImageHeight - 1, kCaption);
}
