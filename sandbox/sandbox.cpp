// The sandbox's run: its media, then its window or its batch mode.
#include "sandbox/sandbox.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/globals.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
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
    "Without a display: loads IN (a scene, or any 8-bit bitmap as walls), adds the taps, runs N\n"
    "steps and writes the scene (OUT.bmp), a picture of it (PNG) or a recording of the run (GIF).\n";

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
};

// False, with the reason, for words that are not a batch job.
bool ParseBatch(const std::vector<std::string>& words, BatchJob* job, std::string* why) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
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
    if (!job->png.empty() && std::string(ScreenshotExtension()) != "png") return *why = "--png needs libpng, which this build lacks", false;
    if (!job->gif.empty() && !Recording::Available()) return *why = "--gif needs giflib, which this build lacks", false;
    // Names are the caller's, from the folder it was started in; the media's folder comes next.
    for (std::string* name : {&job->scene, &job->save, &job->png, &job->gif}) {
        std::error_code error;
        if (!name->empty()) *name = std::filesystem::absolute(*name, error).string();
    }
    return true;
}

// A scene file, or else any 8-bit bitmap as walls.
bool LoadInto(Scene& scene, const std::string& name, std::string* why) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(name, &bytes, why)) return false;
    SceneState state;
    if (DecodeScene(bytes, &state, why)) return scene.Restore(state);
    if (why->rfind("damaged", 0) == 0 || why->rfind("a sandbox scene", 0) == 0) {
        *why = name + ": " + *why;
        return false;
    }
    std::vector<bool> light;
    if (!ImportImage(name, &light, why)) return false;
    scene.SetWalls(light);
    return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> words;
    std::string word;
    for (const char* p = commandLine ? commandLine : ""; ; ++p) {
        if (*p && *p != ' ' && *p != '\t') {
            word += *p;
            continue;
        }
        if (!word.empty()) words.push_back(word);
        word.clear();
        if (!*p) return words;
    }
}

int RunBatch(const std::vector<std::string>& words) {
    BatchJob job;
    std::string why;
    if (!ParseBatch(words, &job, &why)) return Fail(2, why + "\n" + kUsage);
    if (!EnterMedia()) return Fail(1, "cannot read the palette of .\\Media\\Sprites.bmp");
    Scene scene;
    if (!job.scene.empty() && !LoadInto(scene, job.scene, &why)) return Fail(2, why);
    for (const Tap& t : job.taps) scene.AddTap(t.x, t.y);

    uint8_t palette[768];
    CopyPalette(palette);
    Recording recording;
    if (!job.gif.empty() && !recording.Start(job.gif, palette, &why)) return Fail(2, why);
    // A recording holds at most about 500 frames, 20 ms a step.
    const long every = job.steps / 500 + 1;
    recording.AddFrame(scene.Pixels(), 0);
    for (long i = 1; i <= job.steps; ++i) {
        scene.Step();
        if (i % every == 0 || i == job.steps) recording.AddFrame(scene.Pixels(), static_cast<uint32_t>(i * 20));
        if (job.steps >= 20000 && i % (job.steps / 10) == 0)
            std::fprintf(stderr, "ondrel-sandbox: step %ld of %ld\n", i, job.steps);
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
