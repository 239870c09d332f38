#include "codec/crc16.h"

namespace zantor {
namespace {

struct Crc16Table {
  uint16_t entry[256];
  constexpr Crc16Table() : entry() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t crc = i << 8;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
      entry[i] = static_cast<uint16_t>(crc);
    }
  }
};

constexpr Crc16Table kTable;

}  // namespace

uint16_t Crc16(const uint8_t* bytes, uint32_t length) {
  uint16_t crc = 0;
  for (uint32_t i = 0; i < length; ++i)
    crc = static_cast<uint16_t>((crc << 8) ^ kTable.entry[(crc >> 8) ^ bytes[i]]);
  return crc;
}

}  // namespace zantor
