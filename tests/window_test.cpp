// Window objects: creation and size, message routing to OnEvent and the mouse fields, the registry
// and the idle pass, full-screen switching, destruction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/window_view.h"
#include "win/window.h"

namespace {

struct Event {
    int kind;
    int code;
    int detail;
    bool operator==(const Event&) const = default;
};

// Records what reaches it; counts idle turns and deletions.
class Probe : public Window {
public:
    explicit Probe(const char* name = "Probe", bool full = false, int width = 640, int height = 480)
        : Window(name, width, height, true, nullptr, full) {}
    ~Probe() override { ++deletions; }
    void OnEvent(int kind, int code, int detail) override { events.push_back({kind, code, detail}); }
    void OnIdle() override { ++idles; }
    void OnPaint() override { ++paints; }

    std::vector<Event> events;
    int idles = 0;
    int paints = 0;
    static int deletions;
};
int Probe::deletions = 0;

using viewtest::DispatchPending;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        headless::SetScreenSize(1024, 768);
        Probe::deletions = 0;
    }
    void TearDown() override { ResetProcessState(); }
};

TEST_F(WindowTest, WindowedOuterSizeAndCentring) {
    auto* w = new Probe;
    RECT r{};
    ASSERT_TRUE(GetWindowRect(HandleOf(w), &r));
    const int outerWidth = 640 + 2 * 3;
    const int outerHeight = 480 + 2 * 3 + 16 + 3;
    EXPECT_EQ(r.right - r.left, outerWidth);
    EXPECT_EQ(r.bottom - r.top, outerHeight);
    EXPECT_EQ(r.left, (1024 - outerWidth) / 2);
    EXPECT_EQ(r.top, (768 - outerHeight) / 2);
    EXPECT_EQ(w->ClientLeft(), r.left + 3);
    EXPECT_EQ(w->ClientTop(), r.top + 3 + 16 + 3);
    RECT client{};
    GetClientRect(HandleOf(w), &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_TRUE(w->ready);
    EXPECT_TRUE(w->active);

    // Centring on a screen whose width is odd minus the window truncates toward zero; on a screen
    // smaller than the window the position goes negative.
    headless::SetScreenSize(600, 400);
    w->Centre();
    GetWindowRect(HandleOf(w), &r);
    EXPECT_EQ(r.left, (600 - outerWidth) / 2);
    EXPECT_EQ(r.top, (400 - outerHeight) / 2);
    EXPECT_EQ(r.right - r.left, outerWidth);
}

TEST_F(WindowTest, WindowShowsItsCaption) {
    auto* w = new Probe("Ondrel - from Corvane - Version 1.0");
    char text[64] = {};
    GetWindowTextA(HandleOf(w), text, sizeof text);
    EXPECT_STREQ(text, "Ondrel - from Corvane - Version 1.0");
    ASSERT_EQ(headless::TopLevelWindows().size(), 1u);
    EXPECT_EQ(headless::TopLevelWindows()[0], HandleOf(w));
}

TEST_F(WindowTest, KeysNeedReadyOnlyAndMouseNeedsReadyAndActive) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    headless::KeyDown('C');
    headless::MoveMouse(h, 10, 20);
    headless::PressLeft(h, 10, 20);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Key, 'C', 0}, {Mouse, Move, 0}, {Mouse, LeftDown, 0}}));
    EXPECT_TRUE(w->leftButton);

    // Inactive: the mouse state still follows, no mouse event is forwarded, keys still are.
    w->events.clear();
    headless::ActivateApp(false);
    EXPECT_FALSE(w->active);
    headless::MoveMouse(h, 30, 40);
    headless::ReleaseLeft(h, 30, 40);
    headless::PressRight(h, 30, 40);
    headless::KeyDown(VK_ESCAPE);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Key, VK_ESCAPE, 0}}));
    EXPECT_EQ(w->mouseX, 30);
    EXPECT_EQ(w->mouseY, 40);
    EXPECT_EQ(w->prevMouseX, 10);
    EXPECT_EQ(w->prevMouseY, 20);
    EXPECT_FALSE(w->leftButton);
    EXPECT_TRUE(w->rightButton);

    w->events.clear();
    headless::ActivateApp(true);
    headless::ReleaseRight(h, 30, 40);
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Mouse, RightUp, 0}}));
    EXPECT_FALSE(w->rightButton);

    // Not ready: nothing is forwarded at all.
    w->ready = false;
    w->events.clear();
    headless::KeyDown('X');
    headless::MoveMouse(h, 1, 2);
    DispatchPending();
    EXPECT_TRUE(w->events.empty());
    EXPECT_EQ(w->mouseX, 1);
}

TEST_F(WindowTest, FirstMoveReportsPreviousPositionZeroAndPositionsAreUnsigned16Bit) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    headless::MoveMouse(h, 5, 6);
    DispatchPending();
    EXPECT_EQ(w->prevMouseX, 0);
    EXPECT_EQ(w->prevMouseY, 0);
    // A position word with negative halves (as Win32 sends while capturing) reads as 0..65535.
    PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(-2, -3));
    DispatchPending();
    EXPECT_EQ(w->mouseX, 65534);
    EXPECT_EQ(w->mouseY, 65533);
}

