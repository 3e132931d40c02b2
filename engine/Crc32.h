#pragma once
// CRC-32 of ZIP archives (the polynomial 0xEDB88320, as zlib's crc32): every byte extracted or
// backed up passes through it, so it folds 64 bytes at a time with carry-less multiplication on
// processors that have it and reads eight bytes a step through tables elsewhere. zlib's own is
// several times slower and took a third of the time of an extraction.
#include <array>
#include <cstddef>
#include <cstdint>

namespace engine {

// The CRC of data following a CRC so far (0 to start), like zlib's crc32(crc, data, size).
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);

// The CRC register (the inverted CRC) after one more byte: the traditional ZIP encryption updates
// its keys with it, a byte at a time.
extern const std::array<std::uint32_t, 256> kCrc32Table;
inline std::uint32_t Crc32Step(std::uint32_t reg, unsigned char byte) { return kCrc32Table[(reg ^ byte) & 0xFF] ^ (reg >> 8); }

// The table-driven computation alone, to test the fast one against.
std::uint32_t Crc32Portable(std::uint32_t crc, const void* data, std::size_t size);

}  // namespace engine
