// The CRC that "Hrst2" headers carry for their packed and unpacked data.
#pragma once
#include <cstdint>

namespace zantor {

// CRC-16/XMODEM: polynomial 0x1021, initial 0, MSB first, no final XOR.
uint16_t Crc16(const uint8_t* bytes, uint32_t length);

}  // namespace zantor
