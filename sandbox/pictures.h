// Pictures of the scene: a screenshot as a PNG and a recording as an animated GIF, with libpng
// and giflib (ondrel_image_writers), on every platform. A build made without libpng writes the
// screenshot as an 8-bit bitmap, and one without giflib cannot record; the functions say so.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class GifRecorder;  // tools/replay/image_writers.h

namespace sandbox {

// The extension screenshots get in this build: "png", or "bmp" without libpng.
const char* ScreenshotExtension();
// Writes the scene's pixels (kSceneWidth × kSceneHeight palette indices) with `palette` (768
// bytes) as a picture named `name`. False, with the reason in *why, on failure.
bool WriteScreenshot(const std::string& name, const uint8_t* pixels, const uint8_t* palette, std::string* why);

// An animated GIF of the scene, one frame a call. Each frame is shown at least 20 ms, as long as
// the clock says; a frame that comes sooner takes the place of the one before it.
class Recording {
public:
    Recording();
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    static bool Available();
    bool Start(const std::string& name, const uint8_t* palette, std::string* why);
    void AddFrame(const uint8_t* pixels, uint32_t milliseconds);
    // Ends the file; false when any write failed.
    bool Stop();
    bool On() const { return file != nullptr; }
    int Frames() const;
    const std::string& Name() const { return name; }

private:
    std::unique_ptr<GifRecorder> gif;  // a new one for each recording
    FILE* file = nullptr;
    std::string name;
};

}  // namespace sandbox
