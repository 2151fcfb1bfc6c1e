// LoadDataPack on any "Data0.cdf". Beside the sanitizers: the process palette and the font are
// the first 9600 bytes of the file (zeros where it is short) put back in order with the pack's
// keys, the palette from bytes 0 to 767 and the glyphs from 768 on (worked out here from the
// definition of the shuffle); bytes past 9600 change nothing.
#include <cstdint>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "app/data_pack.h"
#include "app/globals.h"
#include "fuzz/fuzz_support.h"
#include "gfx/font.h"
#include "gfx/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteFile("Data0.cdf", data, size);
    std::vector<uint8_t> pack(kDataPackBytes, 0);
    std::memcpy(pack.data(), data, size < pack.size() ? size : pack.size());
    fuzz::ReferenceUnscramble(pack.data(), kDataPackBytes, kDataPackKeyA, kDataPackKeyB);

    // The pack is read from the current folder; libFuzzer's own paths are named from the first.
    static const int home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (home < 0 || chdir(fuzz::Folder().c_str()) != 0) fuzz::Broken("cannot enter the folder", __FILE__, __LINE__);
    LoadDataPack();
    if (fchdir(home) != 0) fuzz::Broken("cannot go back", __FILE__, __LINE__);
    uint8_t palette[768];
    FUZZ_CHECK(CopyPalette(palette));
    FUZZ_CHECK(std::memcmp(palette, pack.data(), 768) == 0);
    const BitmapFont* font = appGlobals.font;
    FUZZ_CHECK(font && font->glyphs && font->cellWidth == 8 && font->cellHeight == 12);
    FUZZ_CHECK(std::memcmp(font->glyphs, pack.data() + 768, kDataPackBytes - 768) == 0);
    return 0;
}
