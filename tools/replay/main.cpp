// ondrel-replay: runs the unchanged demonstration on the headless display driver, fed by an input
// script, and records what it shows.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "tools/replay/image_writers.h"
#include "tools/replay/script.h"
#include "win/window.h"

namespace {

constexpr const char* kUsage =
    "usage: ondrel-replay [--frames N] [--scene FILE.bmp] [--spans FILE] [--window FILE.png] [--gif FILE.gif] SCRIPT\n"
    "Runs the demonstration without a display, fed by SCRIPT, from the current directory.\n"
    "  --frames N     idle turns to run (default 1000); the run ends earlier when the program ends\n"
    "  --scene FILE   save the scene after the run as an 8-bit BMP\n"
    "  --spans FILE   write the water spans after the run, one 'x0 x1 y' a line, in list order\n"
    "  --window FILE  save the window's image as last presented, as PNG\n"
    "  --gif FILE     record every presented frame into an animated GIF\n"
    "SCRIPT lines: 'FRAME VERB [ARGS]'; verbs: move X Y, press left|right, release left|right,\n"
    "keydown KEY, keyup KEY, tap KEY; KEY: space, escape, add, subtract, a letter, or a code.\n";

struct Options {
    int frames = 1000;
    std::string scene, spans, window, gif, script;
};

std::optional<Options> ParseOptions(int argc, char** argv, std::string* error) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        if (arg == "--frames") {
            std::string n;
            if (!value(&n)) return std::nullopt;
            char* end = nullptr;
            long frames = std::strtol(n.c_str(), &end, 10);
            if (n.empty() || *end || frames < 0 || frames > 100000000) {
                *error = "--frames takes a whole number from 0 on, not '" + n + "'";
                return std::nullopt;
            }
            o.frames = static_cast<int>(frames);
        } else if (arg == "--scene") {
            if (!value(&o.scene)) return std::nullopt;
        } else if (arg == "--spans") {
            if (!value(&o.spans)) return std::nullopt;
        } else if (arg == "--window") {
            if (!value(&o.window)) return std::nullopt;
        } else if (arg == "--gif") {
            if (!value(&o.gif)) return std::nullopt;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            *error = "unknown option " + arg;
            return std::nullopt;
        } else if (o.script.empty()) {
            o.script = arg;
        } else {
            *error = "only one script, please";
            return std::nullopt;
        }
    }
    if (o.script.empty()) {
        *error = "no script given";
        return std::nullopt;
    }
    if ((!o.window.empty() && !CanWritePng()) || (!o.gif.empty() && !CanWriteGif())) {
        *error = std::string(o.window.empty() || CanWritePng() ? "--gif needs giflib" : "--window needs libpng") +
                 ", which this ondrel-replay was built without (scripts/install-deps.sh installs it)";
        return std::nullopt;
    }
    return o;
}

// What the run leaves behind, taken before every idle turn: after the run it holds the state
// after the last frame that ran, even when the program has already released it.
struct Snapshot {
    std::vector<uint8_t> scene;
    int pitch = 0;
    int height = 0;
    std::vector<WaterSpan> spans;
    std::vector<uint32_t> window;
    int windowWidth = 0;
    int windowHeight = 0;
};

void TakeSnapshot(Snapshot& s) {
    if (const Surface* scene = appGlobals.sceneSurface; scene && scene->pixels) {
        s.pitch = scene->pitch;
        s.height = scene->height;
        s.scene.assign(scene->pixels, scene->pixels + static_cast<size_t>(scene->pitch) * static_cast<size_t>(scene->height));
    }
    const WaterSpanList& list = appGlobals.waterSpans;
    if (list.spans) s.spans.assign(list.spans, list.spans + list.count);
    else s.spans.clear();
}

