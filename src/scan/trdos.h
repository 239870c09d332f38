// TR-DOS attributes of a found file: the listed size (with smart length
// detection), the hobeta header written in front of extracted data, and the
// header that names files in the Drelmo style.
#pragma once
#include <cstdint>

#include "scan/entry.h"

namespace zantor {

struct Analysis;

// The largest TR-DOS file: 255 sectors (the count is one byte).
constexpr uint32_t kLargestTrdosFile = 0xFF00;

// Bytes 15-16 of a hobeta header: (sum of bytes 0-14) * 257 + 105, mod 65536.
uint16_t HobetaChecksum(const uint8_t* header);

// Fills the entry's listed size, attribute fields, hobeta header and Drelmo
// header from the file's descriptor and its size unpacked bytes, as the
// analysis's settings ask. Writes the computed sector count (0 when the size
// is not a whole number of sectors) into the descriptor.
void ApplyTrdosAttributes(Entry& entry, const Analysis& analysis, TrdosDescriptor& descriptor, const uint8_t* data,
                          uint32_t size);

}  // namespace zantor
