// Our CRC-32 against zlib's, over the lengths and alignments where the folding and the tables
// hand over to each other, and when a CRC is carried on over pieces.
#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/Crc32.h"
#include "TestSupport.h"

namespace {
std::uint32_t ZlibCrc(std::uint32_t crc, const std::string& data, std::size_t at, std::size_t size) {
  return static_cast<std::uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(data.data() + at), static_cast<uInt>(size)));
}
}  // namespace

TEST(Crc32, KnownValues) {
  EXPECT_EQ(engine::Crc32(0, "", 0), 0u);
  EXPECT_EQ(engine::Crc32(0, "123456789", 9), 0xCBF43926u);
  std::string zeros(4096, '\0');
  EXPECT_EQ(engine::Crc32(0, zeros.data(), zeros.size()), ZlibCrc(0, zeros, 0, zeros.size()));
  std::string ones(4096, '\xFF');
  EXPECT_EQ(engine::Crc32(0, ones.data(), ones.size()), ZlibCrc(0, ones, 0, ones.size()));
}

TEST(Crc32, MatchesZlibAtEveryLengthAndAlignment) {
  const std::string data = testing_support::RandomBytes(70000, 7);
  for (std::size_t at = 0; at < 16; ++at)
    for (std::size_t size = 0; size <= 300; ++size) {
      ASSERT_EQ(engine::Crc32(0, data.data() + at, size), ZlibCrc(0, data, at, size)) << at << " " << size;
      ASSERT_EQ(engine::Crc32Portable(0, data.data() + at, size), ZlibCrc(0, data, at, size)) << at << " " << size;
    }
  for (std::size_t size : {1023u, 1024u, 4095u, 65536u, 65537u, 69999u})
    EXPECT_EQ(engine::Crc32(0, data.data() + 1, size), ZlibCrc(0, data, 1, size)) << size;
}

TEST(Crc32, CarriesOnOverPieces) {
  const std::string data = testing_support::RandomBytes(5000, 11);
  const std::uint32_t whole = ZlibCrc(0, data, 0, data.size());
  for (std::size_t split : {0u, 1u, 15u, 16u, 63u, 64u, 65u, 1000u, 4999u, 5000u}) {
    std::uint32_t crc = engine::Crc32(0, data.data(), split);
    EXPECT_EQ(engine::Crc32(crc, data.data() + split, data.size() - split), whole) << split;
  }
  // A CRC carried on from any starting value, as the ZIP writer combines pieces.
  for (std::uint32_t start : {0x12345678u, 0xFFFFFFFFu, 0x80000001u})
    EXPECT_EQ(engine::Crc32(start, data.data(), data.size()), ZlibCrc(start, data, 0, data.size())) << start;
}
