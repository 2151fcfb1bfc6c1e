// Reading an animated GIF file back by the format's own layout, for tests of what the program
// writes: the screen's size and colour table, and each image with the delay its graphic control
// block gives it, decoded from its LZW data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace giftest {

struct Image {
    int delay = -1;  // centiseconds, from the graphic control block before the image; -1 without one
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;  // width × height colour indices, top row first
};

struct File {
    int width = 0, height = 0;
    std::vector<uint8_t> colours;  // the global colour table, 3 bytes an entry
    std::vector<Image> images;
    // Each image drawn over the ones before it, as a viewer shows the animation: one picture of
    // width × height indices after each image.
    std::vector<std::vector<uint8_t>> Shown() const;
    // The delays of the images, in order.
    std::vector<int> Delays() const;
};

// The GIF in `bytes`; false, with the reason in *why, when it breaks the format.
bool Read(const std::vector<uint8_t>& bytes, File* file, std::string* why);

}  // namespace giftest
