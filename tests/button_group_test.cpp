// Push buttons as a user meets them: where a button lands, how it looks up and pressed, what a
// click sends, duplicates refused; and the window's command routing, which takes only its own
// groups' buttons for buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/system.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/window_view.h"
#include "win/button_group.h"
#include "win/window.h"

namespace {

using viewtest::Click;
using viewtest::DispatchPending;
using viewtest::Event;
using viewtest::EventWindow;
using viewtest::kBar;
using viewtest::Shows;

// The smallest rectangle holding every pixel of the client part of the view (below `top`) that
// is not the client's green: left, top, right, bottom, inclusive.
RECT Drawn(const headless::Image& image, int top) {
    RECT r{image.width, image.height, -1, -1};
    for (int y = top; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) != viewtest::kClientGreen) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x);
                r.bottom = std::max<LONG>(r.bottom, y);
            }
    return r;
}

class ButtonGroupTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }

    EventWindow* GreenWindow(const char* name = "Buttons") {
        auto* w = new EventWindow(name, 320, 200);
        viewtest::FillClient(w->Handle(), viewtest::kClientGreen);
        return w;
    }
};

TEST_F(ButtonGroupTest, AButtonLiesAtItsFirstCornerWithTheDifferencesAsItsSize) {
    auto* w = new EventWindow("Placed", 320, 200);
    const char* const items[] = {"Quit", nullptr};
    w->AddMenu("File", items);  // the client area, and the button, start below the bar
    HWND h = w->Handle();
    viewtest::FillClient(h, viewtest::kClientGreen);
    ButtonGroup group(w);
    EXPECT_EQ(group.kind, 2);
    EXPECT_EQ(group.owner, w);
    ASSERT_TRUE(group.AddButton(100, 50, 20, 10, "Go", 7));
    EXPECT_TRUE(group.HasButton(7));
    EXPECT_FALSE(group.HasButton(8));

    RECT drawn = Drawn(headless::ReadWindow(h), kBar);
    EXPECT_EQ(drawn.left, 100);
    EXPECT_EQ(drawn.top, kBar + 50);
    EXPECT_EQ(drawn.right - drawn.left + 1, 80);
    EXPECT_EQ(drawn.bottom - drawn.top + 1, 40);
    ASSERT_NE(group.buttons, nullptr);
    EXPECT_EQ(group.buttons->x1, 100);
    EXPECT_EQ(group.buttons->y2, 10);
    EXPECT_STREQ(group.buttons->caption, "Go");

    Click(h, 101, kBar + 51);  // just inside its top-left corner
    Click(h, 99, kBar + 51);   // just outside it
    Click(h, 179, kBar + 89);  // just inside its bottom-right corner
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Button, 7, 0},
                                             {Mouse, Move, 0},
                                             {Mouse, LeftDown, 0},
                                             {Mouse, LeftUp, 0},
                                             {Button, 7, 0}}));
    EXPECT_EQ(w->mouseX, 99);
    EXPECT_EQ(w->mouseY, 51);
}

TEST_F(ButtonGroupTest, AClickIsAPressAndAReleaseOnTheButton) {
    struct Gesture {
        const char* name;
        std::function<void(HWND)> act;
        std::vector<Event> expected;
    };
    // The button covers (10, 10)–(69, 33).
    const std::vector<Gesture> gestures = {
        {"press and release on it",
         [](HWND h) {
             headless::PressLeft(h, 40, 20);
             headless::ReleaseLeft(h, 40, 20);
         },
         {{Button, 7, 0}}},
        {"press on it, release outside",
         [](HWND h) {
             headless::PressLeft(h, 40, 20);
             headless::MoveMouse(h, 200, 150);
             headless::ReleaseLeft(h, 200, 150);
         },
         {}},
        {"press on it, out and back, release on it",
         [](HWND h) {
             headless::PressLeft(h, 40, 20);
             headless::MoveMouse(h, 200, 150);
             headless::MoveMouse(h, 41, 21);
             headless::ReleaseLeft(h, 41, 21);
         },
         {{Button, 7, 0}}},
        {"press outside, release on it",
         [](HWND h) {
             headless::PressLeft(h, 200, 150);
             headless::MoveMouse(h, 40, 20);
             headless::ReleaseLeft(h, 40, 20);
         },
         {{Mouse, LeftDown, 0}}},
        {"right click on it",
         [](HWND h) {
             headless::PressRight(h, 40, 20);
             headless::ReleaseRight(h, 40, 20);
         },
         {}},
    };
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddButton(10, 10, 70, 34, "OK", 7));
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.name);
        w->events.clear();
        g.act(h);
        DispatchPending();
        EXPECT_EQ(w->events, g.expected);
    }
}

