// Screenshots and recordings, through ondrel_image_writers.
#include "sandbox/pictures.h"

#include <vector>

#include "gfx/image_files.h"
#include "sandbox/scene.h"
#include "tools/replay/image_writers.h"

namespace sandbox {

const char* ScreenshotExtension() { return CanWritePng() ? "png" : "bmp"; }

bool WriteScreenshot(const std::string& name, const uint8_t* pixels, const uint8_t* palette, std::string* why) {
    bool ok = false;
    if (CanWritePng()) {
        std::vector<uint32_t> rgb(static_cast<size_t>(kSceneWidth) * kSceneHeight);
        for (size_t i = 0; i < rgb.size(); ++i) {
            const uint8_t* c = palette + 3 * pixels[i];
            rgb[i] = static_cast<uint32_t>(c[0]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[2];
        }
        FILE* file = std::fopen(name.c_str(), "wb");
        ok = file && WritePng(file, rgb.data(), kSceneWidth, kSceneHeight, PngColours::TableWhenFew);
        ok = file && std::fclose(file) == 0 && ok;
    } else {
        ok = SaveBmp(name.c_str(), pixels, kSceneWidth, kSceneHeight);  // the process palette is the scene's
    }
    if (!ok) *why = name + ": cannot be written";
    return ok;
}

Recording::Recording() = default;

Recording::~Recording() { Stop(); }

bool Recording::Available() { return CanWriteGif(); }

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
    gif = std::make_unique<GifRecorder>();
    if (!gif->Open(file, kSceneWidth, kSceneHeight, palette)) {
        std::fclose(file);
        file = nullptr;
        *why = fileName + ": cannot be written";
        return false;
    }
    name = fileName;
    return true;
}

void Recording::AddFrame(const uint8_t* pixels, uint32_t milliseconds) {
    if (file) gif->AddFrame(pixels, kSceneWidth, milliseconds);
}

bool Recording::Stop() {
    if (!file) return true;
    bool ok = gif->Close();
    ok = std::fclose(file) == 0 && ok;
    file = nullptr;
    return ok;
}

int Recording::Frames() const { return gif ? gif->Frames() : 0; }

}  // namespace sandbox
