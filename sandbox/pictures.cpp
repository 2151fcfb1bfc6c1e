// Screenshots and recordings, through ondrel_image_writers when the build has it.
#include "sandbox/pictures.h"

#include <vector>

#include "sandbox/scene.h"
#include "gfx/image_files.h"

#if ONDREL_SANDBOX_IMAGE_WRITERS
#include "tools/replay/image_writers.h"
#endif

namespace sandbox {

#if ONDREL_SANDBOX_IMAGE_WRITERS
struct Recording::Gif {
    GifRecorder recorder;
};
#else
struct Recording::Gif {
    int frames = 0;
};
#endif

const char* ScreenshotExtension() {
#if ONDREL_SANDBOX_IMAGE_WRITERS
    if (CanWritePng()) return "png";
#endif
    return "bmp";
}

bool WriteScreenshot(const std::string& name, const uint8_t* pixels, const uint8_t* palette, std::string* why) {
#if ONDREL_SANDBOX_IMAGE_WRITERS
    if (CanWritePng()) {
        std::vector<uint32_t> rgb(static_cast<size_t>(kSceneWidth) * kSceneHeight);
        for (size_t i = 0; i < rgb.size(); ++i) {
            const uint8_t* c = palette + 3 * pixels[i];
            rgb[i] = static_cast<uint32_t>(c[0]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[2];
        }
        FILE* file = std::fopen(name.c_str(), "wb");
        bool ok = file && WritePng(file, rgb.data(), kSceneWidth, kSceneHeight, PngColours::TableWhenFew);
        ok = file && std::fclose(file) == 0 && ok;
        if (!ok) *why = name + ": cannot be written";
        return ok;
    }
#endif
    // Without libpng: an 8-bit bitmap with the process palette, the scene's.
    (void)palette;
    if (SaveBmp(name.c_str(), pixels, kSceneWidth, kSceneHeight)) return true;
    *why = name + ": cannot be written";
    return false;
}

Recording::Recording() : gif(std::make_unique<Gif>()) {}

Recording::~Recording() { Stop(); }

bool Recording::Available() {
#if ONDREL_SANDBOX_IMAGE_WRITERS
    return CanWriteGif();
#else
    return false;
#endif
}

bool Recording::Start(const std::string& fileName, const uint8_t* palette, std::string* why) {
    Stop();
    if (!Available()) {
        *why = "recording needs giflib, which this build lacks";
        return false;
    }
    file = std::fopen(fileName.c_str(), "wb");
    if (!file) {
        *why = fileName + ": cannot be written";
        return false;
    }
    gif = std::make_unique<Gif>();
#if ONDREL_SANDBOX_IMAGE_WRITERS
    if (!gif->recorder.Open(file, kSceneWidth, kSceneHeight, palette)) {
        std::fclose(file);
        file = nullptr;
        *why = fileName + ": cannot be written";
        return false;
    }
#else
    (void)palette;
#endif
    name = fileName;
    return true;
}

void Recording::AddFrame(const uint8_t* pixels, uint32_t milliseconds) {
#if ONDREL_SANDBOX_IMAGE_WRITERS
    if (file) gif->recorder.AddFrame(pixels, kSceneWidth, milliseconds);
#else
    (void)pixels;
    (void)milliseconds;
#endif
}

bool Recording::Stop() {
    if (!file) return true;
    bool ok = true;
#if ONDREL_SANDBOX_IMAGE_WRITERS
    ok = gif->recorder.Close();
#endif
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

int Recording::Frames() const {
#if ONDREL_SANDBOX_IMAGE_WRITERS
    return gif->recorder.Frames();
#else
    return gif->frames;
#endif
}

}  // namespace sandbox
