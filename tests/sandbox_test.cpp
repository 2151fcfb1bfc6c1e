// ondrel-sandbox driven as a user drives it, on the headless display driver: the tools change the
// scene as drawn by hand below, time runs, pauses and steps, undo and redo give back every scene
// exactly, scenes go to files and come back exactly, and files that are not scenes are refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <cctype>
#include <string>
#include <vector>

#include "app/globals.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "sandbox/controls.h"
#include "sandbox/history.h"
#include "sandbox/sandbox.h"
#include "sandbox/sandbox_window.h"
#include "sandbox/scene.h"
#include "sandbox/scene_file.h"
#include "tests/support/app_fixture.h"
#include "tests/support/gif_file.h"
#include "tests/support/image_bmp_builder.h"
#include "tests/support/io_temp_dir.h"
#include "tests/support/water_reference.h"
#include "tests/support/window_view.h"

namespace {

using sandbox::Command;
using sandbox::SandboxWindow;
using sandbox::SceneState;
using viewtest::kBar;
using viewtest::ItemMiddle;

// The scene's colours: 15 empty, 1 water, 0 wall.
constexpr uint8_t E = 15, W = 1, X = 0;
// Menu titles as drawn: 6 pixels a character with 6 on either side: "File" 0, "Edit" 36,
// "Tools" 72, "Time" 114.
constexpr int kTitleLeft[] = {0, 36, 72, 114};
// The push buttons, 72 wide and 79 apart from x 7, on client rows 512 to 537: the tools (Wall,
// Eraser, Line, Water, Tap, Fill), Run/Pause and Undo. The middle of the one at `place`.
int ButtonX(int place) { return 7 + 79 * place + 36; }
constexpr int kButtonY = kBar + 512 + 13;

HWND Hwnd() { return headless::TopLevelWindows().front(); }

// The sandbox's window; a step that looks for it after it has gone ends the test program.
SandboxWindow& Sandbox() {
    for (int i = 0; i < appGlobals.windowRegistryCapacity; ++i)
        if (appGlobals.windowRegistry[i]) return *static_cast<SandboxWindow*>(appGlobals.windowRegistry[i]);
    std::abort();
}

uint8_t Cell(int x, int y) { return appGlobals.sceneSurface->pixels[y * 640 + x]; }

std::vector<uint8_t> Pixels() { return std::vector<uint8_t>(appGlobals.sceneSurface->pixels, appGlobals.sceneSurface->pixels + 640 * 480); }

struct Span {
    int x0, x1, y;
    bool operator==(const Span&) const = default;
};
void PrintTo(const Span& s, std::ostream* out) { *out << s.x0 << ".." << s.x1 << "@" << s.y; }
std::vector<Span> Spans() {
    std::vector<Span> spans;
    for (int i = 0; i < appGlobals.waterSpans.count; ++i) {
        const WaterSpan& s = appGlobals.waterSpans.spans[i];
        spans.push_back({s.x0, s.x1, s.y});
    }
    return spans;
}

// The cells of one colour in the rectangle, as (x, y) pairs, row by row.
std::vector<std::pair<int, int>> CellsOf(uint8_t colour, int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> cells;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (Cell(x, y) == colour) cells.emplace_back(x, y);
    return cells;
}
int CountOf(uint8_t colour) { return static_cast<int>(CellsOf(colour, 0, 0, 639, 479).size()); }

// Input as a user makes it, in client pixels of the scene (the menu bar lies above).
void MoveTo(int x, int y) { headless::MoveMouse(Hwnd(), x, y + kBar); }
void Press(int x, int y) {
    MoveTo(x, y);
    headless::PressLeft(Hwnd(), x, y + kBar);
}
void Release(int x, int y) {
    MoveTo(x, y);
    headless::ReleaseLeft(Hwnd(), x, y + kBar);
}
void ClickScene(int x, int y) {
    Press(x, y);
    Release(x, y);
}
void Pick(Command command) {
    const sandbox::MenuPlace at = sandbox::PlaceOf(command);
    viewtest::Click(Hwnd(), kTitleLeft[at.menu] + 12, kBar / 2);
    viewtest::Click(Hwnd(), kTitleLeft[at.menu] + 30, ItemMiddle(at.item));
}
// Control held and the key pressed; Run lets Control go before the next step, once the key's
// message has been handled (the program reads Control's state when it does).
void Control(int key) {
    headless::KeyDown(VK_CONTROL);
    headless::TapKey(key);
}
// The window's brush to `size` with the ']' and '[' keys.
void BrushTo(int size) {
    for (int now = Sandbox().brush; now < size; ++now) headless::TapKey(VK_OEM_6);
    for (int now = Sandbox().brush; now > size; --now) headless::TapKey(VK_OEM_4);
}

// --- What the window says, read off its pixels ---------------------------------------------

// The text drawn in the sandbox's 8 × 12 font on a plain background at (x, y) of an image, `cells`
// characters long, as a reader sees it: each cell's ink matched against the font's glyphs (no
// ink: a space; ink of no glyph: '?'); trailing spaces dropped.
std::string ReadText(const headless::Image& image, int x, int y, int cells) {
    static const BitmapFont font(8, 12, sandbox::kFontFile);
    const uint32_t paper = image.At(x > 0 ? x - 1 : x, y);
    std::string text;
    for (int c = 0; c < cells && x + 8 * c + 8 <= image.width; ++c) {
        std::vector<bool> ink;
        for (int j = 0; j < 12; ++j)
            for (int k = 0; k < 8; ++k) ink.push_back(image.At(x + 8 * c + k, y + j) != paper);
        char seen = std::find(ink.begin(), ink.end(), true) == ink.end() ? ' ' : '?';
        for (int g = 0; seen == '?' && g < BitmapFont::kGlyphCount; ++g) {
            bool same = true;
            for (int j = 0; same && j < 12; ++j)
                for (int k = 0; same && k < 8; ++k)
                    same = ink[static_cast<size_t>(j * 8 + k)] ==
                           (font.glyphs[j * BitmapFont::kGlyphCount * 8 + g * 8 + k] != 0);
            if (same) seen = BitmapFont::kGlyphCharacters[g];
        }
        text += seen;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}
// The status line's rows as the window shows them: the counters, and the tool with its message.
std::string StatusRow(int row) { return ReadText(headless::ReadWindow(Hwnd()), 4, kBar + 480 + 1 + 13 * row, 79); }

// An 8-bit bitmap of black (index 0) and white (index 1), `white` saying which, row by row from
// the top, written bottom-up as a paint program writes one.
std::vector<uint8_t> BlackAndWhite(int width, int height, const std::vector<bool>& white) {
    BmpFile bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.coloursUsed = 2;
    std::vector<uint8_t> f = bmp.Build();
    for (int i = 0; i < 3; ++i) f[54 + i] = 0, f[58 + i] = 255;
    const size_t stride = static_cast<size_t>(width + 3) / 4 * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f[62 + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x)] = white[static_cast<size_t>(y * width + x)];
    return f;
}

class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        // The sandbox reads its media from the folder it runs in, and keeps its scenes in
        // $XDG_DATA_HOME/ondrel/scenes: here, a fresh folder of the test's.
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
        const char* old = std::getenv("XDG_DATA_HOME");
        hadData = old != nullptr;
        if (old) oldData = old;
        setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        scenes = data.File("ondrel/scenes");
    }
    void TearDown() override {
        ResetProcessState();
        if (hadData) setenv("XDG_DATA_HOME", oldData.c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
    }

    // Runs the sandbox, paused before its first idle turn, with step i before idle turn
    // 3 × (i + 1), so every step's input has been dispatched and two frames made when the next
    // looks. A Control key a step held is let go before the next. A run still going after the
    // last step ends with Escape.
    int Run() {
        headless::SetBeforeIdleHook([&](int turn) {
            if (turn == 1) headless::TapKey(VK_SPACE);
            size_t step = static_cast<size_t>(turn / 3);
            if (turn % 3 != 0 || step == 0) return;
            if (GetAsyncKeyState(VK_CONTROL) & 0x8000) headless::KeyUp(VK_CONTROL);
            if (step <= steps.size()) steps[step - 1]();
            else if (step == steps.size() + 1) headless::TapKey(VK_ESCAPE);
            else PostQuitMessage(-1);
        });
        char commandLine[] = "";
        return sandbox::SandboxMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), commandLine);
    }

    IoTempDir data;
    std::string scenes;
    bool hadData = false;
    std::string oldData;
    std::vector<std::function<void()>> steps;
};

bool Same(const SceneState& a, const SceneState& b) {
    return a.pixels == b.pixels && sandbox::SameSpans(a.spans, b.spans) && a.taps == b.taps && a.step == b.step;
}
SceneState Now() { return Sandbox().TheScene().Save(); }

