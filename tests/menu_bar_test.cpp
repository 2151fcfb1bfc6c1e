// Menu bars as a user meets them: the window growing by the bar, drop-downs opened and items
// picked with the pointer and the keyboard, check marks, and how the bar and a drop-down look.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/window_view.h"
#include "win/menu_bar.h"
#include "win/window.h"

namespace {

using viewtest::Click;
using viewtest::DispatchPending;
using viewtest::Event;
using viewtest::EventWindow;
using viewtest::ItemMiddle;
using viewtest::ItemTop;
using viewtest::kBar;
using viewtest::kCheckMark;
using viewtest::kNoCheckMark;
using viewtest::Shows;

// The look, by hand, besides the bar and drop-down measures of window_view.h: the bar's titles
// start at the window's left edge, each its text (6 pixels a character) with 6 pixels on either
// side; an item's text starts 18 pixels right of the drop-down's border, 4 pixels below the item's
// top.
int TitleWidth(const char* title) { return 6 * static_cast<int>(std::string(title).size()) + 12; }

const char* const kFileItems[] = {"New", "Open", nullptr};
const char* const kViewItems[] = {"Zoom", "Grid", "Ruler", nullptr};

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }

    // A window with the drop-downs "File" (New, Open) and "View" (Zoom, Grid, Ruler), its client
    // area painted green.
    EventWindow* FileAndView() {
        auto* w = new EventWindow("Menus", 320, 200);
        w->AddMenu("File", kFileItems);
        w->AddMenu("View", kViewItems);
        viewtest::FillClient(w->Handle(), viewtest::kClientGreen);
        return w;
    }
};

TEST_F(MenuBarTest, TheWindowGrowsOnceByTheBarAndKeepsItsClientSize) {
    auto* w = new EventWindow("Grow", 320, 200);
    HWND h = w->Handle();
    RECT before{};
    GetWindowRect(h, &before);
    const int clientTop = w->ClientTop();

    w->AddMenu("File", kFileItems);
    RECT after{};
    GetWindowRect(h, &after);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), kBar);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom + kBar);
    RECT client{};
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(w->ClientTop(), clientTop + kBar);

    w->AddMenu("View", kViewItems);
    w->AddMenu("Empty", nullptr);
    RECT again{};
    GetWindowRect(h, &again);
    EXPECT_EQ(again.bottom, after.bottom);
    EXPECT_EQ(again.right, after.right);

    ASSERT_NE(w->menuBar, nullptr);
    EXPECT_EQ(w->menuBar->kind, 1);
    EXPECT_EQ(w->menuBar->popupCount, 3);
    HMENU bar = GetMenu(h);
    EXPECT_EQ(w->menuBar->handles->Lookup(kMenuHandlerKey), bar);
    EXPECT_EQ(w->menuBar->handles->Lookup(kOwnerHandlerKey), h);
    EXPECT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 2), 102u);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 2)), 0);
    headless::Image shown = headless::ReadWindow(h);
    EXPECT_EQ(shown.width, 320);
    EXPECT_EQ(shown.height, 200 + kBar);

    // The window takes its native menu with it.
    delete w;
    DispatchPending();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsMenu(bar));
}

TEST_F(MenuBarTest, TheThirdItemOfTheSecondDropDownArrivesAsMenuOneTwo) {
    EventWindow* w = FileAndView();
    HWND h = w->Handle();
    const int viewLeft = TitleWidth("File");
    Click(h, TitleWidth("File") / 2, kBar / 2);          // File opens
    headless::MoveMouse(h, viewLeft + 18, kBar / 2);     // along the bar: View opens instead
    headless::MoveMouse(h, viewLeft + 30, ItemMiddle(2));
    headless::PressLeft(h, viewLeft + 30, ItemMiddle(2));
    headless::ReleaseLeft(h, viewLeft + 30, ItemMiddle(2));
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Menu, 1, 2}}));
    // Closed again: the client area shows where the drop-down was.
    EXPECT_EQ(headless::ReadWindow(h).At(viewLeft + 30, ItemMiddle(2)), viewtest::kClientGreen);
}

