// Fixed-length little-endian numbers, the byte order of every binary file the
// system stores: a 32-bit integer is four bytes, least significant first; a
// double is the eight bytes of its IEEE 754 bits in the same order. Built with
// shifts, so the result does not depend on the machine's own byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace platform {

constexpr int kFixed32Size = 4;
constexpr int kDoubleSize = 8;

// REQUIRES: out has room for kFixed32Size bytes.
inline void encodeFixed32(void* out, uint32_t value) {
  auto* p = static_cast<unsigned char*>(out);
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  p[2] = static_cast<unsigned char>(value >> 16);
  p[3] = static_cast<unsigned char>(value >> 24);
}

inline uint32_t decodeFixed32(const void* in) {
  const auto* p = static_cast<const unsigned char*>(in);
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// REQUIRES: out has room for kDoubleSize bytes.
inline void encodeDouble(void* out, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  auto* p = static_cast<unsigned char*>(out);
  encodeFixed32(p, static_cast<uint32_t>(bits));
  encodeFixed32(p + 4, static_cast<uint32_t>(bits >> 32));
}

inline double decodeDouble(const void* in) {
  const auto* p = static_cast<const unsigned char*>(in);
  uint64_t bits =
      static_cast<uint64_t>(decodeFixed32(p)) | (static_cast<uint64_t>(decodeFixed32(p + 4)) << 32);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace platform