HWND MainWindowHandle() {
    auto windows = headless::TopLevelWindows();
    return windows.empty() ? nullptr : windows.front();
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<Options> options = ParseOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "ondrel-replay: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    std::ifstream in(options->script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ondrel-replay: cannot read %s\n", options->script.c_str());
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    ParsedScript script = ParseScript(text.str());
    if (!script.error.empty()) {
        std::fprintf(stderr, "ondrel-replay: %s:%s\n", options->script.c_str(), script.error.c_str());
        return 2;
    }

    headless::Reset();
    Snapshot snapshot;
    GifRecorder gif;
    bool gifOpen = false;
    bool gifFailed = false;
    size_t next = 0;
    int pointerX = 0;
    int pointerY = 0;

    headless::SetShowHook([&](HWND, const uint32_t* pixels, int width, int height) {
        snapshot.window.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
        snapshot.windowWidth = width;
        snapshot.windowHeight = height;
        // Only frames count: the window's first showing, before any frame ran, is not one.
        const Surface* screen = appGlobals.screenSurface;
        if (appGlobals.frameCounter == 0) return;
        if (options->gif.empty() || !screen || !screen->pixels || gifFailed) return;
        if (!gifOpen) {
            uint8_t palette[kPaletteBytes] = {};
            CopyPalette(palette);
            int32_t w = 0;
            int32_t h = 0;
            screen->GetSize(&w, &h);
            gifOpen = gif.Open(options->gif, width < w ? width : w, height < h ? height : h, palette);
            gifFailed = !gifOpen;
            if (gifFailed) return;
        }
        gif.AddFrame(screen->pixels, screen->pitch, headless::Now());
    });

    headless::SetBeforeIdleHook([&](int turn) {
        TakeSnapshot(snapshot);
        if (turn > options->frames) {
            PostQuitMessage(0);
            return;
        }
        HWND hwnd = MainWindowHandle();
        for (; next < script.events.size() && script.events[next].frame == turn; ++next) {
            const ScriptEvent& e = script.events[next];
            switch (e.verb) {
                case Verb::Move:
                    pointerX = e.a;
                    pointerY = e.b;
                    headless::MoveMouse(hwnd, pointerX, pointerY);
                    break;
                case Verb::Press:
                    (e.a == 0 ? headless::PressLeft : headless::PressRight)(hwnd, pointerX, pointerY);
                    break;
                case Verb::Release:
                    (e.a == 0 ? headless::ReleaseLeft : headless::ReleaseRight)(hwnd, pointerX, pointerY);
                    break;
                case Verb::KeyDown:
                    headless::KeyDown(e.a);
                    break;
                case Verb::KeyUp:
                    headless::KeyUp(e.a);
                    break;
                case Verb::Tap:
                    headless::TapKey(e.a);
                    break;
            }
        }
    });

    static char commandLine[] = "";
    int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWDEFAULT);
    int framesRun = headless::IdleTurns() - (exitCode == 0 && appGlobals.windowRegistryCapacity == 0 ? 1 : 0);

    bool ok = true;
    if (!options->scene.empty()) {
        bool saved = !snapshot.scene.empty() &&
                     SaveBmp(options->scene.c_str(), snapshot.scene.data(), snapshot.pitch, snapshot.height);
        if (!saved) std::fprintf(stderr, "ondrel-replay: could not write %s\n", options->scene.c_str());
        ok = ok && saved;
    }
    if (!options->spans.empty()) {
        std::ofstream out(options->spans, std::ios::binary);
        for (const WaterSpan& s : snapshot.spans) out << s.x0 << ' ' << s.x1 << ' ' << s.y << '\n';
        out.close();
        if (!out) {
            std::fprintf(stderr, "ondrel-replay: could not write %s\n", options->spans.c_str());
            ok = false;
        }
    }
    if (!options->window.empty()) {
        bool saved = !snapshot.window.empty() &&
                     WritePng(options->window, snapshot.window.data(), snapshot.windowWidth, snapshot.windowHeight);
        if (!saved) std::fprintf(stderr, "ondrel-replay: could not write %s (was a frame presented?)\n", options->window.c_str());
        ok = ok && saved;
    }
    if (!options->gif.empty()) {
        bool saved = gifOpen && gif.Close();
        if (!saved) std::fprintf(stderr, "ondrel-replay: could not write %s (was a frame presented?)\n", options->gif.c_str());
        ok = ok && saved;
    }

    // A run cut short by --frames leaves the program running: release it as it would have.
    DeleteAllWindows();
    AppShutdown();
    std::fprintf(stderr, "ondrel-replay: %d frames run, program exit code %d\n", framesRun, exitCode);
    return ok ? 0 : 1;
}
