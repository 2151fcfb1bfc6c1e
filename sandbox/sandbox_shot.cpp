// ondrel-sandbox-shot FILE.png: runs the sandbox on the headless display driver, builds a scene
// with the mouse and keys as a user would (a cup filled with the fill tool, a slope, two taps,
// water poured with the brush), lets it run, and writes what the window shows (menu bar, scene,
// status rows and buttons) as a PNG. docs/sandbox.png is made with it
// (scripts/sandbox-screenshot.sh); the same on every run, for the clock is the driver's.
#include <cstdio>
#include <cstdlib>
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

HWND Hwnd() { return headless::TopLevelWindows().front(); }
void Move(int x, int y) { headless::MoveMouse(Hwnd(), x, y + kBar); }
void Drag(int x0, int y0, int x1, int y1) {
    Move(x0, y0);
    headless::PressLeft(Hwnd(), x0, y0 + kBar);
    Move(x1, y1);
    headless::ReleaseLeft(Hwnd(), x1, y1 + kBar);
}
void Click(int x, int y) { Drag(x, y, x, y); }
void Keys(const char* keys) {
    for (const char* k = keys; *k; ++k) headless::TapKey(*k);
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredVersion("ondrel-sandbox-shot", argc, argv)) return 0;
    if (argc != 2) {
        std::fputs("usage: ondrel-sandbox-shot FILE.png\n", stderr);
        return 2;
    }
    std::error_code error;
    const std::string output = std::filesystem::absolute(argv[1], error).string();
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
        [] { Keys("L"); },                                             // straight walls of size 4
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
        [] { headless::PressLeft(Hwnd(), 520, 120 + kBar); },        // the water brush, held
    };
    headless::Image shown;
    headless::SetBeforeIdleHook([&](int turn) {
        if (turn % 4 == 0 && turn / 4 <= static_cast<int>(edits.size())) edits[static_cast<size_t>(turn / 4 - 1)]();
        if (turn == 200) headless::ReleaseLeft(Hwnd(), 520, 120 + kBar);
        if (turn == 210) {
            Keys("B");
            Move(250, 200);  // the pointer shows the wall brush's outline
        }
        if (turn == kTurns) {
            shown = headless::ReadWindow(Hwnd());
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
        std::fprintf(stderr, "ondrel-sandbox-shot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