TEST_F(MenuBarTest, AnOpenMenuClosesOnAClickElsewhereOrEscapeAndKeepsThemFromTheWindow) {
    struct Case {
        const char* name;
        std::function<void(HWND)> close;
    };
    const std::vector<Case> cases = {
        {"click in the client area", [](HWND h) { Click(h, 200, 150); }},
        {"click on the open title", [](HWND h) { Click(h, 18, 9); }},
        {"click on the bar beyond the titles", [](HWND h) { Click(h, 300, 9); }},
        {"right click in the client area",
         [](HWND h) {
             headless::PressRight(h, 200, 150);
             headless::ReleaseRight(h, 200, 150);
         }},
        {"Escape", [](HWND) { headless::TapKey(VK_ESCAPE); }},
        {"the application deactivated",
         [](HWND) {
             headless::ActivateApp(false);
             headless::ActivateApp(true);
         }},
    };
    EventWindow* w = FileAndView();
    HWND h = w->Handle();
    const headless::Image closed = headless::ReadWindow(h);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w->events.clear();
        Click(h, 18, 9);
        headless::MoveMouse(h, 30, ItemMiddle(1));
        EXPECT_NE(headless::ReadWindow(h).pixels, closed.pixels) << "the drop-down shows";
        c.close(h);
        DispatchPending();
        EXPECT_EQ(headless::ReadWindow(h).pixels, closed.pixels) << "the drop-down is gone";
        EXPECT_TRUE(w->events.empty()) << "nothing of the menu's input reached the window";
        // Closed, the keyboard and the pointer reach the window again.
        headless::TapKey('A');
        headless::MoveMouse(h, 100, 100);
        DispatchPending();
        EXPECT_EQ(w->events, (std::vector<Event>{{Key, 'A', 0}, {Mouse, Move, 0}}));
    }
}

TEST_F(MenuBarTest, AnOpenDropDownStaysOverWhatTheProgramDrawsAndGoesWithItsWindow) {
    EventWindow* w = FileAndView();
    HWND h = w->Handle();
    HMENU bar = GetMenu(h);
    Click(h, 18, 9);
    viewtest::FillClient(h, 0x0000FF);  // a new frame, presented under the open menu
    headless::Image image = headless::ReadWindow(h);
    EXPECT_EQ(image.At(1, ItemMiddle(0)), 0xFFFFFFu) << "the drop-down's left edge";
    EXPECT_EQ(image.At(200, 100), 0x0000FFu);

    delete w;
    DispatchPending();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsMenu(bar));
    // Nothing stays open: the next window gets its keys.
    auto* next = new EventWindow("Next", 100, 100);
    headless::TapKey('B');
    DispatchPending();
    EXPECT_EQ(next->events, (std::vector<Event>{{Key, 'B', 0}}));
}

TEST_F(MenuBarTest, TheKeyboardDrivesAnOpenMenu) {
    EventWindow* w = FileAndView();
    HWND h = w->Handle();
    const int viewTitle = TitleWidth("File") + 18;
    Click(h, viewTitle, 9);
    headless::TapKey(VK_DOWN);
    headless::TapKey(VK_DOWN);
    headless::TapKey(VK_RETURN);  // Grid
    Click(h, 18, 9);
    headless::TapKey(VK_RIGHT);   // View, its first item highlighted
    headless::TapKey(VK_RETURN);  // Zoom
    Click(h, 18, 9);
    headless::TapKey(VK_UP);      // from nothing highlighted up: the last item, Open
    headless::TapKey(VK_RETURN);
    Click(h, 18, 9);
    headless::TapKey(VK_LEFT);    // round to View
    headless::TapKey(VK_ESCAPE);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Menu, 1, 1}, {Menu, 1, 0}, {Menu, 0, 1}}));
}

