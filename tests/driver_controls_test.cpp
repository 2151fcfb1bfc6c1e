// Menu bars and push buttons that the display driver presents itself, as the web page does: the
// view is the client area alone, a click lands on client pixels even where a button lies, and a
// pick on the driver's menu or a click on its button reaches the window as the same event a click
// in the view would, only for items and buttons that could be clicked.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/window_view.h"
#include "win/button_group.h"
#include "win/menu_bar.h"
#include "win/window.h"

namespace {

using viewtest::DispatchPending;
using viewtest::Event;
using viewtest::EventWindow;

const char* const kFileItems[] = {"New", "Open", nullptr};
const char* const kViewItems[] = {"Zoom", "Grid", "Ruler", nullptr};

class DriverControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        headless::PresentControls(true);
    }
    void TearDown() override {
        ResetProcessState();
        group.reset();
    }

    // 320 × 200, green, the drop-downs File (New, Open) and View (Zoom, Grid, Ruler), and two push
    // buttons, "One" (7) at (10, 150)-(90, 180) and "Two" (8) at (100, 150)-(180, 180).
    EventWindow* Open() {
        auto* w = new EventWindow("Controls", 320, 200);
        w->AddMenu("File", kFileItems);
        w->AddMenu("View", kViewItems);
        group = std::make_unique<ButtonGroup>(w);
        group->AddButton(10, 150, 90, 180, "One", 7);
        group->AddButton(100, 150, 180, 180, "Two", 8);
        viewtest::FillClient(w->Handle(), viewtest::kClientGreen);
        return w;
    }
    std::unique_ptr<ButtonGroup> group;
};

TEST_F(DriverControlsTest, TheViewIsTheClientAreaAndThePointerLandsOnClientPixels) {
    EventWindow* w = Open();
    const HWND h = w->Handle();
    RECT client{};
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    const headless::Image view = headless::ReadWindow(h);
    ASSERT_EQ(view.width, 320);
    ASSERT_EQ(view.height, 200);
    int green = 0;
    for (uint32_t p : view.pixels) green += p == viewtest::kClientGreen;
    EXPECT_EQ(green, 320 * 200) << "no menu bar and no button drawn in the view";

    // Over the first button and over the top row, where the bar would be: both are the window's.
    viewtest::Click(h, 50, 165);
    viewtest::Click(h, 5, 0);
    DispatchPending();
    const std::vector<Event> expected = {{Mouse, Move, 0}, {Mouse, LeftDown, 0}, {Mouse, LeftUp, 0},
                                         {Mouse, Move, 0}, {Mouse, LeftDown, 0}, {Mouse, LeftUp, 0}};
    EXPECT_EQ(w->events, expected);
    EXPECT_EQ(w->mouseX, 5);
    EXPECT_EQ(w->mouseY, 0);
    delete w;
}

TEST_F(DriverControlsTest, APickOrAClickReachesTheWindowAsTheSameEvent) {
    EventWindow* w = Open();
    const HWND h = w->Handle();
    // Menu commands are drop-down × 100 + item: View > Ruler is 102, File > New 0.
    headless::PickMenuItem(h, 102);
    headless::PickMenuItem(h, 0);
    const std::vector<headless::ButtonShown> buttons = headless::PushButtons(h);
    ASSERT_EQ(buttons.size(), 2u);
    headless::ClickPushButton(buttons[1].hwnd);
    DispatchPending();
    const std::vector<Event> expected = {{Menu, 1, 2}, {Menu, 0, 0}, {Button, 8, 0}};
    EXPECT_EQ(w->events, expected);
    delete w;
}

TEST_F(DriverControlsTest, OnlyWhatCouldBeClickedIsPicked) {
    EventWindow* w = Open();
    const HWND h = w->Handle();
    HMENU bar = GetMenu(h);
    HMENU view = GetSubMenu(bar, 1);
    MENUITEMINFOA grey{};
    grey.cbSize = kMenuItemInfoSizeWithoutBitmap;
    grey.fMask = MIIM_STATE;
    grey.fState = MFS_GRAYED;
    ASSERT_TRUE(SetMenuItemInfoA(view, 1, TRUE, &grey));  // View > Grid, 101
    const std::vector<headless::ButtonShown> buttons = headless::PushButtons(h);
    ASSERT_EQ(buttons.size(), 2u);
    ShowWindow(buttons[0].hwnd, SW_HIDE);

    headless::PickMenuItem(h, 101);  // grey
    headless::PickMenuItem(h, 150);  // no such item
    headless::PickMenuItem(h, static_cast<UINT>(reinterpret_cast<uintptr_t>(view)));  // the drop-down's own entry
    headless::ClickPushButton(buttons[0].hwnd);  // hidden
    headless::ClickPushButton(h);  // a window, not a push button
    DispatchPending();
    EXPECT_TRUE(w->events.empty()) << w->events.size() << " events";
    EXPECT_EQ(headless::PushButtons(h).size(), 1u);
    delete w;
}

TEST_F(DriverControlsTest, ThePresentedButtonsSayTheirCaptionsAndLook) {
    EventWindow* w = Open();
    const HWND h = w->Handle();
    std::vector<headless::ButtonShown> buttons = headless::PushButtons(h);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].caption, "One");
    EXPECT_EQ(buttons[1].caption, "Two");
    EXPECT_FALSE(buttons[0].pushed);
    SendMessageA(buttons[1].hwnd, BM_SETSTATE, TRUE, 0);
    buttons = headless::PushButtons(h);
    EXPECT_FALSE(buttons[0].pushed);
    EXPECT_TRUE(buttons[1].pushed);
    delete w;
    DispatchPending();  // the close the window posted on its way out
    EXPECT_TRUE(headless::PushButtons(h).empty()) << "a window that is gone presents nothing";
}

}  // namespace
