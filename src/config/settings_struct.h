// The text form of a struct value in the configuration file: each byte as two
// uppercase hex digits, then one pair holding the low 8 bits of the byte sum.
#pragma once
#include <cstdint>

namespace zantor {

constexpr uint32_t StructTextLength(uint32_t size) { return 2 * size + 2; }

// Writes StructTextLength(size) characters and a terminating zero.
void EncodeStruct(const void* data, uint32_t size, char* text);
// False on a wrong length, a non-hex digit or a wrong check pair; data is
// written only on success. Lowercase digits are accepted.
bool DecodeStruct(const char* text, uint32_t length, void* data, uint32_t size);

}  // namespace zantor
