// zlib's streams, packed in one call and unpacked in growing pieces up to a limit.
#include "tools/zlib/zlib_pack.h"

#include <algorithm>
#include <climits>

#if defined(ONDREL_HAVE_ZLIB)
#include <zlib.h>
#endif

namespace zlibpack {

#if defined(ONDREL_HAVE_ZLIB)
bool CanPack() { return true; }

std::vector<uint8_t> Pack(const std::vector<uint8_t>& bytes) {
    if (bytes.size() > ULONG_MAX / 2) return {};
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK) return {};
    out.resize(size);
    return out;
}

Unpacked Unpack(const std::vector<uint8_t>& packed, size_t limit, std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (packed.size() > UINT_MAX || limit >= UINT_MAX) return Unpacked::TooLarge;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return Unpacked::Damaged;
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    const size_t room = limit + 1;  // a byte past the limit tells a stream that goes on
    size_t had = 0;
    int status = Z_OK;
    for (;;) {
        if (had == bytes->size()) {
            if (had == room) break;
            bytes->resize(std::min(room, std::max<size_t>(bytes->size() * 2, 64 * 1024)));
        }
        z.next_out = bytes->data() + had;
        z.avail_out = static_cast<uInt>(bytes->size() - had);
        status = inflate(&z, Z_NO_FLUSH);
        had = bytes->size() - z.avail_out;
        if (status != Z_OK) break;  // the end, or no way on
    }
    const uInt left = z.avail_in;
    inflateEnd(&z);
    bytes->resize(had);
    if (had > limit) return Unpacked::TooLarge;
    if (status == Z_STREAM_END) return left == 0 ? Unpacked::Whole : Unpacked::BytesAfter;
    return status == Z_BUF_ERROR ? Unpacked::CutShort : Unpacked::Damaged;
}
#else
bool CanPack() { return false; }
std::vector<uint8_t> Pack(const std::vector<uint8_t>&) { return {}; }
Unpacked Unpack(const std::vector<uint8_t>&, size_t, std::vector<uint8_t>* bytes) {
    bytes->clear();
    return Unpacked::NoZlib;
}
#endif

}  // namespace zlibpack