// The round brush of each size, clicked at (100, 100) with the wall tool: the cells drawn by hand.
// Size s covers columns and rows 100 − s/2 .. 100 − s/2 + s − 1, less the cells whose centres lie
// outside the circle of diameter s: none for 1 to 3, the four corners for 4 and 5.
TEST_F(SandboxTest, TheWallBrushDrawsARoundStampOfEachSize) {
    struct Case {
        int size;
        int first, last;  // the stamp's columns, and rows
        int cells;        // 0: not counted here
    };
    const std::vector<Case> cases = {{1, 100, 100, 1}, {2, 99, 100, 4}, {3, 99, 101, 9}, {4, 98, 101, 12}, {5, 98, 102, 21},
                                     {32, 84, 115, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        ResetProcessState();
        std::filesystem::remove(scenes + "/autosave.bmp");  // each case starts on an empty scene
        steps.clear();
        std::vector<std::pair<int, int>> walls;
        int drawn = 0;
        uint8_t corner = 99;
        int middleRow = 0;
        steps = {[] { headless::TapKey('B'); }, [&] { BrushTo(c.size); }, [] { ClickScene(100, 100); },
                 [&] {
                     walls = CellsOf(X, 0, 0, 639, 479);
                     drawn = Sandbox().brush;
                     corner = Cell(84, 84);
                     middleRow = static_cast<int>(CellsOf(X, 0, 100, 639, 100).size());
                 }};
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(drawn, c.size);
        ASSERT_FALSE(walls.empty());
        EXPECT_EQ(walls.front().second, c.first) << "top row";
        EXPECT_EQ(walls.back().second, c.last) << "bottom row";
        int minX = 999, maxX = -1;
        for (auto [x, y] : walls) {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
        }
        EXPECT_EQ(minX, c.first);
        EXPECT_EQ(maxX, c.last);
        if (c.cells) {
            EXPECT_EQ(static_cast<int>(walls.size()), c.cells);
        }
        if (c.size == 32) {  // a disc: its corner cell stays empty, its middle row is whole
            EXPECT_EQ(corner, E);
            EXPECT_EQ(middleRow, 32);
        }
    }
}

TEST_F(SandboxTest, TheBrushSizeStaysWithinOneToThirtyTwo) {
    std::vector<int> sizes;
    auto look = [&] { sizes.push_back(Sandbox().brush); };
    steps = {[] { for (int i = 0; i < 10; ++i) headless::TapKey(VK_OEM_4); }, look,
             [] { for (int i = 0; i < 40; ++i) headless::TapKey(VK_PRIOR); }, look,
             [] { Pick(Command::Smaller); }, look};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(sizes, (std::vector<int>{1, 32, 31}));
}

// The brush size through the user's own input: ']' and '[' (VK_OEM_6 and VK_OEM_4) a size a
// press; the wheel a size a notch of 120, away from the user bigger, wherever the pointer is; a
// fine wheel's turns of 40 add up to a notch.
TEST_F(SandboxTest, TheBracketKeysAndTheWheelChangeTheBrushSize) {
    std::vector<int> sizes;
    auto look = [&] { sizes.push_back(Sandbox().brush); };
    steps = {[] { BrushTo(5); }, look,
             [] { headless::TapKey(VK_OEM_6); }, look,
             [] { headless::TapKey(VK_OEM_4); headless::TapKey(VK_OEM_4); }, look,
             [] { headless::TurnWheel(Hwnd(), 120, 300, 200); }, look,
             [] { headless::TurnWheel(Hwnd(), 3 * 120, 10, 300); }, look,
             [] { headless::TurnWheel(Hwnd(), -2 * 120, 600, 50); }, look,
             [] { headless::TurnWheel(Hwnd(), 40, 300, 200); headless::TurnWheel(Hwnd(), 40, 300, 200); }, look,
             [] { headless::TurnWheel(Hwnd(), 40, 300, 200); }, look,
             [] { headless::TurnWheel(Hwnd(), -40 * 120, 300, 200); }, look};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(sizes, (std::vector<int>{5, 6, 4, 5, 8, 6, 6, 7, 1}));
}

// A stroke of size 1 from (10, 20) over (12, 20) to (14, 20) walls cells 10 to 14 of row 20. The
// eraser of size 3 clicked at (12, 20) empties 11 to 13. Of two taps, (50, 50) and (60, 50), the
// eraser clicked at (50, 51) removes the first.
TEST_F(SandboxTest, WallStrokesAndTheEraserEditWallsAndTaps) {
    std::vector<std::pair<int, int>> afterStroke, afterErase;
    std::vector<sandbox::Tap> tapsBefore, tapsAfter;
    steps = {[] { BrushTo(1); },
             [] {
                 Press(10, 20);
                 MoveTo(12, 20);
                 MoveTo(14, 20);
                 Release(14, 20);
             },
             [&] { afterStroke = CellsOf(X, 0, 0, 639, 479); },
             [] { viewtest::Click(Hwnd(), ButtonX(4), kButtonY); },  // the Tap button
             [] { ClickScene(50, 50); }, [] { ClickScene(60, 50); },
             [&] { tapsBefore = Sandbox().TheScene().Taps(); },
             [] {
                 headless::TapKey('E');
                 BrushTo(3);
             },
             [] { ClickScene(12, 20); }, [] { ClickScene(50, 51); },
             [&] {
                 afterErase = CellsOf(X, 0, 0, 639, 479);
                 tapsAfter = Sandbox().TheScene().Taps();
             }};
    EXPECT_EQ(Run(), 0);
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(afterStroke, (P{{10, 20}, {11, 20}, {12, 20}, {13, 20}, {14, 20}}));
    EXPECT_EQ(afterErase, (P{{10, 20}, {14, 20}}));
    EXPECT_EQ(tapsBefore, (std::vector<sandbox::Tap>{{50, 50}, {60, 50}}));
    EXPECT_EQ(tapsAfter, (std::vector<sandbox::Tap>{{60, 50}}));
}

// A wall drawn across a span of water takes the covered cells out of it: the span 45 .. 55 on
// row 60 (a tap's, after ten steps) cut by a size-1 stroke down column 50 leaves 45 .. 49 and
// 51 .. 55, and the wall stays when the water moves on.
TEST_F(SandboxTest, AWallDrawnOverWaterCutsItsSpans) {
    std::vector<Span> cut;
    uint8_t wallAfterSteps = 99;
    steps = {[] { headless::TapKey('T'); }, [] { ClickScene(50, 50); },
             [] { for (int i = 0; i < 10; ++i) headless::TapKey('N'); },
             [] { headless::TapKey('T'); }, [] { headless::TapKey('E'); }, [] { headless::TapKey('B'); }, [] { BrushTo(1); },
             [] {
                 Press(50, 60);
                 Release(50, 60);
             },
             [&] {
                 for (Span s : Spans())
                     if (s.y == 60) cut.push_back(s);
             },
             [] { headless::TapKey('N'); }, [&] { wallAfterSteps = Cell(50, 60); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(cut, (std::vector<Span>{{45, 49, 60}, {51, 55, 60}}));
    EXPECT_EQ(wallAfterSteps, X);
}

// Press at (100, 200), drag over (200, 250), release at (300, 200): the size-1 straight wall is
// row 200 from 100 to 300 (201 cells), and nothing is drawn before the release.
TEST_F(SandboxTest, TheStraightWallIsDrawnFromPressToRelease) {
    int duringDrag = -1;
    std::vector<std::pair<int, int>> walls;
    steps = {[] {
                 headless::TapKey('L');
                 BrushTo(1);
             },
             [] {
                 Press(100, 200);
                 MoveTo(200, 250);
             },
             [&] { duringDrag = CountOf(X); }, [] { Release(300, 200); }, [&] { walls = CellsOf(X, 0, 0, 639, 479); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(duringDrag, 0);
    ASSERT_EQ(walls.size(), 201u);
    EXPECT_EQ(walls.front(), std::make_pair(100, 200));
    EXPECT_EQ(walls.back(), std::make_pair(300, 200));
}

// The water brush of size 11 held at (320, 100) pours 315 .. 325 on row 100 at a step; the step
// moves it down to row 101, where it shows. Released, it pours no more: the next step only moves
// the span to row 102.
TEST_F(SandboxTest, TheWaterBrushPoursItsWidthEveryStepWhileHeld) {
    std::vector<Span> held, released;
    int heldCells = 0;
    steps = {[] {
                 headless::TapKey('W');
                 BrushTo(11);
             },
             [] { Press(320, 100); }, [] { headless::TapKey('N'); },
             [&] {
                 held = Spans();
                 heldCells = static_cast<int>(CellsOf(W, 315, 101, 325, 101).size());
             },
             [] { Release(320, 100); }, [] { headless::TapKey('N'); }, [&] { released = Spans(); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(held, (std::vector<Span>{{315, 325, 101}}));
    EXPECT_EQ(heldCells, 11);
    EXPECT_EQ(released, (std::vector<Span>{{315, 325, 102}}));
}

// A tap at (50, 50) pours 45 .. 55 on row 50 at every step: after two steps the first span has
// fallen to row 52, the second to row 51: 22 water cells.
TEST_F(SandboxTest, ATapPoursElevenCellsEveryStep) {
    std::vector<Span> spans;
    int water = 0;
    steps = {[] { headless::TapKey('T'); }, [] { ClickScene(50, 50); }, [] { headless::TapKey('N'); },
             [] { headless::TapKey('N'); },
             [&] {
                 spans = Spans();
                 water = CountOf(W);
             }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(spans, (std::vector<Span>{{45, 55, 51}, {45, 55, 52}}));
    EXPECT_EQ(water, 22);
}

// A cup of size-1 straight walls: its floor row 300 from 100 to 200, its sides columns 100 and 200
// from row 250. Fill clicked inside at (150, 260) makes water at rest up to row 260: one span of
// 101 .. 199 for each row 260 to 299, top first, 40 × 99 cells, which steps leave as they are.
// Clicked outside the cup, the region runs down to the scene's bottom row: refused, nothing
// changes; clicked on the wall: refused.
TEST_F(SandboxTest, FillMakesWaterAtRestAndRefusesAnOpenRegion) {
    std::vector<Span> filled, afterSteps;
    int water = 0;
    std::vector<uint8_t> before, afterOpen;
    std::string openSaid, wallSaid;
    size_t levels = 0;
    steps = {[] {
                 headless::TapKey('L');
                 BrushTo(1);
             },
             [] {
                 Press(100, 300);
                 Release(200, 300);
             },
             [] {
                 Press(100, 250);
                 Release(100, 300);
             },
             [] {
                 Press(200, 250);
                 Release(200, 300);
             },
             [] { headless::TapKey('F'); }, [] { ClickScene(150, 260); },
             [&] {
                 filled = Spans();
                 water = CountOf(W);
             },
             [] { for (int i = 0; i < 5; ++i) headless::TapKey('N'); }, [&] { afterSteps = Spans(); },
             [&] {
                 before = Pixels();
                 levels = Sandbox().UndoHistory().UndoLevels();
                 ClickScene(400, 100);
             },
             [&] {
                 afterOpen = Pixels();
                 openSaid = Sandbox().Status();
                 ClickScene(100, 280);
             },
             [&] {
                 wallSaid = Sandbox().Status();
                 EXPECT_EQ(Sandbox().UndoHistory().UndoLevels(), levels) << "a refused fill is no edit";
             }};
    EXPECT_EQ(Run(), 0);
    std::vector<Span> expected;
    for (int y = 260; y <= 299; ++y) expected.push_back({101, 199, y});
    EXPECT_EQ(filled, expected);
    EXPECT_EQ(water, 40 * 99);
    EXPECT_EQ(afterSteps, expected);
    EXPECT_TRUE(afterOpen == before);
    EXPECT_NE(openSaid.find("open to the bottom"), std::string::npos) << openSaid;
    EXPECT_NE(wallSaid.find("empty cell"), std::string::npos) << wallSaid;
}

// Paused, the step number stands still and N adds one; running, each idle turn adds the speed:
// 3 turns between two looks. Keypad plus doubles the speed up to 16, minus halves it down to 1.
TEST_F(SandboxTest, PauseStepAndSpeed) {
    std::vector<uint32_t> at;
    std::vector<int> speeds;
    auto look = [&] {
        at.push_back(Sandbox().TheScene().StepNumber());
        speeds.push_back(Sandbox().speed);
    };
    steps = {look, look, [] { headless::TapKey('N'); }, look,
             [] { headless::TapKey(VK_SPACE); }, look, look,
             [] { for (int i = 0; i < 2; ++i) headless::TapKey(VK_ADD); }, look, look,
             [] { for (int i = 0; i < 9; ++i) headless::TapKey(VK_ADD); }, look, look,
             [] { for (int i = 0; i < 9; ++i) headless::TapKey(VK_SUBTRACT); }, look, look};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(at.size(), 11u);
    std::vector<uint32_t> gaps;
    for (size_t i = 1; i < at.size(); ++i) gaps.push_back(at[i] - at[i - 1]);
    // Three idle turns from look to look; a key pressed between two looks acts from the fourth
    // turn on. Paused: 0; N: 1; space: 0 + 3 × 1; 3 × 1; plus twice: 3 × 1 + 3 × 4; 3 × 4; plus
    // up to 16: 3 × 4 + 3 × 16; 3 × 16; minus down to 1: 3 × 16 + 3 × 1; 3 × 1.
    EXPECT_EQ(gaps, (std::vector<uint32_t>{0, 1, 3, 3, 15, 12, 60, 48, 51, 3}));
    EXPECT_EQ(speeds, (std::vector<int>{1, 1, 1, 1, 1, 4, 4, 16, 16, 1, 1}));
}

// Four edits of every kind, with steps between: the scene before each is kept. Undo (Ctrl+Z, the
// Edit menu, the Undo button) gives them back newest first, byte for byte with spans, active marks,
// taps and the step number; redo (Ctrl+Y, the menu) goes forward to each scene undone.
TEST_F(SandboxTest, UndoAndRedoGiveBackEveryScene) {
    std::vector<SceneState> kept, undone, redone;
    auto keep = [&](std::vector<SceneState>& into) { return [&into] { into.push_back(Now()); }; };
    auto n = [](int count) { return [count] { for (int i = 0; i < count; ++i) headless::TapKey('N'); }; };
    steps = {keep(kept),
             [] {
                 Press(100, 300);
                 MoveTo(300, 320);
                 Release(500, 300);
             },
             n(3), keep(kept),
             [] { headless::TapKey('T'); }, [] { ClickScene(300, 10); }, n(40), keep(kept),
             [] { headless::TapKey('W'); }, [] { Press(400, 50); }, n(2), [] { Release(400, 50); }, n(1), keep(kept),
             [] { headless::TapKey('E'); }, [] { BrushTo(20); },
             [] {
                 Press(290, 290);
                 MoveTo(310, 305);
                 Release(330, 300);
             },
             n(2), keep(kept),
             [] { Control('Z'); }, keep(undone), [] { Pick(Command::Undo); }, keep(undone),
             [] { viewtest::Click(Hwnd(), ButtonX(7), kButtonY); }, keep(undone),
             [] { Control('Z'); }, keep(undone), [] { Control('Z'); }, keep(undone),
             [] { Control('Y'); }, keep(redone), [] { Pick(Command::Redo); }, keep(redone),
             [] { Control('Y'); }, keep(redone), [] { Control('Y'); }, keep(redone), [] { Control('Y'); }, keep(redone)};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(kept.size(), 5u);
    ASSERT_EQ(undone.size(), 5u);
    ASSERT_EQ(redone.size(), 5u);
    // The edits changed the scene, and water moved between them.
    for (size_t i = 1; i < kept.size(); ++i) EXPECT_FALSE(Same(kept[i], kept[i - 1])) << i;
    EXPECT_FALSE(kept[3].spans.empty());
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(Same(undone[i], kept[3 - i])) << "undo " << i + 1;
    EXPECT_TRUE(Same(undone[4], kept[0])) << "a fifth undo has nothing to undo";
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(Same(redone[i], kept[i + 1])) << "redo " << i + 1;
    EXPECT_TRUE(Same(redone[4], kept[4])) << "a fifth redo has nothing to redo";
}

TEST(SandboxHistory, KeepsTheNewestSixtyFourLevels) {
    sandbox::History history;
    SceneState s;
    s.pixels.assign(640 * 480, E);
    for (uint32_t i = 0; i < 70; ++i) {
        s.step = i;
        s.pixels[i] = X;
        history.BeforeEdit(s);
    }
    EXPECT_EQ(history.UndoLevels(), 64u);
    SceneState now = s;
    for (uint32_t i = 69; i >= 6; --i) {
        ASSERT_TRUE(history.Undo(&now));
        EXPECT_EQ(now.step, i);
        EXPECT_EQ(now.pixels[i], X);
        EXPECT_EQ(now.pixels[i + 1], E);
    }
    EXPECT_FALSE(history.Undo(&now));
}

// The scene's model without a window, on the display format and palette the program sets.
class SandboxSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
        SetDisplayFormat(640, 480, 8);
        ASSERT_TRUE(LoadPaletteFromBmp(sandbox::kSheetFile));
    }
    void TearDown() override { SetDisplayFormat(0, 0, 0); }
    IoTempDir folder;
};

// A busy scene: a tilted floor with a wall on it, a pool that fills and spreads, three taps.
void BuildBusyScene(sandbox::Scene& scene) {
    scene.Stroke(100, 400, 540, 380, 3, X);
    scene.Stroke(300, 300, 300, 395, 5, X);
    scene.Stroke(100, 330, 100, 400, 3, X);
    std::string why;
    for (auto [x, y] : {std::pair{200, 20}, {420, 5}, {310, 100}}) EXPECT_TRUE(scene.AddTap(x, y, &why)) << why;
}

SceneState RunOn(sandbox::Scene& scene, int steps) {
    for (int i = 0; i < steps; ++i) scene.Step();
    return scene.Save();
}

TEST_F(SandboxSceneTest, ASavedSceneRunsOnAsIfItHadNeverBeenSaved) {
    const std::string file = folder.File("at-k.bmp");
    SceneState uninterrupted;
    {
        sandbox::Scene scene;
        BuildBusyScene(scene);
        RunOn(scene, 300);
        std::string why;
        ASSERT_TRUE(sandbox::SaveSceneFile(file, scene.Save(), &why)) << why;
        uninterrupted = RunOn(scene, 400);
    }
    EXPECT_GT(uninterrupted.spans.size(), 100u) << "not busy enough to tell";
    SceneState resumed;
    {
        sandbox::Scene scene;  // a fresh list and scene, as in a new process
        SceneState loaded;
        std::string why;
        ASSERT_TRUE(sandbox::LoadSceneFile(file, &loaded, &why)) << why;
        EXPECT_EQ(loaded.step, 300u);
        ASSERT_TRUE(scene.Restore(loaded));
        resumed = RunOn(scene, 400);
    }
    EXPECT_TRUE(resumed.pixels == uninterrupted.pixels);
    EXPECT_TRUE(sandbox::SameSpans(resumed.spans, uninterrupted.spans));
    EXPECT_EQ(resumed.step, 700u);
}

// The batch mode, in steps or at once, writes the same file.
TEST_F(SandboxSceneTest, TheBatchModeRunInTwoPartsWritesTheSameSceneAsInOne) {
    const std::string whole = folder.File("whole.bmp"), half = folder.File("half.bmp"), rest = folder.File("rest.bmp");
    EXPECT_EQ(sandbox::RunBatch({"--run", "500", "--tap", "320,10", "--tap", "100,200", "--save", whole}), 0);
    EXPECT_EQ(sandbox::RunBatch({"--run", "200", "--tap", "320,10", "--tap", "100,200", "--save", half}), 0);
    EXPECT_EQ(sandbox::RunBatch({"--run", "300", "--scene", half, "--save", rest}), 0);
    std::vector<uint8_t> a = ReadBytes(whole), b = ReadBytes(rest);
    EXPECT_GT(a.size(), 308278u + 24u + 16u + 4u);
    EXPECT_TRUE(a == b);
}

// The batch mode's recording: a step is 20 ms, so each of the 10 steps is a frame of 2 cs after
// the scene as it started, and the last frame is the scene the run ends on.
TEST_F(SandboxSceneTest, TheBatchRecordingShowsEveryStepForTwentyMilliseconds) {
    const std::string gifName = folder.File("run.gif"), sceneName = folder.File("run.bmp");
    ASSERT_EQ(sandbox::RunBatch({"--run", "10", "--tap", "320,10", "--gif", gifName, "--save", sceneName}), 0);
    giftest::File gif;
    std::string why;
    ASSERT_TRUE(giftest::Read(ReadBytes(gifName), &gif, &why)) << why;
    EXPECT_EQ(gif.Delays(), std::vector<int>(11, 2));
    // The scene file's pixels: 640 × 480 indices after 1078 bytes of headers, bottom row first.
    const std::vector<uint8_t> scene = ReadBytes(sceneName);
    ASSERT_GE(scene.size(), 1078u + 640u * 480u);
    std::vector<uint8_t> last(640 * 480);
    for (int y = 0; y < 480; ++y)
        std::copy_n(scene.begin() + 1078 + (479 - y) * 640, 640, last.begin() + y * 640);
    ASSERT_FALSE(gif.images.empty());
    EXPECT_TRUE(gif.Shown().back() == last);
    EXPECT_NE(std::count(last.begin(), last.end(), W), 0) << "no water to see";
}

// The batch run tests/sandbox_batch_test.sh makes (the basin picture as walls, four taps, 400
// steps), held to the rules written out here: the picture's light colours (brightness 0.299 R +
// 0.587 G + 0.114 B of at least 128 by its own colour table) are empty and the rest wall; every
// step each tap in its order pours onto those of the 11 cells x − 5 .. x + 5 of its row that are
// empty, a span for each run of them, which shows as water at once; then the literal water step
// (tests/support/water_reference) runs; then every cell of the picture's walls that the step
// painted is a wall again, and its water leaves its span (the span keeps the pieces left and
// right of it, in its place, the left one first). The file written is read here by its layout:
// the pixels bottom row first after the 1078 bytes of headers and colour table, then "OndrelSn",
// version 1, the step, the tap and span counts, the taps and the spans (x0, x1, y, active).
TEST_F(SandboxSceneTest, TheBatchRunGivesTheSceneTheWrittenRulesGive) {
    constexpr int kSteps = 400;
    const std::vector<std::pair<int, int>> taps = {{320, 10}, {100, 200}, {500, 50}, {200, 100}};
    const std::string basin = std::string(ONDREL_TEST_DATA) + "/../golden/basin.bmp";
    const std::string out = folder.File("scene.bmp");
    std::vector<std::string> words = {"--run", std::to_string(kSteps), "--scene", basin, "--save", out};
    for (auto [x, y] : taps) words.insert(words.end(), {"--tap", std::to_string(x) + "," + std::to_string(y)});
    ASSERT_EQ(sandbox::RunBatch(words), 0);

    auto u32 = [](const std::vector<uint8_t>& b, size_t at) {
        return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
    };
    // The rules' scene: walls from the picture, then the taps and the literal step.
    const std::vector<uint8_t> picture = ReadBytes(basin);
    ASSERT_EQ(picture.size(), 1078u + 640u * 480u);
    Surface expected(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t* bgr = &picture[54 + 4 * picture[1078 + static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)]];
            expected.pixels[y * 640 + x] = 299 * bgr[2] + 587 * bgr[1] + 114 * bgr[0] >= 128000 ? E : X;
        }
    const std::vector<uint8_t> walls(expected.pixels, expected.pixels + 640 * 480);
    ReferenceWater water(&expected, 480);
    for (int i = 0; i < kSteps; ++i) {
        for (auto [x, y] : taps)
            for (int a = x - 5; a <= x + 5; ++a) {
                if (expected.pixels[y * 640 + a] != E) continue;
                int b = a;
                while (b < x + 5 && expected.pixels[y * 640 + b + 1] == E) ++b;
                water.Pour(a, b, y);
                for (int c = a; c <= b; ++c) expected.pixels[y * 640 + c] = W;
                a = b;
            }
        water.Step();
        for (int c = 0; c < 640 * 480; ++c)
            if (walls[c] == X) expected.pixels[c] = X;
        std::vector<WaterSpan> kept;
        for (const WaterSpan& s : water.spans) {
            int start = s.x0;
            for (int c = s.x0; c <= s.x1 + 1; ++c) {
                if (c <= s.x1 && walls[s.y * 640 + c] != X) continue;
                if (c > start) kept.push_back(WaterSpan{start, c - 1, s.y, s.active});
                start = c + 1;
            }
        }
        water.spans = kept;
    }

    const std::vector<uint8_t> file = ReadBytes(out);
    const size_t record = 1078 + 640 * 480;
    ASSERT_GE(file.size(), record + 24 + 4);
    EXPECT_EQ(std::string(file.begin() + record, file.begin() + record + 8), "OndrelSn");
    EXPECT_EQ(u32(file, record + 8), 1u);
    EXPECT_EQ(u32(file, record + 12), static_cast<uint32_t>(kSteps));
    const size_t tapCount = u32(file, record + 16), spanCount = u32(file, record + 20);
    ASSERT_EQ(file.size(), record + 24 + 8 * tapCount + 13 * spanCount + 4);
    int differ = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            differ += file[1078 + static_cast<size_t>(479 - y) * 640 + static_cast<size_t>(x)] != expected.pixels[y * 640 + x];
    EXPECT_EQ(differ, 0) << "cells differ from the rules' scene";
    std::vector<std::pair<int, int>> savedTaps;
    for (size_t i = 0, at = record + 24; i < tapCount; ++i, at += 8)
        savedTaps.emplace_back(static_cast<int32_t>(u32(file, at)), static_cast<int32_t>(u32(file, at + 4)));
    EXPECT_EQ(savedTaps, taps);
    std::vector<Span> saved, rules;
    for (size_t i = 0, at = record + 24 + 8 * tapCount; i < spanCount; ++i, at += 13)
        saved.push_back({static_cast<int32_t>(u32(file, at)), static_cast<int32_t>(u32(file, at + 4)),
                         static_cast<int32_t>(u32(file, at + 8))});
    for (const WaterSpan& s : water.spans) rules.push_back({s.x0, s.x1, s.y});
    EXPECT_GT(rules.size(), 50u) << "too little water to tell";
    EXPECT_EQ(saved, rules);
    std::vector<int> savedActive, rulesActive;
    for (size_t i = 0, at = record + 24 + 8 * tapCount; i < spanCount; ++i, at += 13) savedActive.push_back(file[at + 12]);
    for (const WaterSpan& s : water.spans) rulesActive.push_back(s.active);
    EXPECT_EQ(savedActive, rulesActive);
}

TEST_F(SandboxSceneTest, TheBatchModeRefusesBadArgumentsAndFilesWithTwo) {
    const std::string foreign = folder.File("text.bmp");
    WriteBytes(foreign, Bytes("not a picture"));
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--run"},
        {"--run", "-1"},
        {"--run", "ten"},
        {"--tap", "1,1"},
        {"--run", "5", "--tap", "640,3"},
        {"--run", "5", "--tap", "3"},
        {"--run", "5", "--bogus", "x"},
        {"--run", "5", "--scene", folder.File("missing.bmp")},
        {"--run", "5", "--scene", foreign},
        {"--run", "5", "--save", folder.File("no/such/folder.bmp")},
        {"--run", "5", "--scene", folder.File("walled.bmp"), "--tap", "10,10"},
    };
    WriteBytes(folder.File("walled.bmp"), BlackAndWhite(640, 480, std::vector<bool>(640 * 480, false)));
    for (const auto& words : bad) {
        std::string line;
        for (const auto& w : words) line += w + " ";
        EXPECT_EQ(sandbox::RunBatch(words), 2) << line;
    }
}

// A picture drawn elsewhere, 2 × 2 with a colour table of its own: white and a light yellow
// (255, 255, 128: brightness 240) are light, dark red (128, 0, 0: 38) and grey (100, 100, 100:
// 100) are dark. Imported, each pixel becomes a quarter of the scene: empty where light, wall
// where dark, and nothing else.
TEST_F(SandboxSceneTest, AForeignBitmapImportsAsWallsByItsOwnColours) {
    BmpFile bmp;
    bmp.width = 2;
    bmp.height = 2;
    bmp.coloursUsed = 4;
    std::vector<uint8_t> f = bmp.Build();
    const uint8_t table[4][3] = {{255, 255, 255}, {128, 0, 0}, {255, 255, 128}, {100, 100, 100}};
    for (int i = 0; i < 4; ++i) {
        f[54 + 4 * i] = table[i][2];
        f[54 + 4 * i + 1] = table[i][1];
        f[54 + 4 * i + 2] = table[i][0];
    }
    // Rows bottom-up, 4 bytes each: the bottom row is grey, white; the top row dark red, yellow.
    const size_t rows = 54 + 16;
    f[rows] = 3, f[rows + 1] = 0, f[rows + 4] = 1, f[rows + 5] = 2;
    const std::string in = folder.File("level.bmp"), out = folder.File("scene.bmp");
    WriteBytes(in, f);
    ASSERT_EQ(sandbox::RunBatch({"--run", "0", "--scene", in, "--save", out}), 0);
    SceneState s;
    std::string why;
    ASSERT_TRUE(sandbox::LoadSceneFile(out, &s, &why)) << why;
    auto at = [&](int x, int y) { return s.pixels[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)]; };
    const int corners[4][2] = {{0, 0}, {319, 239}, {320, 0}, {639, 239}};
    for (auto [x, y] : corners) EXPECT_EQ(at(x, y), x < 320 ? X : E) << x << "," << y;  // top: red, yellow
    const int lower[4][2] = {{0, 240}, {319, 479}, {320, 240}, {639, 479}};
    for (auto [x, y] : lower) EXPECT_EQ(at(x, y), x < 320 ? X : E) << x << "," << y;  // bottom: grey, white
    size_t walls = 0;
    for (uint8_t p : s.pixels) {
        EXPECT_TRUE(p == X || p == E);
        walls += p == X;
    }
    EXPECT_EQ(walls, 640u * 480u / 2);
    EXPECT_TRUE(s.spans.empty());
    EXPECT_TRUE(s.taps.empty());
}

// Every kind of damage, and a foreign bitmap, are refused, and the state given is left alone.
TEST_F(SandboxSceneTest, DamagedAndForeignFilesAreRefused) {
    SceneState scene;
    scene.pixels.assign(640 * 480, E);
    scene.pixels[5] = X;
    scene.taps = {{10, 20}, {30, 40}};
    scene.spans = {{1, 5, 7, 1}, {8, 9, 7, 0}};
    scene.step = 1234;
    uint8_t palette[768];
    ASSERT_TRUE(CopyPalette(palette));
    const std::vector<uint8_t> good = sandbox::EncodeScene(scene, palette);
    ASSERT_EQ(good.size(), 308278u + 24u + 2u * 8u + 2u * 13u + 4u);
    const size_t record = 308278;
    auto put32 = [](std::vector<uint8_t>& f, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const std::vector<Case> cases = {
        {"cut short by a byte", [](auto& f) { f.pop_back(); }},
        {"a byte too many", [](auto& f) { f.push_back(0); }},
        {"cut inside the pixels", [](auto& f) { f.resize(5000); }},
        {"a pixel changed", [](auto& f) { f[2000] ^= 1; }},
        {"a span changed", [&](auto& f) { f[record + 24 + 16 + 2] ^= 1; }},
        {"taps counted 2^32 - 1", [&](auto& f) { put32(f, record + 16, 0xFFFFFFFFu); }},
        {"spans counted 2^32 - 1", [&](auto& f) { put32(f, record + 20, 0xFFFFFFFFu); }},
        {"spans counted one more", [&](auto& f) { put32(f, record + 20, 3); }},
        {"another version", [&](auto& f) { put32(f, record + 8, 2); }},
        {"no record: a plain picture", [&](auto& f) { f.resize(record); }},
        {"16 bits a pixel", [](auto& f) { f[28] = 16; }},
        {"a different width", [](auto& f) { f[18] = 0x7F; }},
        {"not a bitmap", [](auto& f) { f[0] = 'X'; }},
        {"empty", [](auto& f) { f.clear(); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> f = good;
        c.damage(f);
        SceneState kept;
        kept.step = 77;
        std::string why;
        EXPECT_FALSE(sandbox::DecodeScene(f, &kept, &why)) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
        EXPECT_EQ(kept.step, 77u) << c.what;
        EXPECT_TRUE(kept.pixels.empty()) << c.what;
    }
    // A tap outside the scene, with the check sum made right.
    std::vector<uint8_t> f = good;
    put32(f, record + 24, 640);
    uint32_t h = 2166136261u;
    for (size_t i = 0; i + 4 < f.size(); ++i) h = (h ^ f[i]) * 16777619u;
    put32(f, f.size() - 4, h);
    SceneState kept;
    std::string why;
    EXPECT_FALSE(sandbox::DecodeScene(f, &kept, &why));
    // And the good one reads back whole.
    SceneState back;
    ASSERT_TRUE(sandbox::DecodeScene(good, &back, &why)) << why;
    EXPECT_TRUE(Same(back, scene));
}

// Whether `name` is stem-1-YYYY-MM-DD.extension, the first file of its stem, named by date.
bool FirstOfItsDate(const std::string& name, const std::string& stem, const std::string& extension) {
    const std::string head = stem + "-1-", tail = "." + extension;
    if (name.size() != head.size() + 10 + tail.size() || name.rfind(head, 0) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string date = name.substr(head.size(), 10);
    for (size_t i = 0; i < date.size(); ++i)
        if (i == 4 || i == 7 ? date[i] != '-' : !std::isdigit(static_cast<unsigned char>(date[i]))) return false;
    return true;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// File > Save names the scene by number and date in the scene folder; File > Open lists it and a
// click on its thumbnail brings it back over a changed scene. A damaged file in the folder,
// clicked, is refused with the reason on the status line, and the scene stays.
TEST_F(SandboxTest, SaveOpenAndADamagedSceneThroughTheMenus) {
    SceneState saved, opened, beforeDamaged, afterDamaged;
    std::vector<std::string> names;
    std::string said;
    steps = {[] { ClickScene(100, 100); }, [] { headless::TapKey('T'); }, [] { ClickScene(200, 10); },
             [] { for (int i = 0; i < 20; ++i) headless::TapKey('N'); },
             [&] {
                 saved = Now();
                 Pick(Command::Save);
             },
             [&] { names = NamesIn(scenes); }, [] { headless::TapKey('C'); }, [] { Control('O'); },
             [] { ClickScene(80, 60); },  // the first thumbnail: the newest file
             [&] { opened = Now(); },
             [&] {
                 // A copy of the scene with one span byte changed: its check sum no longer holds.
                 std::vector<uint8_t> f = ReadBytes(scenes + "/" + names.front());
                 f[f.size() - 8] ^= 0x40;
                 const std::string damaged = scenes + "/zz-damaged.bmp";
                 WriteBytes(damaged, f);
                 std::filesystem::last_write_time(
                     damaged, std::filesystem::last_write_time(scenes + "/" + names.front()) + std::chrono::seconds(10));
                 headless::TapKey('B');
                 ClickScene(400, 400);
             },
             [&] {
                 beforeDamaged = Now();
                 Pick(Command::Open);
             },
             [] { ClickScene(80, 60); },
             [&] {
                 afterDamaged = Now();
                 said = Sandbox().Status();
             }};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(FirstOfItsDate(names[0], "scene", "bmp")) << names[0];
    EXPECT_FALSE(saved.taps.empty());
    EXPECT_TRUE(Same(opened, saved));
    EXPECT_FALSE(Same(beforeDamaged, saved)) << "the scene was changed before the damaged file was clicked";
    EXPECT_TRUE(Same(afterDamaged, beforeDamaged));
    EXPECT_NE(said.find("damaged"), std::string::npos) << said;
}

// P writes a screenshot and R starts and stops a recording, both into the scene folder, and the
// status line names the file (its name alone, in the player's words). The recording holds the
// scene as it was at R, and one frame for each frame that stepped: 3 steps at once, then 1 (a tap
// makes each differ). File > Import image turns a picture of the folder into walls.
TEST_F(SandboxTest, PicturesAndImportGoThroughTheSceneFolder) {
    std::string shotSaid, recordSaid, stopSaid, importSaid;
    std::vector<std::string> names;
    uint8_t imported[2] = {99, 99};
    steps = {[] { ClickScene(100, 100); }, [] { headless::TapKey('T'); }, [] { ClickScene(300, 10); },
             [] { headless::TapKey('P'); }, [&] { shotSaid = Sandbox().Status(); },
             [] { headless::TapKey('R'); }, [&] { recordSaid = Sandbox().Status(); },
             [] { for (int i = 0; i < 3; ++i) headless::TapKey('N'); }, [] { headless::TapKey('N'); },
             [] { headless::TapKey('R'); },
             [&] {
                 stopSaid = Sandbox().Status();
                 names = NamesIn(scenes);
                 // A picture of two colours: the left half black, the right half white.
                 WriteBytes(scenes + "/zz-level.bmp", BlackAndWhite(2, 1, {false, true}));
                 std::filesystem::last_write_time(scenes + "/zz-level.bmp",
                                                  std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
                 Pick(Command::Import);
             },
             [] { ClickScene(80, 60); },
             [&] {
                 importSaid = Sandbox().Status();
                 imported[0] = Cell(10, 400);
                 imported[1] = Cell(630, 10);
             }};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(FirstOfItsDate(names[0], "recording", "gif")) << names[0];
    EXPECT_TRUE(FirstOfItsDate(names[1], "screenshot", "png")) << names[1];
    EXPECT_EQ(shotSaid, "Screenshot saved as " + names[1]);
    EXPECT_EQ(recordSaid, "Recording into " + names[0] + " (R stops)");
    EXPECT_EQ(stopSaid, "Recorded 3 frames as " + names[0]);
    const std::vector<uint8_t> png = ReadBytes(scenes + "/" + names[1]);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    const std::vector<uint8_t> gif = ReadBytes(scenes + "/" + names[0]);
    ASSERT_GT(gif.size(), 6u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(importSaid, "Imported the walls of zz-level.bmp");
    EXPECT_EQ(imported[0], X);
    EXPECT_EQ(imported[1], E);
}

// --- Walls hold, and the water a tap adds shows ------------------------------------------------

// The smallest scene where the water's own step paints over a wall: a wall cell at (1, 2); water
// showing at (0, 2) and at (0, 1) and (1, 1), held by two spans in this order: 0 .. 0 on row 2,
// then 0 .. 1 on row 1 (a span poured last lies at the list's end). In the step the lower span
// falls first, freeing the cell under the upper one's first column, so the upper one falls whole,
// its second cell onto the wall. The sandbox's scene puts the wall back and takes that cell out
// of the span: water at (0, 2) and (0, 3), one cell each.
TEST_F(SandboxSceneTest, TheWaterStepPaintsOverAWallAndTheSceneKeepsIt) {
    SceneState state;
    state.pixels.assign(640 * 480, E);
    state.pixels[2 * 640 + 1] = X;
    for (int cell : {2 * 640 + 0, 1 * 640 + 0, 1 * 640 + 1}) state.pixels[static_cast<size_t>(cell)] = W;
    state.spans = {{0, 0, 2, 1}, {0, 1, 1, 1}};

    Surface literal(640, 480);
    std::copy(state.pixels.begin(), state.pixels.end(), literal.pixels);
    ReferenceWater water(&literal, 480);
    water.spans = state.spans;
    water.Step();
    EXPECT_EQ(literal.pixels[2 * 640 + 1], W) << "the water's step alone paints the wall";

    sandbox::Scene scene;
    ASSERT_TRUE(scene.Restore(state));
    scene.Step();
    EXPECT_EQ(Cell(1, 2), X);
    EXPECT_EQ(Spans(), (std::vector<Span>{{0, 0, 2}, {0, 0, 3}}));
    EXPECT_EQ(CellsOf(W, 0, 0, 639, 479), (std::vector<std::pair<int, int>>{{0, 2}, {0, 3}}));
}

// A cup of 12-pixel walls, rows 200 to 411 (sides at columns 200 to 211 and 420 to 431, the floor
// rows 400 to 411 between them), filled by two taps above it until it overflows: after 5000 steps
// every wall cell is where the picture put it, and every span's cells show water.
TEST_F(SandboxSceneTest, AnOverflowingCupKeepsItsWallsAndAllItsWaterShows) {
    std::vector<bool> white(640 * 480, true);
    auto wall = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) white[static_cast<size_t>(y * 640 + x)] = false;
    };
    wall(200, 200, 211, 411);
    wall(420, 200, 431, 411);
    wall(212, 400, 419, 411);
    const std::string cup = folder.File("cup.bmp"), out = folder.File("out.bmp");
    WriteBytes(cup, BlackAndWhite(640, 480, white));
    ASSERT_EQ(sandbox::RunBatch({"--run", "5000", "--scene", cup, "--tap", "300,100", "--tap", "350,150", "--save", out}), 0);
    SceneState s;
    std::string why;
    ASSERT_TRUE(sandbox::LoadSceneFile(out, &s, &why)) << why;
    int wrongWalls = 0, overflow = 0;
    for (size_t i = 0; i < white.size(); ++i) {
        wrongWalls += (s.pixels[i] == X) == white[i];
        overflow += s.pixels[i] == W && i % 640 < 200 && i / 640 > 200;
    }
    EXPECT_EQ(wrongWalls, 0);
    EXPECT_GT(overflow, 0) << "the cup did not overflow";
    int hidden = 0;
    for (const WaterSpan& w : s.spans)
        for (int x = w.x0; x <= w.x1; ++x) hidden += s.pixels[static_cast<size_t>(w.y * 640 + x)] != W;
    EXPECT_EQ(hidden, 0) << s.spans.size() << " spans";
}

// A tap pours onto the empty cells of its 11 only, and what it pours shows at once: a tap at
// (50, 50) above a floor at row 51 keeps one span of 11 cells there, however many steps run; a
// tap at (150, 50) beside a wall at columns 147 to 149 of row 50 pours 145 .. 146 and 150 .. 155,
// which fall, and the wall stays. A tap clicked inside a wall is refused, and the status line
// says why.
TEST_F(SandboxTest, ATapPoursOnlyOntoEmptyCellsAndNothingPilesUp) {
    std::vector<Span> onFloor, besideWall;
    int waterOnFloor = 0;
    std::vector<std::pair<int, int>> wallBeside;
    std::vector<sandbox::Tap> taps;
    std::string said;
    steps = {[] {
                 headless::TapKey('L');
                 BrushTo(1);
             },
             [] {
                 Press(30, 51);
                 Release(70, 51);
             },
             [] { headless::TapKey('T'); }, [] { ClickScene(50, 50); },
             [] { for (int i = 0; i < 40; ++i) headless::TapKey('N'); },
             [&] {
                 onFloor = Spans();
                 waterOnFloor = CountOf(W);
             },
             [] { headless::TapKey('C'); }, [] { headless::TapKey('L'); },
             [] {
                 Press(147, 50);
                 Release(149, 50);
             },
             [] { headless::TapKey('T'); }, [] { ClickScene(150, 50); }, [] { headless::TapKey('N'); },
             [&] {
                 besideWall = Spans();
                 wallBeside = CellsOf(X, 0, 0, 639, 479);
             },
             [] { ClickScene(148, 50); },
             [&] {
                 taps = Sandbox().TheScene().Taps();
                 said = StatusRow(1);
             }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(onFloor, (std::vector<Span>{{45, 55, 50}}));
    EXPECT_EQ(waterOnFloor, 11);
    EXPECT_EQ(besideWall, (std::vector<Span>{{145, 146, 51}, {150, 155, 51}}));
    EXPECT_EQ(wallBeside, (std::vector<std::pair<int, int>>{{147, 50}, {148, 50}, {149, 50}}));
    EXPECT_EQ(taps, (std::vector<sandbox::Tap>{{150, 50}}));
    EXPECT_EQ(said, "Tap 1 | No tap: a tap cannot go inside a wall");
}

// --- Files the sandbox writes come back as what they hold ------------------------------------

// A scene saved with walls, water and a tap, imported (File > Import image), shows in the Import
// view as a thumbnail of its walls and becomes its walls: wall where it had walls, empty where it
// had water or nothing.
TEST_F(SandboxTest, ASavedSceneImportsAsItsWalls) {
    SceneState saved, imported;
    headless::Image view;
    uint8_t palette[768] = {};
    steps = {[] { ClickScene(100, 100); }, [] { Press(200, 300); }, [] { MoveTo(400, 350); }, [] { Release(500, 300); },
             [] { headless::TapKey('T'); }, [] { ClickScene(300, 10); },
             [] { for (int i = 0; i < 60; ++i) headless::TapKey('N'); },
             [&] {
                 saved = Now();
                 Control('S');
             },
             [] { Control('I'); },
             [&] {
                 view = headless::ReadWindow(Hwnd());
                 CopyPalette(palette);
             },
             [] { ClickScene(80, 60); }, [&] { imported = Now(); }};
    EXPECT_EQ(Run(), 0);
    ASSERT_GT(std::count(saved.pixels.begin(), saved.pixels.end(), W), 0);
    int wrongThumb = 0;
    for (int y = 1; y < 119; ++y)
        for (int x = 1; x < 159; ++x) {
            const uint8_t want = saved.pixels[static_cast<size_t>(4 * y * 640 + 4 * x)] == X ? X : E;
            const uint32_t rgb = uint32_t{palette[3 * want]} << 16 | uint32_t{palette[3 * want + 1]} << 8 | palette[3 * want + 2];
            wrongThumb += view.At(x, kBar + y) != rgb;
        }
    EXPECT_EQ(wrongThumb, 0);
    int wrongCells = 0;
    for (size_t i = 0; i < saved.pixels.size(); ++i) wrongCells += imported.pixels[i] != (saved.pixels[i] == X ? X : E);
    EXPECT_EQ(wrongCells, 0);
    EXPECT_TRUE(imported.spans.empty());
    EXPECT_TRUE(imported.taps.empty());
}

// Every bitmap the sandbox writes, and one an earlier version wrote, imports as its walls: a scene
// file; the same scene as earlier versions wrote it (bfSize the whole file's size), whole and
// damaged. A scene file read by the framework's bitmap reader shows its pixels.
TEST_F(SandboxSceneTest, EverySceneFileImportsAsItsWalls) {
    SceneState scene;
    scene.pixels.assign(640 * 480, E);
    for (int x = 0; x < 640; ++x) scene.pixels[static_cast<size_t>(300 * 640 + x)] = X;  // a floor
    for (int x = 100; x < 200; ++x) scene.pixels[static_cast<size_t>(299 * 640 + x)] = W;  // water on it
    scene.pixels[10] = 7;  // a wall of another colour
    scene.spans = {{100, 199, 299, 0}};
    scene.taps = {{150, 20}};
    uint8_t palette[768];
    ASSERT_TRUE(CopyPalette(palette));
    const std::vector<uint8_t> now = sandbox::EncodeScene(scene, palette);
    ASSERT_EQ(now[2] | now[3] << 8 | now[4] << 16 | now[5] << 24, 1078 + 640 * 480) << "bfSize: the bitmap's own bytes";
    std::vector<uint8_t> before = now;
    const uint32_t whole = static_cast<uint32_t>(before.size());
    for (int i = 0; i < 4; ++i) before[static_cast<size_t>(2 + i)] = static_cast<uint8_t>(whole >> (8 * i));
    uint32_t h = 2166136261u;
    for (size_t i = 0; i + 4 < before.size(); ++i) h = (h ^ before[i]) * 16777619u;
    for (int i = 0; i < 4; ++i) before[before.size() - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(h >> (8 * i));
    std::vector<uint8_t> damaged = before;
    damaged[damaged.size() - 9] ^= 1;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    for (const Case& c : {Case{"scene.bmp", now}, Case{"earlier.bmp", before}, Case{"damaged.bmp", damaged}}) {
        SCOPED_TRACE(c.name);
        const std::string file = folder.File(c.name);
        WriteBytes(file, c.bytes);
        std::vector<bool> light;
        std::string why;
        ASSERT_TRUE(sandbox::ImportImage(file, &light, &why)) << why;
        int wrong = 0;
        for (size_t i = 0; i < light.size(); ++i) wrong += light[i] != (scene.pixels[i] == E || scene.pixels[i] == W);
        EXPECT_EQ(wrong, 0);
    }
    SceneState earlier;
    std::string why;
    EXPECT_TRUE(sandbox::DecodeScene(before, &earlier, &why)) << why;
    EXPECT_TRUE(Same(earlier, scene));
    uint8_t* pixels = nullptr;
    HBITMAP bitmap = LoadBmp(folder.File("scene.bmp").c_str(), &pixels);
    ASSERT_NE(bitmap, nullptr);
    int wrong = 0;
    for (size_t i = 0; i < scene.pixels.size(); ++i) wrong += pixels[i] != scene.pixels[i];
    EXPECT_EQ(wrong, 0);
    DeleteObject(bitmap);
}

// --- Keys, and the command line ----------------------------------------------------------------

// Ctrl+Z as a quick chord, Ctrl down and up again before the program reads the Z, still undoes;
// Ctrl+Y likewise redoes.
TEST_F(SandboxTest, CtrlZAndCtrlYPressedAsQuickChordsUndoAndRedo) {
    int drawn = 0, undone = 0, redone = 0;
    auto chord = [](int key) {
        headless::KeyDown(VK_CONTROL);
        headless::TapKey(key);
        headless::KeyUp(VK_CONTROL);
    };
    steps = {[] { ClickScene(100, 100); }, [&] { drawn = CountOf(X); }, [&] { chord('Z'); }, [&] { undone = CountOf(X); },
             [&] { chord('Y'); }, [&] { redone = CountOf(X); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(drawn, 12);
    EXPECT_EQ(undone, 0);
    EXPECT_EQ(redone, 12);
}

// The command line split as the Windows runtime splits one (Microsoft's own examples among them).
TEST(SandboxCommandLine, SplitsAsTheWindowsRuntimeDoes) {
    struct Case {
        const char* line;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"  \t ", {}},
        {"--run 5", {"--run", "5"}},
        {" --run\t5 ", {"--run", "5"}},
        {R"("abc" d e)", {"abc", "d", "e"}},
        {R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
        {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        {R"(a"b"" c d)", {R"(ab" c d)"}},
        {R"(--save "my scenes/level 1.bmp")", {"--save", "my scenes/level 1.bmp"}},
        {R"(--save "C:\My Scenes\")", {"--save", R"(C:\My Scenes")"}},
        {R"(--save "C:\My Scenes\\")", {"--save", R"(C:\My Scenes\)"}},
        {R"("" x)", {"", "x"}},
        {R"(say "open)", {"say", "open"}},
    };
    for (const Case& c : cases) EXPECT_EQ(sandbox::SplitCommandLine(c.line), c.words) << c.line;
    EXPECT_TRUE(sandbox::SplitCommandLine(nullptr).empty());
}

// --- A player knows what to do and what is happening -----------------------------------------

// The first start (no scene of a last run) greets the player on the status line until the first
// click on the scene; then the line tells what the tool does. A message (a screenshot taken)
// shows for five seconds, then gives way to the tool's hint again.
TEST_F(SandboxTest, TheFirstStartWelcomesAndMessagesGiveWayToTheToolsHint) {
    std::vector<std::string> said;
    auto look = [&] { said.push_back(StatusRow(1)); };
    steps = {look, [] { ClickScene(100, 100); }, look, [] { headless::TapKey('P'); }, look,
             [] { headless::AdvanceClock(4800); }, look, [] { headless::AdvanceClock(200); }, look};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(said.size(), 5u);
    EXPECT_EQ(said[0], "Wall 4 | Welcome! Drag to draw walls; T places a tap, W pours. Space: pause");
    EXPECT_EQ(said[1], "Wall 4 | drag to draw walls");
    EXPECT_EQ(said[2].rfind("Wall 4 | Screenshot saved as screenshot-1-", 0), 0u) << said[2];
    EXPECT_EQ(said[3], said[2]);
    EXPECT_EQ(said[4], "Wall 4 | drag to draw walls");
}

// The picked tool's button stays pushed in (black at its top-left corner, white at its
// bottom-right), the others stand out; Run/Pause is pushed in while time runs.
TEST_F(SandboxTest, ThePickedToolAndRunningShowOnTheirButtons) {
    std::vector<std::vector<bool>> pushed;
    auto look = [&] {
        headless::Image image = headless::ReadWindow(Hwnd());
        std::vector<bool> in;
        for (int place = 0; place < 8; ++place) {
            const int left = 7 + 79 * place, top = kBar + 512;
            const uint32_t corner = image.At(left, top), opposite = image.At(left + 71, top + 25);
            EXPECT_TRUE((corner == 0 && opposite == 0xFFFFFF) || (corner == 0xFFFFFF && opposite == 0)) << place;
            in.push_back(corner == 0);
        }
        pushed.push_back(in);
    };
    steps = {look, [] { headless::TapKey('E'); }, look, [] { viewtest::Click(Hwnd(), ButtonX(4), kButtonY); }, look,
             [] { headless::TapKey(VK_SPACE); }, look};
    EXPECT_EQ(Run(), 0);
    // The run pauses at its first key: Run/Pause is out from the first look on.
    using B = std::vector<bool>;
    EXPECT_EQ(pushed, (std::vector<B>{{1, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0, 0},
                                      {0, 0, 0, 0, 1, 0, 1, 0}}));
}

// Every menu item shows its key after a tab, as Win32 menus show shortcuts.
TEST_F(SandboxTest, MenuItemsShowTheirKeys) {
    std::vector<std::vector<std::string>> menus;
    steps = {[&] {
        HMENU bar = GetMenu(Hwnd());
        for (int m = 0; m < GetMenuItemCount(bar); ++m) {
            HMENU drop = GetSubMenu(bar, m);
            std::vector<std::string> items;
            for (int i = 0; i < GetMenuItemCount(drop); ++i) {
                char text[64] = {};
                MENUITEMINFOA info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_STRING;
                info.dwTypeData = text;
                info.cch = sizeof text;
                GetMenuItemInfoA(drop, static_cast<UINT>(i), TRUE, &info);
                items.emplace_back(text);
            }
            menus.push_back(items);
        }
    }};
    EXPECT_EQ(Run(), 0);
    using M = std::vector<std::string>;
    EXPECT_EQ(menus, (std::vector<M>{
                         {"Open...\tCtrl+O", "Save\tCtrl+S", "Import image...\tCtrl+I", "Screenshot\tP",
                          "Start/stop recording\tR", "Quit\tEsc"},
                         {"Undo\tCtrl+Z", "Redo\tCtrl+Y", "Clear scene\tC"},
                         {"Wall brush\tB", "Eraser\tE", "Straight wall\tL", "Water brush\tW", "Tap\tT", "Fill\tF",
                          "Bigger brush\t]", "Smaller brush\t["},
                         {"Run/pause\tSpace", "One step\tN", "Faster\tNum +", "Slower\tNum -"},
                     }));
}

// While a straight wall of size 5 is dragged from (100, 100) to (160, 130), the scene shows, in
// the preview's dark grey, exactly the cells the wall takes once the button is let go.
TEST_F(SandboxTest, TheStraightWallsPreviewIsTheWallItWillBe) {
    std::vector<std::pair<int, int>> preview, wall;
    uint8_t palette[768] = {};
    steps = {[] {
                 headless::TapKey('L');
                 BrushTo(5);
             },
             [] {
                 Press(100, 100);
                 MoveTo(160, 130);
             },
             [&] {
                 CopyPalette(palette);
                 const uint32_t grey = uint32_t{palette[24]} << 16 | uint32_t{palette[25]} << 8 | palette[26];
                 headless::Image image = headless::ReadWindow(Hwnd());
                 for (int y = 0; y < 480; ++y)
                     for (int x = 0; x < 640; ++x)
                         if (image.At(x, kBar + y) == grey) preview.emplace_back(x, y);
             },
             [] { Release(160, 130); }, [&] { wall = CellsOf(X, 0, 0, 639, 479); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_GT(wall.size(), 61u * 5u);
    EXPECT_EQ(preview, wall);
}

// Steps per second while paused: 0. The run pauses at its first key; it is set running for two
// seconds (a speed of 1, one step a turn of 16 ms: 62 steps a second), then paused.
TEST_F(SandboxTest, StepsPerSecondIsZeroWhilePaused) {
    std::string running, paused;
    steps = {[] { headless::TapKey(VK_SPACE); },
             [] {
                 for (int i = 0; i < 130; ++i) headless::AdvanceClock(0);
             }};
    for (int i = 0; i < 45; ++i) steps.push_back([] {});
    steps.push_back([&] { running = StatusRow(0); });
    steps.push_back([] { headless::TapKey(VK_SPACE); });
    steps.push_back([&] { paused = StatusRow(0); });
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(running.find(" 62 steps/s  x1 running"), std::string::npos) << running;
    EXPECT_NE(paused.find(" 0 steps/s  x1 paused"), std::string::npos) << paused;
}

// Long names in the Open view stay apart: each is cut, with "...", to leave a gap before the
// next thumbnail's.
TEST_F(SandboxTest, LongNamesInTheOpenViewStayApart) {
    std::string first, second;
    int gap = 0;
    steps = {[] { Control('S'); }, [] { Control('S'); },
             [&] {
                 int n = 0;
                 for (const std::string& name : NamesIn(scenes))
                     std::filesystem::rename(scenes + "/" + name, scenes + "/a-scene-with-a-long-name-" + std::to_string(++n) + ".bmp");
                 std::filesystem::last_write_time(scenes + "/a-scene-with-a-long-name-2.bmp",
                                                  std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
             },
             [] { Control('O'); },
             [&] {
                 headless::Image image = headless::ReadWindow(Hwnd());
                 const int top = kBar + 120 + 2;
                 first = ReadText(image, 1, top, 20);
                 second = ReadText(image, 161, top, 20);
                 int lastInk = 0, firstInk = 640;
                 for (int y = top; y < top + 12; ++y)
                     for (int x = 0; x < 320; ++x)
                         if (image.At(x, y) != image.At(0, top)) (x < 160 ? lastInk : firstInk) = x < 160 ? std::max(lastInk, x) : std::min(firstInk, x);
                 gap = firstInk - lastInk - 1;
             },
             [] { headless::TapKey(VK_ESCAPE); }};  // back from the view
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(first, "a-scene-with-a-l...");
    EXPECT_EQ(second, "a-scene-with-a-l...");
    EXPECT_GE(gap, 8);
}

// A recording of the running scene: R at step 2 is handled at the time of idle turn 5 and shows
// the scene at 0 ms; idle turns 6 to 14 each step and add a frame, 16 ms apart, until R at step
// 5 (turn 14's time) stops. A frame less than 20 ms after the one waiting takes its place, so the
// file shows the frames of 16, 48, 80, 112 and 144 ms from 0, 32, 64, 96 and 128 ms: 3.2, 6.4,
// 9.6 and 12.8 cs rounded on the running total, and the last as long as the one before it.
TEST_F(SandboxTest, ARecordingShowsEachFrameAtLeastTwentyMilliseconds) {
    std::string stopSaid;
    std::vector<std::string> names;
    steps = {[] { headless::TapKey(VK_SPACE); }, [] { headless::TapKey('R'); }, [] {}, [] {},
             [] { headless::TapKey('R'); }, [&] {
                 stopSaid = Sandbox().Status();
                 names = NamesIn(scenes);
             }};
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(stopSaid.find("Recorded 5 frames"), std::string::npos) << stopSaid;
    ASSERT_EQ(names.size(), 1u);
    giftest::File gif;
    std::string why;
    ASSERT_TRUE(giftest::Read(ReadBytes(scenes + "/" + names[0]), &gif, &why)) << why;
    EXPECT_EQ(gif.Delays(), (std::vector<int>{3, 3, 4, 3, 3}));
}

// Closing keeps the scene; the next start comes back to it.
TEST_F(SandboxTest, TheSceneInProgressComesBackAtTheNextStart) {
    SceneState closed, started;
    steps = {[] { ClickScene(100, 100); }, [] { headless::TapKey('T'); }, [] { ClickScene(300, 10); }, [&] { closed = Now(); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(NamesIn(scenes), (std::vector<std::string>{"autosave.bmp"}));
    ResetProcessState();
    steps = {[&] { started = Now(); }};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(started.pixels[100 * 640 + 100], X);
    ASSERT_EQ(started.taps.size(), 1u);
    // Both runs pause with their first key: the water the tap poured meanwhile is the same.
    EXPECT_TRUE(Same(started, closed));
}

}  // namespace
