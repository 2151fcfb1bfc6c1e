// The shuffle of scrambled blocks, from its definition.
#include "tests/support/scramble_reference.h"

#include <cstddef>
#include <utility>

std::vector<int64_t> ReferencePartners(int32_t size, int32_t keyA, int32_t keyB) {
    std::vector<int64_t> partners;
    for (int64_t i = 0; i < size; ++i) {
        uint64_t a = static_cast<uint64_t>(static_cast<int64_t>(keyA));
        uint64_t b = static_cast<uint64_t>(static_cast<int64_t>(keyB));
        uint64_t wide = 201 * a * static_cast<uint64_t>(i * i) + a - 2 * b * b +
                        static_cast<uint64_t>(2 * i) - static_cast<uint64_t>(int64_t{size});
        int64_t v = static_cast<int64_t>(wide & 0xFFFFFFFFu);
        if (v >= 0x80000000LL) v -= 0x100000000LL;
        int64_t modulus = size - i;
        int64_t r;
        if (v == 0) r = 0;
        else if (v == INT32_MIN) r = -(0x80000000LL % modulus);
        else r = (v < 0 ? -v : v) % modulus;
        if (i + r < 0) r = 0;
        partners.push_back(i + r);
    }
    return partners;
}

std::vector<uint8_t> ReferenceScramble(std::vector<uint8_t> bytes, int32_t keyA, int32_t keyB) {
    auto partners = ReferencePartners(static_cast<int32_t>(bytes.size()), keyA, keyB);
    for (size_t i = 0; i < bytes.size(); ++i) std::swap(bytes[i], bytes[partners[i]]);
    return bytes;
}

std::vector<uint8_t> ReferenceUnscramble(std::vector<uint8_t> bytes, int32_t keyA, int32_t keyB) {
    auto partners = ReferencePartners(static_cast<int32_t>(bytes.size()), keyA, keyB);
    for (size_t i = bytes.size(); i-- > 0;) std::swap(bytes[i], bytes[partners[i]]);
    return bytes;
}
