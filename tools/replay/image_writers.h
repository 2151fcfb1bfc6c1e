// PNG and animated-GIF output for recordings.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// Whether this build writes the format: libpng and giflib are optional.
bool CanWritePng();
bool CanWriteGif();

// How a PNG stores its colours: red, green, blue bytes, or, for a picture of at most 256 colours,
// a colour table and one byte a pixel (a small file; other pictures still get bytes).
enum class PngColours { Rgb, TableWhenFew };

// Writes 0x00RRGGBB pixels (rows top-down) as an 8-bit PNG into `file`, which stays open. False
// when a write failed.
bool WritePng(FILE* file, const uint32_t* pixels, int width, int height, PngColours colours = PngColours::Rgb);

// An animated GIF of 8-bit frames that all share one 256-colour palette. Each frame is stored as
// the rectangle that changed since the previous one; the file loops forever.
//
// Frames keep the clock's time: each is shown from its own time until the next one's, in the
// whole centiseconds a GIF counts, rounded so that the delays add up to the time that passed.
// Browsers show a delay of 10 ms or less as 100 ms, so no frame is shown less than
// kMinFrameMs: a frame that comes sooner after the one waiting to be written takes that one's
// place (the older frame is dropped, the newer shown from its time).
class GifRecorder {
public:
    GifRecorder() = default;
    ~GifRecorder();
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    // `palette` is 768 bytes of red, green, blue. The GIF goes into `file`, which Close leaves
    // open.
    bool Open(FILE* file, int width, int height, const uint8_t* palette);
    static constexpr uint32_t kMinFrameMs = 20;

    // A frame shown at `milliseconds`; `pixels` has `pitch` bytes per row.
    void AddFrame(const uint8_t* pixels, int pitch, uint32_t milliseconds);
    // Writes the last frame, shown as long as the one before it (100 ms when it is the only
    // one), and closes the file. False on any failure.
    bool Close();
    // The frames written so far.
    int Frames() const { return frames_; }

private:
    bool WritePending(uint32_t untilMs);

    void* gif_ = nullptr;  // GifFileType
    FILE* file_ = nullptr;  // not owned
    int width_ = 0;
    int height_ = 0;
    bool ok_ = true;
    int frames_ = 0;
    std::vector<uint8_t> shown_;    // the image as the viewer has it after the written frames
    std::vector<uint8_t> pending_;  // the newest frame, written once its duration is known
    uint32_t pendingAt_ = 0;        // when it is shown from
    uint32_t lastIntervalMs_ = 0;
    bool hasPending_ = false;
    uint32_t writtenCentiseconds_ = 0;  // total delay written so far, to keep the timing exact
};