TEST_F(ButtonGroupTest, AButtonLooksPressedWhileTheButtonIsHeldOnIt) {
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddButton(10, 10, 70, 34, "OK", 7));
    // Up: white above and left, black below and right; pressed: the other way round.
    auto corners = [&] {
        headless::Image image = headless::ReadWindow(h);
        return std::vector<uint32_t>{image.At(10, 10), image.At(69, 33)};
    };
    const std::vector<uint32_t> up{0xFFFFFF, 0x000000};
    const std::vector<uint32_t> pressed{0x000000, 0xFFFFFF};
    EXPECT_EQ(corners(), up);
    headless::PressLeft(h, 40, 20);
    EXPECT_EQ(corners(), pressed);
    headless::MoveMouse(h, 5, 5);
    EXPECT_EQ(corners(), up);
    headless::MoveMouse(h, 40, 20);
    EXPECT_EQ(corners(), pressed);
    headless::ReleaseLeft(h, 40, 20);
    EXPECT_EQ(corners(), up);
}

// A check button shows a choice that holds: pushed in while checked (SetButtonCheck), whatever
// the pointer does; a click sends its event and leaves the check to the program. A push button
// takes no check. A click gives the keyboard back to the window: its keys reach it again.
TEST_F(ButtonGroupTest, ACheckButtonStaysPushedInWhileCheckedAndAClickLeavesTheKeysToTheWindow) {
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddCheckButton(10, 10, 70, 34, "Tool", 7));
    ASSERT_TRUE(group.AddButton(100, 10, 160, 34, "Go", 8));
    auto corners = [&](int left) {
        headless::Image image = headless::ReadWindow(h);
        return std::vector<uint32_t>{image.At(left, 10), image.At(left + 59, 33)};
    };
    const std::vector<uint32_t> up{0xFFFFFF, 0x000000};
    const std::vector<uint32_t> in{0x000000, 0xFFFFFF};
    EXPECT_EQ(corners(10), up);
    group.SetButtonCheck(7, true);
    group.SetButtonCheck(8, true);
    EXPECT_EQ(corners(10), in);
    EXPECT_EQ(corners(100), up);
    EXPECT_TRUE(group.ButtonChecked(7));
    EXPECT_FALSE(group.ButtonChecked(8));
    Click(h, 40, 20);
    DispatchPending();
    EXPECT_EQ(corners(10), in) << "the program unchecks it, not the click";
    headless::TapKey('K');
    Click(h, 130, 20);
    DispatchPending();
    headless::TapKey('L');
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Button, 7, 0}, {Key, 'K', 0}, {Button, 8, 0}, {Key, 'L', 0}}));
    group.SetButtonCheck(7, false);
    EXPECT_EQ(corners(10), up);
}

TEST_F(ButtonGroupTest, ADuplicateIdentifierIsRefusedAndTheFirstButtonStays) {
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddButton(10, 10, 70, 34, "One", 7));
    EXPECT_FALSE(group.AddButton(100, 100, 160, 124, "Two", 7));
    ASSERT_TRUE(group.AddButton(200, 10, 260, 34, "Three", 8));
    EXPECT_EQ(group.buttons->id, 8);
    ASSERT_NE(group.buttons->next, nullptr);
    EXPECT_EQ(group.buttons->next->id, 7);
    EXPECT_EQ(group.buttons->next->next, nullptr);

    headless::Image image = headless::ReadWindow(h);
    EXPECT_EQ(image.At(130, 112), viewtest::kClientGreen) << "no second button was made";
    Click(h, 130, 112);
    Click(h, 40, 20);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Mouse, Move, 0}, {Mouse, LeftDown, 0}, {Mouse, LeftUp, 0}, {Button, 7, 0}}));
}

