// ondrel-gallery driven as a user drives it, on the headless display driver: its push buttons and
// its menus move between the pages, the check-marked Animation item stops and starts what moves,
// the Files page saves the sheet where it says, and every way out ends the run with exit code 0.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "gallery/gallery.h"
#include "gallery/gallery_window.h"
#include "gfx/image_files.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/io_temp_dir.h"
#include "tests/support/window_view.h"

namespace {

using viewtest::Click;
using viewtest::ItemMiddle;
using viewtest::ItemTop;
using viewtest::kBar;
using viewtest::kCheckMark;
using viewtest::kNoCheckMark;

// The window as a user sees it, measured by hand. The menu bar (window_view.h) lies above the
// 640 × 480 client area; its titles "Gallery", "Pages" and "View" are 6 pixels a character with 6
// on either side. The six page buttons are 96 × 28, 9 apart from x 9, at client y 442.
constexpr int kGalleryTitle = 0;
constexpr int kPagesTitle = 54;
constexpr int kViewTitle = 96;
constexpr int kPages = 6;
int ButtonX(int page) { return 9 + 105 * page + 48; }
constexpr int kButtonY = kBar + 456;

HWND Hwnd() { return headless::TopLevelWindows().front(); }

GalleryWindow* Gallery() {
    for (int i = 0; i < appGlobals.windowRegistryCapacity; ++i)
        if (appGlobals.windowRegistry[i]) return static_cast<GalleryWindow*>(appGlobals.windowRegistry[i]);
    return nullptr;
}

void PressButton(int page) { Click(Hwnd(), ButtonX(page), kButtonY); }

// Opens the drop-down under the title at `titleLeft` and picks its item.
void Pick(int titleLeft, int item) {
    Click(Hwnd(), titleLeft + 12, kBar / 2);
    Click(Hwnd(), titleLeft + 30, ItemMiddle(item));
}

// The rows `top` to `bottom` of the client area, as the window shows them.
std::vector<uint32_t> Rows(int top, int bottom) {
    headless::Image view = headless::ReadWindow(Hwnd());
    return std::vector<uint32_t>(view.pixels.begin() + (kBar + top) * view.width,
                                 view.pixels.begin() + (kBar + bottom + 1) * view.width);
}
std::vector<uint32_t> Header() { return Rows(0, 31); }
std::vector<uint32_t> PageArea() { return Rows(32, 431); }

class GalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        // The gallery reads its media from the folder it runs in.
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
    }
    void TearDown() override { ResetProcessState(); }

    // Runs the gallery, with step i before idle turn 3 × (i + 1): each step's input has been
    // dispatched and at least two frames drawn when the next step looks. A run still going a
    // few turns after the last step is stopped with a WM_QUIT of -1.
    int Run() {
        headless::SetBeforeIdleHook([&](int turn) {
            size_t step = static_cast<size_t>(turn / 3);
            if (turn % 3 != 0 || step == 0) return;
            if (step <= steps.size()) steps[step - 1]();
            else PostQuitMessage(-1);
        });
        char commandLine[] = "";
        return GalleryMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), commandLine);
    }

    std::vector<std::function<void()>> steps;
};

