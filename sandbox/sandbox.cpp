// The sandbox's run: its media, then its window or its batch mode.
#include "sandbox/sandbox.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/globals.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "platform/stdio_file.h"
#include "sandbox/pictures.h"
#include "sandbox/sandbox_window.h"
#include "sandbox/scene.h"
#include "sandbox/scene_file.h"
#include "win/window.h"

namespace sandbox {

namespace {

constexpr const char* kUsage =
    "usage: ondrel-sandbox                      the sandbox in a window\n"
    "       ondrel-sandbox --run N [--scene IN] [--tap X,Y]... [--save OUT] [--png OUT] [--gif OUT]\n"
    "       ondrel-sandbox --help | --version\n"
    "Without a display: loads IN (a scene, or any 8-bit bitmap as walls), adds the taps, runs N\n"
    "steps and writes the scene (OUT.bmp), a picture of it (PNG) or a recording of the run (GIF).\n"
    "Names with spaces go in double quotes.\n";

const char* const kMediaFiles[] = {kSheetFile, kFontFile, nullptr};

int Fail(int code, const std::string& why) {
    std::fprintf(stderr, "ondrel-sandbox: %s\n", why.c_str());
    return code;
}

// The media's folder becomes the current one, and the palette is the scene's.
bool EnterMedia() {
    EnterProgramFolder("ondrel-sandbox", kMediaFiles);
    return SetDisplayFormat(kSceneWidth, kSceneHeight, 8) && LoadPaletteFromBmp(kSheetFile);
}

bool Number(const std::string& text, long low, long high, long* value) {
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || n < low || n > high) return false;
    *value = n;
    return true;
}

struct BatchJob {
    long steps = -1;
    std::string scene, save, png, gif;
    std::vector<Tap> taps;
    bool help = false;
    bool version = false;
};

// False, with the reason, for words that are not a batch job.
bool ParseBatch(const std::vector<std::string>& words, BatchJob* job, std::string* why) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w == "--help" || w == "-h" || w == "/?") {
            job->help = true;
            return true;
        }
        if (w == "--version") {
            job->version = true;
            return true;
        }
        if (i + 1 >= words.size()) {
            *why = "'" + w + "' needs a value";
            return false;
        }
        const std::string& value = words[++i];
        if (w == "--run") {
            if (!Number(value, 0, 1000000000, &job->steps)) return *why = "--run wants a number of steps, 0 to 1000000000", false;
        } else if (w == "--scene") {
            job->scene = value;
        } else if (w == "--save") {
            job->save = value;
        } else if (w == "--png") {
            job->png = value;
        } else if (w == "--gif") {
            job->gif = value;
        } else if (w == "--tap") {
            size_t comma = value.find(',');
            long x = 0, y = 0;
            if (comma == std::string::npos || !Number(value.substr(0, comma), 0, kSceneWidth - 1, &x) ||
                !Number(value.substr(comma + 1), 0, kSceneHeight - 1, &y))
                return *why = "--tap wants X,Y inside the 640 x 480 scene, not '" + value + "'", false;
            job->taps.push_back(Tap{static_cast<int32_t>(x), static_cast<int32_t>(y)});
        } else {
            *why = "unknown option '" + w + "'";
            return false;
        }
    }
    if (job->steps < 0) return *why = "--run N is missing", false;
    if (!job->png.empty() && std::string(ScreenshotExtension()) != "png") return *why = "--png: this version cannot write PNG pictures", false;
    if (!job->gif.empty() && !Recording::Available()) return *why = "--gif: this version cannot record GIFs", false;
    // Names are the caller's, from the folder it was started in; the media's folder comes next.
    for (std::string* name : {&job->scene, &job->save, &job->png, &job->gif}) {
        std::error_code error;
        if (!name->empty()) *name = std::filesystem::absolute(*name, error).string();
    }
    return true;
}

// A scene file, or else any 8-bit bitmap as walls. A scene file that is damaged or of another
// version is refused rather than taken for a picture.
bool LoadInto(Scene& scene, const std::string& name, std::string* why) {
    SceneState state;
    SceneFault fault = SceneFault::None;
    if (LoadSceneFile(name, &state, why, &fault)) return scene.Restore(state);
    if (fault == SceneFault::Damaged || fault == SceneFault::AnotherVersion || fault == SceneFault::Unreadable) return false;
    std::vector<bool> light;
    if (!ImportImage(name, &light, why)) return false;
    scene.SetWalls(light);
    return true;
}

