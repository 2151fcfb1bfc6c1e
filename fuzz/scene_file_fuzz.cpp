// The sandbox's scene file reader (DecodeScene) on any file. A scene file is over 300 KB and ends
// in a check sum, so the input describes one rather than being one:
//   flags (1 byte): 1 seal (the last 4 bytes become the FNV-1a of the bytes before them),
//                   2 the standard headers (else the next 54 input bytes are the headers as they are),
//                   4 with them, bfSize the whole file's, as earlier versions wrote it
//   n (2 bytes), then n bytes: the first pixel bytes in file order, the rest of the pixels 0
//   the rest: everything after the pixels (the record, taps, spans and check sum)
// with a fixed colour table in between. Beside the sanitizers: a file it refuses gives a reason
// and leaves the caller's scene alone; a file it takes holds taps inside the scene and spans of
// cells, and written out again with its own colour table is the same file, byte for byte (once
// given its bfSize: a file of an earlier version gives the whole file's size there).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "sandbox/scene_file.h"

namespace {

constexpr size_t kPixels = 640 * 480;
constexpr size_t kHeaders = 54;
constexpr size_t kTable = 1024;

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Fnv1a(const uint8_t* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

// The headers of a 640 × 480 8-bit bitmap, pixels after 1078 bytes, as the scene file's layout
// describes them, with `size` as bfSize.
void StandardHeaders(uint8_t* h, uint32_t size) {
    std::fill(h, h + kHeaders, uint8_t{0});
    h[0] = 'B';
    h[1] = 'M';
    Put32(h + 2, size);
    Put32(h + 10, kHeaders + kTable);
    Put32(h + 14, 40);
    Put32(h + 18, 640);
    Put32(h + 22, 480);
    h[26] = 1;
    h[28] = 8;
    Put32(h + 34, kPixels);
    Put32(h + 38, 2835);
    Put32(h + 42, 2835);
    Put32(h + 46, 256);
    Put32(h + 50, 256);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Bytes in(data, size);
    const uint8_t flags = in.U8();
    std::vector<uint8_t> file(kHeaders + kTable + kPixels, 0);
    if (!(flags & 2))
        for (size_t i = 0; i < kHeaders; ++i) file[i] = in.U8();
    // The colour table: entry i is (blue, green, red, 0) = (i, 255 − i, i / 2, 0).
    for (size_t i = 0; i < 256; ++i) {
        file[kHeaders + 4 * i] = static_cast<uint8_t>(i);
        file[kHeaders + 4 * i + 1] = static_cast<uint8_t>(255 - i);
        file[kHeaders + 4 * i + 2] = static_cast<uint8_t>(i / 2);
    }
    const size_t low = in.U8();
    const size_t given = std::min<size_t>(low | size_t{in.U8()} << 8, kPixels);
    for (size_t i = 0; i < given; ++i) file[kHeaders + kTable + i] = in.U8();
    file.insert(file.end(), in.Rest(), in.Rest() + in.RestSize());
    if (flags & 2) StandardHeaders(file.data(), flags & 4 ? static_cast<uint32_t>(file.size()) : kHeaders + kTable + kPixels);
    if ((flags & 1) && file.size() >= kHeaders + kTable + kPixels + 4)
        Put32(file.data() + file.size() - 4, Fnv1a(file.data(), file.size() - 4));

    sandbox::SceneState scene;
    scene.step = 12345;
    scene.taps.push_back(sandbox::Tap{1, 2});
    std::string why;
    if (!sandbox::DecodeScene(file, &scene, &why)) {
        FUZZ_CHECK(!why.empty());
        FUZZ_CHECK(scene.step == 12345 && scene.pixels.empty() && scene.spans.empty());
        FUZZ_CHECK(scene.taps.size() == 1 && scene.taps[0] == (sandbox::Tap{1, 2}));
        return 0;
    }
    FUZZ_CHECK(scene.pixels.size() == kPixels);
    for (const sandbox::Tap& t : scene.taps) FUZZ_CHECK(t.x >= 0 && t.x < 640 && t.y >= 0 && t.y < 480);
    for (const WaterSpan& s : scene.spans) FUZZ_CHECK(s.x0 <= s.x1 && s.active <= 1);
    uint8_t palette[768];
    for (size_t i = 0; i < 256; ++i) {
        palette[3 * i] = file[kHeaders + 4 * i + 2];
        palette[3 * i + 1] = file[kHeaders + 4 * i + 1];
        palette[3 * i + 2] = file[kHeaders + 4 * i];
    }
    std::vector<uint8_t> again = sandbox::EncodeScene(scene, palette);
    Put32(again.data() + 2, file[2] | file[3] << 8 | file[4] << 16 | static_cast<uint32_t>(file[5]) << 24);
    Put32(again.data() + again.size() - 4, Fnv1a(again.data(), again.size() - 4));
    FUZZ_CHECK(again == file);
    return 0;
}
