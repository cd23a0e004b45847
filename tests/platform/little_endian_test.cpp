// Little-endian numbers: the exact bytes, and every power of two (plus and
// minus one) read back at an unaligned address.
#include "platform/little_endian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string bytesOf32(uint32_t v) {
  char b[platform::kFixed32Size];
  platform::encodeFixed32(b, v);
  return std::string(b, sizeof b);
}

std::string bytesOfDouble(double v) {
  char b[platform::kDoubleSize];
  platform::encodeDouble(b, v);
  return std::string(b, sizeof b);
}

TEST(LittleEndianTest, Fixed32BytesLeastSignificantFirst) {
  const std::pair<uint32_t, std::string> cases[] = {
      {0, std::string(4, '\0')},         {1, std::string("\x01\0\0\0", 4)},
      {0x12345678, "\x78\x56\x34\x12"},  {0x80000000u, std::string("\0\0\0\x80", 4)},
      {0xFFFFFFFEu, "\xFE\xFF\xFF\xFF"},
  };
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(bytesOf32(value), bytes) << value;
    EXPECT_EQ(platform::decodeFixed32(bytes.data()), value) << value;
  }
}

TEST(LittleEndianTest, DoubleBytesAreItsBitsLeastSignificantFirst) {
  const std::pair<double, std::string> cases[] = {
      {0.0, std::string(8, '\0')},
      {1.5, std::string("\0\0\0\0\0\0\xF8\x3F", 8)},
      {-0.0, std::string("\0\0\0\0\0\0\0\x80", 8)},
      {std::numeric_limits<double>::infinity(), std::string("\0\0\0\0\0\0\xF0\x7F", 8)},
      {std::numeric_limits<double>::denorm_min(), std::string("\x01\0\0\0\0\0\0\0", 8)},
  };
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(bytesOfDouble(value), bytes) << value;
    double back = platform::decodeDouble(bytes.data());
    EXPECT_EQ(std::memcmp(&back, &value, sizeof back), 0) << value;
  }
  // A NaN keeps its payload bit for bit.
  const std::string nan("\x01\x02\x03\x04\x05\x06\xF8\x7F", 8);
  EXPECT_TRUE(std::isnan(platform::decodeDouble(nan.data())));
  EXPECT_EQ(bytesOfDouble(platform::decodeDouble(nan.data())), nan);
}

TEST(LittleEndianTest, PowersOfTwoRoundTripUnaligned) {
  std::vector<uint64_t> values;
  for (int shift = 0; shift < 64; ++shift) {
    uint64_t p = uint64_t{1} << shift;
    values.insert(values.end(), {p - 1, p, p + 1});
  }
  char buffer[1 + platform::kDoubleSize];
  for (uint64_t v : values) {
    platform::encodeFixed32(buffer + 1, static_cast<uint32_t>(v));
    EXPECT_EQ(platform::decodeFixed32(buffer + 1), static_cast<uint32_t>(v)) << v;
    double d;
    std::memcpy(&d, &v, sizeof d);
    platform::encodeDouble(buffer + 1, d);
    double back = platform::decodeDouble(buffer + 1);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof back), 0) << v;
  }
}

}  // namespace
