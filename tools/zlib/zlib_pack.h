// Bytes packed in zlib's format (RFC 1950: deflate with an Adler-32 check), through the zlib the
// PNG writer links, for the programs that keep data smaller: the sandbox's scene links. A build
// without zlib packs nothing and says so (CanPack).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zlibpack {

// Whether this build has zlib.
bool CanPack();

// The zlib stream of `bytes` at the best compression; empty when there is no zlib.
std::vector<uint8_t> Pack(const std::vector<uint8_t>& bytes);

// What unpacking found: the whole stream and nothing after it; a stream that is damaged (a check
// sum that differs, data that do not inflate); one cut short; bytes after its end; more than the
// limit unpacked (unpacking stops one byte past it); no zlib in this build.
enum class Unpacked { Whole, Damaged, CutShort, BytesAfter, TooLarge, NoZlib };

// Unpacks `packed` into *bytes (what it unpacked, also when it fails), never past `limit` bytes.
Unpacked Unpack(const std::vector<uint8_t>& packed, size_t limit, std::vector<uint8_t>* bytes);

}  // namespace zlibpack
