// ondrel-replay: runs the unchanged demonstration on the headless display driver, fed by an input
// script, and records what it shows.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "gfx/image_files.h"
#include "gfx/palette.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "platform/program_folder.h"
#include "platform/stdio_file.h"
#include "tools/replay/image_writers.h"
#include "tools/replay/playback.h"
#include "tools/replay/script.h"
#include "tools/version.h"
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
    "With no frame presented, --window and --gif both give the window as first shown. Outputs are\n"
    "checked before the run and replace an older file only once complete.\n"
    "SCRIPT lines: 'FRAME VERB [ARGS]'; verbs: move X Y, press left|right, release left|right,\n"
    "keydown KEY, keyup KEY, tap KEY; KEY: space, escape, add, subtract, a letter, or a code.\n"
    "ondrel-replay --version prints the version.\n";

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

// Output paths are named from the folder the user started in; the run may take place in another.
std::string Absolute(const std::string& path) {
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.string();
}

// An output file, opened before the run so that a path that cannot be written is refused before
// any time is spent. It is written beside its target and takes the target's place whole when
// committed; a failed run leaves an older file as it was.
class Output {
public:
    Output() = default;
    ~Output() { Drop(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool Open(const std::string& path, std::string* why) {
        path_ = Absolute(path);
        std::error_code ignored;
        auto status = std::filesystem::status(path_, ignored);
        if (std::filesystem::is_directory(status)) return Fail("it is a folder", why);
        if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
            return Fail("it is not a regular file", why);
        errno = 0;
        file_ = OpenFileBeside(path_.c_str(), "wb", &temporary_);
        if (!file_) return Fail(errno ? std::strerror(errno) : "it cannot be replaced", why);
        return true;
    }
    FILE* File() const { return file_; }
    // Closes the file and puts it in the target's place; false (with the file dropped) when any
    // of its writes, or that, failed.
    bool Commit(std::string* why) {
        if (!file_) return Fail("it was not opened", why);
        errno = 0;
        bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
        int error = errno;
        ok = std::fclose(file_) == 0 && ok;
        if (!error) error = errno;
        file_ = nullptr;
        if (ok && !MoveFileOver(temporary_.c_str(), path_.c_str())) {
            ok = false;
            error = errno;
        }
        if (ok) {
            temporary_.clear();
            return true;
        }
        Drop();
        return Fail(error ? std::strerror(error) : "a write failed", why);
    }
    // Removes the unfinished file; the target stays as it was.
    void Drop() {
        if (file_) std::fclose(file_);
        file_ = nullptr;
        if (!temporary_.empty()) RemoveFile(temporary_.c_str());
        temporary_.clear();
    }

private:
    static bool Fail(const char* reason, std::string* why) {
        *why = reason;
        return false;
    }
    std::string path_;
    std::string temporary_;
    FILE* file_ = nullptr;
};

// The window's image in colour indices of `palette`: a GIF stores indices. False when it shows a
// colour the palette lacks.
bool ToIndices(const std::vector<uint32_t>& rgb, const uint8_t* palette, std::vector<uint8_t>* indices) {
    std::unordered_map<uint32_t, uint8_t> index;
    for (int i = 255; i >= 0; --i)
        index[uint32_t{palette[3 * i]} << 16 | uint32_t{palette[3 * i + 1]} << 8 | palette[3 * i + 2]] = static_cast<uint8_t>(i);
    indices->resize(rgb.size());
    for (size_t k = 0; k < rgb.size(); ++k) {
        auto found = index.find(rgb[k] & 0xFFFFFFu);
        if (found == index.end()) return false;
        (*indices)[k] = found->second;
    }
    return true;
}

HWND MainWindowHandle() {
    auto windows = headless::TopLevelWindows();
    return windows.empty() ? nullptr : windows.front();
}

}  // namespace

int main(int argc, char** argv) {
    if (AnsweredVersion("ondrel-replay", argc, argv)) return 0;
    std::string error;
    std::optional<Options> options = ParseOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "ondrel-replay: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(options->script, ignored)) {
        std::fprintf(stderr, "ondrel-replay: %s is a folder, not a script\n", options->script.c_str());
        return 2;
    }
    std::ifstream in(options->script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ondrel-replay: cannot read %s: %s\n", options->script.c_str(), std::strerror(errno));
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    ParsedScript script = ParseScript(text.str());
    if (!script.error.empty()) {
        std::fprintf(stderr, "ondrel-replay: %s:%s\n", options->script.c_str(), script.error.c_str());
        return 2;
    }

    // Every output is opened now, so that one that cannot be written costs no run. The scene is
    // written by SaveBmp, which makes its own file: for it this is only the check.
    Output sceneCheck, spansOut, windowOut, gifOut;
    const std::pair<const std::string*, Output*> outputs[] = {
        {&options->scene, &sceneCheck}, {&options->spans, &spansOut}, {&options->window, &windowOut}, {&options->gif, &gifOut}};
    for (const auto& [path, output] : outputs) {
        std::string why;
        if (!path->empty() && !output->Open(*path, &why)) {
            std::fprintf(stderr, "ondrel-replay: cannot write %s: %s\n", path->c_str(), why.c_str());
            return 2;
        }
    }
    sceneCheck.Drop();
    const std::string sceneFile = Absolute(options->scene);

    // Outputs and the script are named from where the user stands; the program's files are then
    // found as the program finds them.
    EnterProgramFolder("ondrel-replay", kProgramFiles);
    headless::Reset();
    Snapshot snapshot;
    GifRecorder gif;
    bool gifOpen = false;
    bool gifFailed = false;
    int presented = 0;
    size_t next = 0;
    ScriptPointer pointer;

    headless::SetShowHook([&](HWND, const uint32_t* pixels, int width, int height) {
        snapshot.window.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
        snapshot.windowWidth = width;
        snapshot.windowHeight = height;
        // Only frames count: the window's first showing, before any frame ran, is not one.
        const Surface* screen = appGlobals.screenSurface;
        if (appGlobals.frameCounter == 0) return;
        ++presented;
        if (options->gif.empty() || !screen || !screen->pixels || gifFailed) return;
        if (!gifOpen) {
            uint8_t palette[kPaletteBytes] = {};
            CopyPalette(palette);
            int32_t w = 0;
            int32_t h = 0;
            screen->GetSize(&w, &h);
            gifOpen = gif.Open(gifOut.File(), width < w ? width : w, height < h ? height : h, palette);
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
        for (; next < script.events.size() && script.events[next].frame == turn; ++next)
            PlayEvent(script.events[next], hwnd, &pointer);
    });

    static char commandLine[] = "";
    int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWDEFAULT);
    int framesRun = headless::IdleTurns() - (exitCode == 0 && appGlobals.windowRegistryCapacity == 0 ? 1 : 0);

    if (next < script.events.size()) {
        const ScriptEvent& first = script.events[next];
        std::fprintf(stderr,
                     "ondrel-replay: %zu event(s) after the last frame run (%d) were not delivered, the first at line %d "
                     "(frame %d)\n",
                     script.events.size() - next, framesRun, first.line, first.frame);
    }
    // With nothing presented, the window shows what it showed at first; --window and --gif both
    // give that image, and say so.
    bool imagesWanted = !options->window.empty() || !options->gif.empty();
    if (imagesWanted && presented == 0 && !snapshot.window.empty())
        std::fprintf(stderr,
                     "ondrel-replay: no frame was presented in the %d frame(s) run (the program presents every "
                     "frame-skip-th frame, the 10th at start); the image is the window as first shown\n",
                     framesRun);

    bool ok = true;
    auto report = [&](const std::string& path, bool saved, const std::string& why) {
        if (!saved) std::fprintf(stderr, "ondrel-replay: could not write %s: %s\n", path.c_str(), why.c_str());
        ok = ok && saved;
    };
    if (!options->scene.empty()) {
        errno = 0;
        bool saved = !snapshot.scene.empty() &&
                     SaveBmp(sceneFile.c_str(), snapshot.scene.data(), snapshot.pitch, snapshot.height);
        report(options->scene, saved, snapshot.scene.empty() ? "the program made no scene"
                                      : errno                 ? std::strerror(errno)
                                                              : "a write failed");
    }
    if (!options->spans.empty()) {
        for (const WaterSpan& s : snapshot.spans) std::fprintf(spansOut.File(), "%d %d %d\n", s.x0, s.x1, s.y);
        std::string why;
        report(options->spans, spansOut.Commit(&why), why);
    }
    if (!options->window.empty()) {
        std::string why;
        if (snapshot.window.empty()) {
            why = "the program showed no window";
        } else if (!WritePng(windowOut.File(), snapshot.window.data(), snapshot.windowWidth, snapshot.windowHeight)) {
            why = std::strerror(errno);
        } else if (windowOut.Commit(&why)) {
            why.clear();
        }
        if (!why.empty()) windowOut.Drop();
        report(options->window, why.empty(), why);
    }
    if (!options->gif.empty()) {
        std::string why;
        std::vector<uint8_t> still;
        uint8_t palette[768] = {};
        CopyPalette(palette);
        if (gifFailed) {
            why = std::strerror(errno);
        } else if (!gifOpen && snapshot.window.empty()) {
            why = "the program showed no window";
        } else if (!gifOpen && !ToIndices(snapshot.window, palette, &still)) {
            why = "the window shows colours outside the palette";
        } else if (!gifOpen && !gif.Open(gifOut.File(), snapshot.windowWidth, snapshot.windowHeight, palette)) {
            why = std::strerror(errno);
        } else {
            if (!gifOpen) gif.AddFrame(still.data(), snapshot.windowWidth, headless::Now());
            errno = 0;
            if (!gif.Close()) why = errno ? std::strerror(errno) : "the GIF encoder failed";
            else if (gifOut.Commit(&why)) why.clear();
        }
        if (!why.empty()) gifOut.Drop();
        report(options->gif, why.empty(), why);
    }

    // A run cut short by --frames leaves the program running: release it as it would have.
    DeleteAllWindows();
    AppShutdown();
    std::fprintf(stderr, "ondrel-replay: %d frames run, program exit code %d\n", framesRun, exitCode);
    return ok ? 0 : 1;
}