TEST_F(MenuBarTest, ACheckMarkShowsBesideItsItemAndGoesWhenCleared) {
    auto* w = new EventWindow("Checks", 320, 200);
    HWND h = w->Handle();
    const char* const items[] = {"Sound", "Grid", nullptr};
    w->AddMenu("Options", items);
    w->menuBar->SetMenuCheck(0, 1, true);
    w->menuBar->SetMenuCheck(3, 0, true);  // no such drop-down: nothing happens
    w->menuBar->SetMenuCheck(0, 7, true);  // no such item
    const int markLeft = 3 + 5;
    Click(h, TitleWidth("Options") / 2, 9);
    headless::Image image = headless::ReadWindow(h);
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(0) + 4, kNoCheckMark));
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(1) + 4, kCheckMark));

    // Changed while open, the drop-down shows it at once.
    w->menuBar->SetMenuCheck(0, 0, true);
    w->menuBar->SetMenuCheck(0, 1, false);
    image = headless::ReadWindow(h);
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(0) + 4, kCheckMark));
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(1) + 4, kNoCheckMark));

    headless::TapKey(VK_ESCAPE);
    Click(h, TitleWidth("Options") / 2, 9);
    image = headless::ReadWindow(h);
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(0) + 4, kCheckMark));
    EXPECT_TRUE(Shows(image, markLeft, ItemTop(1) + 4, kNoCheckMark));
    DispatchPending();
    EXPECT_TRUE(w->events.empty());
}

TEST_F(MenuBarTest, TheBarAndAnOpenDropDownAsDrawn) {
    auto* w = new EventWindow("Look", 64, 40);
    HWND h = w->Handle();
    const char* const items[] = {"U", nullptr};
    w->AddMenu("G", items);
    w->menuBar->SetMenuCheck(0, 0, true);
    viewtest::FillClient(h, viewtest::kClientGreen);

    // The title on the grey bar, then pressed in while its drop-down is open.
    EXPECT_TRUE(Shows(headless::ReadWindow(h), 0, 0,
                      {
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFKKKFFFFFFFFFF",
                          "FFFFFFKFFFKFFFFFFFFF",
                          "FFFFFFKFFFFFFFFFFFFF",
                          "FFFFFFKFKKKFFFFFFFFF",
                          "FFFFFFKFFFKFFFFFFFFF",
                          "FFFFFFKFFFKFFFFFFFFF",
                          "FFFFFFFKKKKFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "FFFFFFFFFFFFFFFFFFFF",
                          "gggggggggggggggggggg",
                      }));
    Click(h, 9, 9);
    headless::MoveMouse(h, 20, ItemMiddle(0));
    headless::Image open = headless::ReadWindow(h);
    EXPECT_TRUE(Shows(open, 0, 0,
                      {
                          "SSSSSSSSSSSSSSSSSWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFKKKFFFFFFWFF",
                          "SFFFFFFKFFFKFFFFFWFF",
                          "SFFFFFFKFFFFFFFFFWFF",
                          "SFFFFFFKFKKKFFFFFWFF",
                          "SFFFFFFKFFFKFFFFFWFF",
                          "SFFFFFFKFFFKFFFFFWFF",
                          "SFFFFFFFKKKKFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "SFFFFFFFFFFFFFFFFWFF",
                          "WWWWWWWWWWWWWWWWWWFF",
                      }));
    // The drop-down over the client area: a raised box, its item highlighted under the pointer,
    // the check mark and the text in the highlight's white.
    EXPECT_TRUE(Shows(open, 0, kBar,
                      {
                          "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFKg",
                          "FWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWSKg",
                          "FWFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNWNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNWWNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNWNNNWWWNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNWWNWWWNNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNWWWWWNNNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNWWWNNNNNNNNNWNNNWNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNWNNNNNNNNNNNWWWNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNFSKg",
                          "FWFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFSKg",
                          "FSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSKg",
                          "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKg",
                          "ggggggggggggggggggggggggggggggggggggggggggggggg",
                      }));
    // What the program drew is untouched underneath.
    headless::Image client = headless::ReadClient(h);
    EXPECT_EQ(client.At(0, 0), viewtest::kClientGreen);
    EXPECT_EQ(client.At(20, 10), viewtest::kClientGreen);
}

}  // namespace