TEST_F(GalleryTest, ButtonsAndMenusVisitEveryPageAndEscapeEndsWithZero) {
    std::vector<int> byButton, byMenu, byNextAndPrevious;
    std::vector<std::vector<uint32_t>> headerByButton, headerByMenu;
    for (int i = 0; i < kPages; ++i) {
        steps.push_back([i] { PressButton(i); });
        steps.push_back([&] {
            byButton.push_back(Gallery()->page);
            headerByButton.push_back(Header());
        });
    }
    // Back through the Pages drop-down, which lists the pages in their order.
    for (int i = kPages - 1; i >= 0; --i) {
        steps.push_back([i] { Pick(kPagesTitle, i); });
        steps.push_back([&] {
            byMenu.push_back(Gallery()->page);
            headerByMenu.push_back(Header());
        });
    }
    // Gallery > Previous and Next go round; so do the arrow keys.
    for (const std::function<void()>& move :
         std::vector<std::function<void()>>{[] { Pick(kGalleryTitle, 1); }, [] { Pick(kGalleryTitle, 0); },
                                            [] { headless::TapKey(VK_LEFT); }, [] { headless::TapKey(VK_RIGHT); }}) {
        steps.push_back(move);
        steps.push_back([&] { byNextAndPrevious.push_back(Gallery()->page); });
    }
    steps.push_back([] { headless::TapKey(VK_ESCAPE); });

    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(headless::TopLevelWindows().empty());
    EXPECT_EQ(byButton, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(byMenu, (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(byNextAndPrevious, (std::vector<int>{5, 0, 5, 0}));
    // Each page has a header of its own, whichever way it was reached.
    ASSERT_EQ(headerByButton.size(), 6u);
    ASSERT_EQ(headerByMenu.size(), 6u);
    for (int i = 0; i < kPages; ++i) {
        EXPECT_TRUE(headerByMenu[static_cast<size_t>(kPages - 1 - i)] == headerByButton[static_cast<size_t>(i)]) << "page " << i;
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(headerByButton[static_cast<size_t>(i)] == headerByButton[static_cast<size_t>(j)]) << "pages " << j << ", " << i;
    }
}

TEST_F(GalleryTest, TheAnimationItemIsCheckedWhileThingsMoveAndStopsThemWhenPicked) {
    const int markLeft = kViewTitle + 3 + 5;
    const int markTop = ItemTop(0) + 4;
    std::vector<bool> checked;  // what the open drop-down showed, each time
    std::vector<std::vector<uint32_t>> shapes, tasks;  // the page area, in pairs two steps apart
    auto lookAtTheMark = [&] {
        Click(Hwnd(), kViewTitle + 12, kBar / 2);
        headless::Image open = headless::ReadWindow(Hwnd());
        bool on = viewtest::Shows(open, markLeft, markTop, kCheckMark);
        bool off = viewtest::Shows(open, markLeft, markTop, kNoCheckMark);
        EXPECT_NE(on, off) << "neither a check mark nor its absence";
        checked.push_back(on);
        headless::TapKey(VK_ESCAPE);  // closes the drop-down, and only that
    };
    auto toggle = [] { Pick(kViewTitle, 0); };
    auto look = [](std::vector<std::vector<uint32_t>>& into) { return [&into] { into.push_back(PageArea()); }; };

    steps = {lookAtTheMark, look(shapes), look(shapes),   // on
             toggle,        lookAtTheMark, look(shapes), look(shapes),  // off
             [] { PressButton(5); }, look(tasks), look(tasks),  // off: the Universe is suspended
             toggle,        lookAtTheMark, look(tasks),  look(tasks),   // on again
             [] { headless::TapKey(VK_ESCAPE); }};
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(checked, (std::vector<bool>{true, false, true}));
    ASSERT_EQ(shapes.size(), 4u);
    ASSERT_EQ(tasks.size(), 4u);
    EXPECT_FALSE(shapes[0] == shapes[1]) << "the Shapes page stood still with animation on";
    EXPECT_TRUE(shapes[2] == shapes[3]) << "the Shapes page moved with animation off";
    EXPECT_TRUE(tasks[0] == tasks[1]) << "the tasks ran with animation off";
    EXPECT_FALSE(tasks[2] == tasks[3]) << "the tasks stood still with animation on";
}

TEST_F(GalleryTest, TheFilesPageSavesTheSheetInTheTemporaryFolderAndItLoadsBackTheSame) {
    IoTempDir folder;
    const char* old = std::getenv("TMPDIR");
    std::string oldValue = old ? old : "";
    ASSERT_EQ(setenv("TMPDIR", folder.Path().c_str(), 1), 0);
    steps = {[] { PressButton(4); }, [] { headless::TapKey(VK_ESCAPE); }};
    EXPECT_EQ(Run(), 0);
    if (old) setenv("TMPDIR", oldValue.c_str(), 1);
    else unsetenv("TMPDIR");

    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ondrel-gallery.bmp"}));
    uint8_t* original = nullptr;
    uint8_t* saved = nullptr;
    HBITMAP a = LoadBmp(".\\Media\\Sprites.bmp", &original);
    HBITMAP b = LoadBmp(folder.File("ondrel-gallery.bmp").c_str(), &saved);
    ASSERT_TRUE(a && b);
    BITMAP sa{}, sb{};
    GetObjectA(a, static_cast<int>(sizeof sa), &sa);
    GetObjectA(b, static_cast<int>(sizeof sb), &sb);
    EXPECT_EQ(sb.bmWidth, sa.bmWidth);
    EXPECT_EQ(sb.bmHeight, sa.bmHeight);
    EXPECT_EQ(std::vector<uint8_t>(saved, saved + sb.bmWidthBytes * sb.bmHeight),
              std::vector<uint8_t>(original, original + sa.bmWidthBytes * sa.bmHeight));
    DeleteObject(a);
    DeleteObject(b);
}

TEST_F(GalleryTest, EscapeTheCloseBoxAndQuitEachEndTheRunWithZero) {
    struct Case {
        const char* name;
        std::function<void()> end;
    };
    const std::vector<Case> cases = {
        {"Escape", [] { headless::TapKey(VK_ESCAPE); }},
        {"the close box", [] { headless::CloseWindow(Hwnd()); }},
        {"Gallery > Quit", [] { Pick(kGalleryTitle, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProcessState();
        steps = {[] { PressButton(2); }, c.end};
        EXPECT_EQ(Run(), 0);
        EXPECT_TRUE(headless::TopLevelWindows().empty());
        EXPECT_EQ(appGlobals.windowRegistryCapacity, 0);
    }
}

TEST_F(GalleryTest, WithoutItsMediaItSaysWhyAndEndsWithOne) {
    IoTempDir empty;
    ASSERT_EQ(chdir(empty.Path().c_str()), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 1);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("ondrel-gallery: cannot read"), std::string::npos) << said;
    EXPECT_NE(said.find("Sprites.bmp"), std::string::npos) << said;
    EXPECT_TRUE(headless::TopLevelWindows().empty());
    ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
}

}  // namespace
