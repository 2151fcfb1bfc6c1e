// The scrambled-block shuffle worked out straight from its definition, for checking what the
// file stream stores and reads without asking its own code.
#pragma once

#include <cstdint>
#include <vector>

// The partner each byte i of a block of `size` bytes is swapped with, computed with 64-bit
// arithmetic cut to 32 bits at the end; a partner before the block's start is not swapped with.
std::vector<int64_t> ReferencePartners(int32_t size, int32_t keyA, int32_t keyB);

// The block as stored (swaps from the first byte on) and as read back (from the last byte down).
std::vector<uint8_t> ReferenceScramble(std::vector<uint8_t> bytes, int32_t keyA, int32_t keyB);
std::vector<uint8_t> ReferenceUnscramble(std::vector<uint8_t> bytes, int32_t keyA, int32_t keyB);