TEST_F(WindowTest, PointerOutsideTheClientAreaMakesNoMessage) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    headless::MoveMouse(h, 100, 100);
    headless::MoveMouse(h, 640, 100);
    headless::MoveMouse(h, -1, 100);
    DispatchPending();
    EXPECT_EQ(w->events.size(), 1u);
    EXPECT_EQ(w->mouseX, 100);
}

TEST_F(WindowTest, MenuCommandIdentifiersSplitIntoMenuAndItem) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    PostMessageA(h, WM_COMMAND, 203, 0);
    PostMessageA(h, WM_COMMAND, 102, 0);
    PostMessageA(h, WM_COMMAND, 7, 0);
    PostMessageA(h, WM_COMMAND, (1u << 16) | 5, 0);  // an accelerator: ignored
    DispatchPending();
    EXPECT_EQ(w->events, (std::vector<Event>{{Menu, 2, 3}, {Menu, 1, 2}, {Menu, 0, 7}}));
}

TEST_F(WindowTest, RegistryGrowsByDoublingAndIsReleasedWithTheLastWindow) {
    auto* a = new Probe("A");
    ASSERT_EQ(appGlobals.windowRegistryCapacity, 1);
    EXPECT_EQ(appGlobals.windowRegistry[0], a);
    auto* b = new Probe("B");
    ASSERT_EQ(appGlobals.windowRegistryCapacity, 2);
    EXPECT_EQ(appGlobals.windowRegistry[1], b);
    auto* c = new Probe("C");
    ASSERT_EQ(appGlobals.windowRegistryCapacity, 4);
    EXPECT_EQ(appGlobals.windowRegistry[0], a);
    EXPECT_EQ(appGlobals.windowRegistry[1], b);
    EXPECT_EQ(appGlobals.windowRegistry[2], nullptr);
    EXPECT_EQ(appGlobals.windowRegistry[3], c);
    auto* d = new Probe("D");
    EXPECT_EQ(appGlobals.windowRegistry[2], d);

    delete c;
    delete d;
    delete a;
    ASSERT_EQ(appGlobals.windowRegistryCapacity, 4);
    EXPECT_EQ(appGlobals.windowRegistry[1], b);
    EXPECT_EQ(appGlobals.windowRegistry[0], nullptr);
    delete b;
    EXPECT_EQ(appGlobals.windowRegistryCapacity, 0);
    EXPECT_EQ(appGlobals.windowRegistry, nullptr);
    EXPECT_FALSE(RunWindowsIdle());
}

TEST_F(WindowTest, IdlePassVisitsEveryWindowOnce) {
    EXPECT_FALSE(RunWindowsIdle());
    auto* a = new Probe("A");
    auto* b = new Probe("B");
    EXPECT_TRUE(RunWindowsIdle());
    EXPECT_EQ(a->idles, 1);
    EXPECT_EQ(b->idles, 1);
}

TEST_F(WindowTest, TwoWindowsOfOneNameAreBothCreated) {
    auto* a = new Probe("Same");
    auto* b = new Probe("Same");
    EXPECT_TRUE(IsWindow(HandleOf(a)));
    EXPECT_TRUE(IsWindow(HandleOf(b)));
    EXPECT_NE(HandleOf(a), HandleOf(b));
}

TEST_F(WindowTest, CloseBoxDestroysTheObjectOnceAndTheNativeWindow) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    headless::CloseWindow(h);
    DispatchPending();
    EXPECT_EQ(Probe::deletions, 1);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(appGlobals.windowRegistryCapacity, 0);
    EXPECT_TRUE(headless::TopLevelWindows().empty());
}

TEST_F(WindowTest, DeletedWindowReceivesNoFurtherMessages) {
    auto* w = new Probe;
    HWND h = HandleOf(w);
    delete w;  // as the application does on Escape: posts WM_CLOSE to the native window
    EXPECT_EQ(Probe::deletions, 1);
    EXPECT_TRUE(IsWindow(h));
    PostMessageA(h, WM_KEYDOWN, 'A', 0);
    DispatchPending();  // the WM_CLOSE and WM_DESTROY reach only the default handling
    EXPECT_EQ(Probe::deletions, 1);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowTest, FullScreenSwitchesTheDisplayAndRestoresItOnDestruction) {
    auto* w = new Probe("Full", true, 640, 480);
    auto modes = headless::ModeSwitches();
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0].width, 640);
    EXPECT_EQ(modes[0].height, 480);
    EXPECT_EQ(modes[0].bits, 16);
    EXPECT_EQ(appGlobals.savedDisplayWidth, 1024);
    EXPECT_EQ(appGlobals.savedDisplayHeight, 768);
    RECT r{};
    GetWindowRect(HandleOf(w), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);
    EXPECT_EQ(w->ClientLeft(), 1);
    EXPECT_EQ(w->ClientTop(), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);

    delete w;
    modes = headless::ModeSwitches();
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[1].width, 1024);
    EXPECT_EQ(modes[1].height, 768);
    EXPECT_EQ(modes[1].bits, 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    // The saved size now holds the mode that was left.
    EXPECT_EQ(appGlobals.savedDisplayWidth, 640);
    EXPECT_EQ(appGlobals.savedDisplayHeight, 480);
}

TEST_F(WindowTest, RequestPaintReachesOnPaint) {
    auto* w = new Probe;
    int before = w->paints;
    w->RequestPaint();
    DispatchPending();
    EXPECT_EQ(w->paints, before + 1);
}

}  // namespace