TEST_F(ButtonGroupTest, AButtonWithoutACaptionShowsNoText) {
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddButton(10, 10, 22, 21, nullptr, 1));
    ASSERT_TRUE(group.AddButton(30, 10, 42, 21, "", 2));
    ASSERT_TRUE(group.AddButton(50, 10, 62, 21, "I", 3));
    EXPECT_EQ(group.buttons->next->next->caption, nullptr);
    const std::vector<std::string> blank = {
        "gggggggggggggg",
        "gWWWWWWWWWWWKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWFFFFFFFFFSKg",
        "gWSSSSSSSSSSKg",
        "gKKKKKKKKKKKKg",
        "gggggggggggggg",
    };
    headless::Image image = headless::ReadWindow(h);
    EXPECT_TRUE(Shows(image, 9, 9, blank));
    EXPECT_TRUE(Shows(image, 29, 9, blank));
    // The same button with a caption has it in the middle: "I" is 5 wide, 7 high.
    EXPECT_TRUE(Shows(image, 49, 9,
                      {
                          "gggggggggggggg",
                          "gWWWWWWWWWWWKg",
                          "gWFFFFFFFFFSKg",
                          "gWFFFKKKFFFSKg",
                          "gWFFFFKFFFFSKg",
                          "gWFFFFKFFFFSKg",
                          "gWFFFFKFFFFSKg",
                          "gWFFFFKFFFFSKg",
                          "gWFFFFKFFFFSKg",
                          "gWFFFKKKFFFSKg",
                          "gWSSSSSSSSSSKg",
                          "gKKKKKKKKKKKKg",
                          "gggggggggggggg",
                      }));
}

TEST_F(ButtonGroupTest, RedrawButtonsShowsTheButtonsAgain) {
    EventWindow* w = GreenWindow();
    HWND h = w->Handle();
    ButtonGroup group(w);
    ASSERT_TRUE(group.AddButton(10, 10, 70, 34, "A", 1));
    ASSERT_TRUE(group.AddButton(100, 10, 160, 34, "B", 2));
    const int shows = headless::ShowCount(h);
    group.RedrawButtons();
    EXPECT_EQ(headless::ShowCount(h), shows + 2);
    headless::Image image = headless::ReadWindow(h);
    EXPECT_EQ(image.At(10, 10), 0xFFFFFFu);
    EXPECT_EQ(image.At(100, 10), 0xFFFFFFu);
}

TEST_F(ButtonGroupTest, AGroupWithoutAWindowMakesNoButton) {
    ButtonGroup group(nullptr);
    EXPECT_FALSE(group.AddButton(0, 0, 10, 10, "X", 1));
    EXPECT_FALSE(group.HasButton(1));
    EXPECT_EQ(group.buttons, nullptr);
}

// The window procedure of a control of some other class.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(ButtonGroupTest, OnlyTheButtonsOfALiveGroupAreReadAsButtons) {
    EventWindow* w = GreenWindow("Owner");
    HWND h = w->Handle();
    // Shaped like a group whose owner is this window: read as one, it would make an event.
    struct LookAlike {
        int kind;
        void* buttons;
        Window* owner;
    } lookAlike{kButtonGroupKind, nullptr, w};

    WNDCLASSA plain{};
    plain.lpfnWndProc = PlainProc;
    plain.hInstance = InstanceHandle();
    plain.lpszClassName = "Plain";
    RegisterClassA(&plain);
    HWND other = CreateWindowExA(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 150, 10, 10, h, reinterpret_cast<HMENU>(5),
                                 InstanceHandle(), nullptr);
    SetWindowLongPtrA(other, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&lookAlike));
    HWND stray = CreateWindowExA(0, "BUTTON", "S", WS_CHILD | WS_VISIBLE, 20, 150, 20, 20, h, reinterpret_cast<HMENU>(6),
                                 InstanceHandle(), nullptr);
    SetWindowLongPtrA(stray, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&lookAlike));
    auto* ours = new EventWindow("Ours", 50, 50, w);  // a Window of ours, owned: its user data holds it
    auto* gone = new ButtonGroup(w);
    ASSERT_TRUE(gone->AddButton(50, 150, 70, 170, "G", 8));
    HWND orphan = gone->buttons->hwnd;
    delete gone;
    ButtonGroup live(w);
    ASSERT_TRUE(live.AddButton(100, 150, 120, 170, "L", 9));

    const HWND controls[] = {other, stray, ours->Handle(), orphan, live.buttons->hwnd};
    const int ids[] = {5, 6, 0, 8, 9};
    for (int i = 0; i < 5; ++i) PostMessageA(h, WM_COMMAND, MAKEWPARAM(ids[i], BN_CLICKED), reinterpret_cast<LPARAM>(controls[i]));
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Button, 9, 0}}));

    // Clicked as a user would: only the live group's button makes an event.
    w->events.clear();
    Click(h, 30, 160);
    Click(h, 60, 160);
    Click(h, 110, 160);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Button, 9, 0}}));
    EXPECT_TRUE(ours->events.empty());
}

}  // namespace