// Progress on standard error while it is a terminal: a line every kProgressSeconds, each one
// written over the last, and the line ended when the run is.
class Progress {
public:
    explicit Progress(long steps) : total(steps), shown(IsTerminal(stderr)), last(Clock::now()), lastStep(0) {}
    void At(long step, const Scene& scene) {
        if (!shown) return;
        const Clock::time_point now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - last).count();
        if (seconds < kProgressSeconds && step != total) return;
        std::fprintf(stderr, "\rondrel-sandbox: step %ld of %ld, %ld spans, %.0f steps/s   ", step, total,
                     static_cast<long>(scene.SpanCount()), static_cast<double>(step - lastStep) / std::max(seconds, 1e-9));
        std::fflush(stderr);
        last = now;
        lastStep = step;
        wrote = true;
    }
    ~Progress() {
        if (wrote) std::fputc('\n', stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    long total;
    bool shown;
    bool wrote = false;
    Clock::time_point last;
    long lastStep;
};

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> words;
    const char* p = commandLine ? commandLine : "";
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) return words;
        std::string word;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t backslashes = 0;
                for (; *p == '\\'; ++p) ++backslashes;
                if (*p != '"') {
                    word.append(backslashes, '\\');
                    continue;
                }
                word.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    word += '"';
                    ++p;
                }
                continue;  // an even run: the quote that follows is read as one
            }
            if (*p == '"') {
                if (quoted && p[1] == '"') {
                    word += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
                continue;
            }
            word += *p++;
        }
        words.push_back(word);
    }
}

int RunBatch(const std::vector<std::string>& words) {
    BatchJob job;
    std::string why;
    if (!ParseBatch(words, &job, &why)) return Fail(2, why + "\n" + kUsage);
    if (job.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (job.version) {
        std::printf("ondrel-sandbox %s\n", ONDREL_SANDBOX_VERSION);
        return 0;
    }
    if (!EnterMedia()) return Fail(1, "cannot read the palette of .\\Media\\Sprites.bmp");
    Scene scene;
    if (!job.scene.empty() && !LoadInto(scene, job.scene, &why)) return Fail(2, why);
    for (const Tap& t : job.taps)
        if (!scene.AddTap(t.x, t.y, &why)) return Fail(2, "--tap " + std::to_string(t.x) + "," + std::to_string(t.y) + ": " + why);

    uint8_t palette[768];
    CopyPalette(palette);
    Recording recording;
    if (!job.gif.empty() && !recording.Start(job.gif, palette, &why)) return Fail(2, why);
    // A recording holds at most about 500 frames, 20 ms a step.
    const long every = job.steps / 500 + 1;
    recording.AddFrame(scene.Pixels(), 0);
    {
        Progress progress(job.steps);
        for (long i = 1; i <= job.steps; ++i) {
            scene.Step();
            if (i % every == 0 || i == job.steps) recording.AddFrame(scene.Pixels(), static_cast<uint32_t>(i * 20));
            progress.At(i, scene);
        }
    }
    if (!recording.Stop()) return Fail(2, job.gif + ": cannot be written");
    if (!job.save.empty() && !SaveSceneFile(job.save, scene.Save(), &why)) return Fail(2, why);
    if (!job.png.empty() && !WriteScreenshot(job.png, scene.Pixels(), palette, &why)) return Fail(2, why);
    return 0;
}

int SandboxMain(HINSTANCE, char* commandLine) {
    appGlobals.commandLine = commandLine;
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (!words.empty()) return RunBatch(words);

    if (!EnterMedia()) return Fail(1, "cannot read the palette of .\\Media\\Sprites.bmp");
    BitmapFont font(8, 12, kFontFile);
    if (!font.glyphs) return Fail(1, "cannot read the font .\\Media\\font8x12.fon");
    int exitCode = 0;
    {
        Scene scene;
        new SandboxWindow(&font, &scene, SceneFolder());  // the registry keeps it; Escape deletes it
        exitCode = RunMessageLoop();
        DeleteAllWindows();  // after a WM_QUIT the window is still there: it keeps its scene first
    }
    return exitCode;
}

}  // namespace sandbox
