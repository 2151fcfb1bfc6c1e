// ondrel-sandbox-shot [--new WxH] FILE.png: runs the sandbox on the headless display driver,
// builds a scene with the mouse and keys as a user would (a cup filled with the fill tool, a
// slope, two taps, water poured with the brush), lets it run, and writes what the window shows
// (menu bar, scene, status rows and buttons) as a PNG. With --new 1280x720 or 1920x1080 the scene
// is first made that size with File > New (its key), and the same strokes land on the scene as
// the window shows it, reduced. With --screen WxH[@D] the picture is what a screen of W × H device
// pixels, D of them a device-independent pixel (1 when not given), shows of the window, fitted by
// the rule every display follows. docs/sandbox.png is made with it
// (scripts/sandbox-screenshot.sh); the same on every run, for the clock is the driver's.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/program_folder.h"
#include "platform/win32.h"
#include "sandbox/sandbox.h"
#include "tools/replay/image_writers.h"
#include "tools/version.h"

namespace {

constexpr int kBar = 19;  // the menu bar above the client area
constexpr int kTurns = 400;

// The rows of the window the scene shows on: 480, or 360 for a 16:9 scene (reduced to 640 wide);
// the scene is drawn in rows of a 640 × 480 picture, squeezed to them.
int rowsShown = 480;
int Row(int y) { return y * rowsShown / 480; }

HWND Hwnd() { return headless::TopLevelWindows().front(); }
void Move(int x, int y) { headless::MoveMouse(Hwnd(), x, Row(y) + kBar); }
void Drag(int x0, int y0, int x1, int y1) {
    Move(x0, y0);
    headless::PressLeft(Hwnd(), x0, Row(y0) + kBar);
    Move(x1, y1);
    headless::ReleaseLeft(Hwnd(), x1, Row(y1) + kBar);
}
void Click(int x, int y) { Drag(x, y, x, y); }
void Keys(const char* keys) {
    for (const char* k = keys; *k; ++k) headless::TapKey(*k);
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredVersion("ondrel-sandbox-shot", argc, argv)) return 0;
    // File > New's key for the size asked for, or 0 for the default scene; and the brush's size
    // in cells, 4 times the scene's cells a window pixel.
    int newKey = 0;
    int brush = 4;
    int screenWidth = 0, screenHeight = 0;  // --screen; 0: the window's own picture
    double density = 1;
    bool good = true;
    int a = 1;
    for (; good && a < argc - 1; a += 2) {
        const std::string option = argv[a], value = argv[a + 1];
        if (option == "--new") {
            newKey = value == "640x480" ? '1' : value == "1280x720" ? '2' : value == "1920x1080" ? '3' : -1;
            good = newKey > 0;
        } else if (option == "--screen") {
            // WxH, or WxH@D: the whole value, nothing after it.
            int used = 0;
            good = std::sscanf(value.c_str(), "%dx%d%n", &screenWidth, &screenHeight, &used) == 2;
            if (good && value[static_cast<size_t>(used)] == '@') {
                int more = 0;
                good = std::sscanf(value.c_str() + used, "@%lf%n", &density, &more) == 1;
                used += more;
            }
            good = good && static_cast<size_t>(used) == value.size() && screenWidth > 0 && screenHeight > 0 &&
                   screenWidth <= 8192 && screenHeight <= 8192 && density >= 1 && density <= 4;
        } else {
            good = false;
        }
    }
    if (!good || a != argc - 1 || std::strncmp(argv[a], "--", 2) == 0) {
        std::fputs("usage: ondrel-sandbox-shot [--new 640x480|1280x720|1920x1080] [--screen WxH[@D]] FILE.png\n", stderr);
        return 2;
    }
    if (newKey == '2' || newKey == '3') rowsShown = 360;
    if (newKey == '2') brush = 8;
    if (newKey == '3') brush = 12;
    std::error_code error;
    const std::string output = std::filesystem::absolute(argv[argc - 1], error).string();
    // A scene folder of its own, made afresh (two runs at once get two), so that no autosave of a
    // real run comes in, and none is left.
    std::string pattern = (std::filesystem::temp_directory_path(error) / "ondrel-sandbox-shot-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "ondrel-sandbox-shot: cannot make a folder in %s\n", pattern.c_str());
        return 1;
    }
    const std::filesystem::path data = pattern;
    setenv("XDG_DATA_HOME", data.string().c_str(), 1);
    const char* const files[] = {sandbox::kSheetFile, sandbox::kFontFile, nullptr};
    EnterProgramFolder("ondrel-sandbox-shot", files);

    // One edit every few turns; then the scene runs at 4 steps a frame.
    const std::vector<std::function<void()>> edits = {
        [&] {
            Keys("L");  // straight walls of size 4 pixels of the window
            for (int size = 4; size < brush; ++size) headless::TapKey(VK_OEM_6);
        },
        [] { Drag(80, 420, 300, 420); }, [] { Drag(80, 330, 80, 420); }, [] { Drag(300, 330, 300, 420); },
        [] { Drag(360, 260, 600, 330); }, [] { Drag(600, 330, 600, 450); }, [] { Drag(360, 450, 600, 450); },
        [] { Keys("F"); }, [] { Click(190, 360); },                    // the cup filled to row 360
        [] { Keys("T"); }, [] { Click(420, 40); }, [] { Click(150, 60); },  // two taps
        [] {
            headless::TapKey(VK_ADD);
            headless::TapKey(VK_ADD);
            Keys("W");
            Move(520, 120);
        },
        [] { headless::PressLeft(Hwnd(), 520, Row(120) + kBar); },   // the water brush, held
    };
    headless::Image shown;
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn == 1 && newKey) {
            headless::KeyDown(VK_CONTROL);
            headless::TapKey(newKey);
        }
        if (turn == 2 && newKey) headless::KeyUp(VK_CONTROL);
        if (turn % 4 == 0 && turn / 4 <= static_cast<int>(edits.size())) edits[static_cast<size_t>(turn / 4 - 1)]();
        if (turn == 200) headless::ReleaseLeft(Hwnd(), 520, Row(120) + kBar);
        if (turn == 210) {
            Keys("B");
            Move(250, 200);  // the pointer shows the wall brush's outline
        }
        if (turn == kTurns) {
            if (screenWidth) {
                headless::ShowOnScreen(screenWidth, screenHeight, density);
                shown = headless::ReadScreen(Hwnd());
            } else {
                shown = headless::ReadWindow(Hwnd());
            }
            headless::TapKey(VK_ESCAPE);
        }
    });
    char commandLine[] = "";
    const int code = sandbox::SandboxMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), commandLine);
    std::filesystem::remove_all(data, error);
    if (code != 0) return code;
    if (shown.width == 0) {
        std::fprintf(stderr, "ondrel-sandbox-shot: the sandbox ended before turn %d\n", kTurns);
        return 1;
    }
    FILE* file = std::fopen(output.c_str(), "wb");
    bool ok = file && WritePng(file, shown.pixels.data(), shown.width, shown.height, PngColours::TableWhenFew);
    ok = file && std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "ondrel-sandbox-shot: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
