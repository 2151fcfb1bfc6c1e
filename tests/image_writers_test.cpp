// The animated GIF writer's timing, read back from the file by the format's own layout
// (tests/support/gif_file). A GIF counts delays in whole centiseconds, and browsers show a delay
// of 10 ms or less as 100 ms: every frame must be shown at least 20 ms, the delays must add up to
// the time that passed, and a frame that comes sooner than 20 ms after the one waiting to be
// written is shown in that one's place, from that one's time.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/gif_file.h"
#include "tests/support/io_temp_dir.h"
#include "tools/replay/image_writers.h"

namespace {

constexpr int kWidth = 8;
constexpr int kHeight = 4;

struct Timing {
    const char* what;
    std::vector<uint32_t> at;  // when each frame comes, in milliseconds
    std::vector<int> kept;     // the frames the file shows, in order
    std::vector<int> delays;   // and their delays, in centiseconds
};

// Worked by hand. 16 ms apart, every other frame is too soon and takes the waiting one's place;
// the rest are written 32 ms apart, rounded on the running total (3.2, 6.4, 9.6, 12.8, 16.0 cs:
// 3, 6, 10, 13, 16), and the last is shown as long as the one before it.
const Timing kTimings[] = {
    {"a frame every 16 ms (a 60 Hz display, the replay tool at frame skip 1)",
     {0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160},
     {1, 3, 5, 7, 9, 10},
     {3, 3, 4, 3, 3, 3}},
    // Starting to record shows the scene at 0 ms, and the first frame that steps comes at once.
    {"a second frame 1 ms after the first, then every 33 ms", {0, 1, 34, 67, 100}, {1, 2, 3, 4}, {3, 4, 3, 3}},
    {"a frame every 20 ms (the batch mode's step)", {0, 20, 40, 60}, {0, 1, 2, 3}, {2, 2, 2, 2}},
    // The replay tool's clock starts at 10 s; frame skip 4 shows a frame every 4 × 16 ms.
    {"every 64 ms from 10.16 s on", {10160, 10224, 10288}, {0, 1, 2}, {6, 7, 6}},
    {"one frame alone: shown 100 ms", {500}, {0}, {10}},
    {"a clock that goes back: the frame takes the waiting one's place", {1000, 990, 1030}, {1, 2}, {3, 3}},
};

TEST(GifRecorder, ShowsEachFrameAtLeastTwentyMillisecondsAndKeepsTheClock) {
    IoTempDir dir;
    const std::vector<uint8_t> palette(768, 0);
    for (const Timing& t : kTimings) {
        SCOPED_TRACE(t.what);
        const std::string name = dir.File("timing.gif");
        FILE* out = std::fopen(name.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        GifRecorder recorder;
        ASSERT_TRUE(recorder.Open(out, kWidth, kHeight, palette.data()));
        for (size_t k = 0; k < t.at.size(); ++k) {
            const std::vector<uint8_t> frame(kWidth * kHeight, static_cast<uint8_t>(k + 1));
            recorder.AddFrame(frame.data(), kWidth, t.at[k]);
        }
        EXPECT_TRUE(recorder.Close());
        EXPECT_EQ(std::fclose(out), 0);
        EXPECT_EQ(recorder.Frames(), static_cast<int>(t.kept.size()));

        giftest::File gif;
        std::string why;
        ASSERT_TRUE(giftest::Read(ReadBytes(name), &gif, &why)) << why;
        EXPECT_EQ(gif.width, kWidth);
        EXPECT_EQ(gif.height, kHeight);
        EXPECT_EQ(gif.Delays(), t.delays);
        const std::vector<std::vector<uint8_t>> shown = gif.Shown();
        ASSERT_EQ(shown.size(), t.kept.size());
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(shown[i], std::vector<uint8_t>(kWidth * kHeight, static_cast<uint8_t>(t.kept[i] + 1))) << "image " << i;
    }
}

}  // namespace
