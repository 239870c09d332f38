// Field access to the "Hrst2" block header, the header of a stand-alone
// Hrust 2 block and of every block of a Hrip archive member:
// "Hrst2", flags, unpacked (16), packed (16), extension length n,
// [packed CRC (16) when n >= 2], [unpacked CRC (16) when n >= 4], rest.
#pragma once
#include <cstdint>
#include <cstring>

namespace zantor {

constexpr uint32_t kHrst2FixedLength = 11;  // header bytes before the extension
constexpr uint32_t kHrst2DescriptorOffset = 15;
constexpr uint32_t kHrst2DescriptorExtension = 18;  // n that carries a descriptor

enum : uint8_t {
  kHrst2Stored = 0x01,
  kHrst2LastBlock = 0x02,
  kHrst2SolidEntry = 0x08,
  kHrst2SolidArchive = 0x10,
  kHrst2Encrypted = 0x40,
  kHrst2Directory = 0x80,
};

inline bool IsHrst2Signature(const uint8_t* p) { return std::memcmp(p, "Hrst2", 5) == 0; }

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The fields of a header whose first kHrst2FixedLength bytes are readable.
struct Hrst2Fields {
  uint8_t flags;
  uint32_t unpacked;
  uint32_t packed;
  uint32_t extension;

  static Hrst2Fields Read(const uint8_t* header) {
    return Hrst2Fields{header[5], ReadLe16(header + 6), ReadLe16(header + 8), header[10]};
  }
  uint32_t HeaderLength() const { return kHrst2FixedLength + extension; }
};

// The CRC fields; only valid when the extension holds them.
inline uint16_t Hrst2PackedCrc(const uint8_t* header) { return ReadLe16(header + 11); }
inline uint16_t Hrst2UnpackedCrc(const uint8_t* header) { return ReadLe16(header + 13); }

}  // namespace zantor
