// The 8-byte header of a Hrip archive: "HRi", one unused byte, the archive
// length as low byte + 256-byte sectors (rounded up), the catalogue flag.
// Shared by the whole-file test, the archive reader and the search for
// archives embedded in other data.
#pragma once
#include <cstdint>
#include <cstring>

namespace zantor {

constexpr uint32_t kHripHeaderLength = 8;

struct HripHeader {
  uint32_t sectors;       // archive length in sectors, rounded up
  uint32_t length;        // archive length L (header and members, no catalogue)
  uint8_t catalogueFlag;  // 1: a catalogue follows at sectors * 256

  uint32_t CatalogueOffset() const { return sectors * 256; }
};

// Reads the header at p, of which available bytes are readable. False when
// fewer than 8 bytes are available, the signature is not "HRi", or the
// length would be negative.
inline bool ReadHripHeader(const uint8_t* p, uint64_t available, HripHeader* header) {
  if (available < kHripHeaderLength || std::memcmp(p, "HRi", 3) != 0) return false;
  const int32_t sectorBytes = (p[5] | p[6] << 8) * 256;
  const int32_t shortfall = (256 - p[4]) % 256;
  if (sectorBytes < shortfall) return false;
  header->sectors = static_cast<uint32_t>(sectorBytes) / 256;
  header->length = static_cast<uint32_t>(sectorBytes - shortfall);
  header->catalogueFlag = p[7];
  return true;
}

}  // namespace zantor
