// Little-endian access to the bytes of records, journal entries and work-file blocks.
#ifndef QSTORE_COMMON_FILE_LITTLE_ENDIAN_H_
#define QSTORE_COMMON_FILE_LITTLE_ENDIAN_H_

#include <cstdint>

namespace qs {

inline uint16_t GetU16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_LITTLE_ENDIAN_H_
