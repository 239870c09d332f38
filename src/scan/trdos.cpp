#include "scan/trdos.h"

#include <cstring>

#include "scan/analysis.h"

namespace zantor {

namespace {

constexpr uint32_t kSector = 256;
constexpr uint16_t kNoAutostart = 0x8000;
constexpr uint8_t kAutostartMark[] = {0x80, 0xAA};

void PutWord(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLong(uint8_t* at, uint32_t value) {
  PutWord(at, value);
  PutWord(at + 2, value >> 16);
}

uint32_t SectorsFor(uint32_t bytes) { return (bytes + kSector - 1) / kSector; }

// What smart length detection makes of one file.
struct SmartLength {
  uint32_t length;  // s: the file without padding
  uint32_t extra;   // e: the BASIC autostart marker when it ends in the last sector
  uint16_t autostart;
};

SmartLength Measure(const TrdosDescriptor& d, const uint8_t* data, uint32_t size, bool sectorExact,
                    uint32_t sectors) {
  SmartLength smart{size, 0, kNoAutostart};
  if (!sectorExact) return smart;
  uint32_t start = d.Start();
  uint32_t length = d.Length();
  smart.length = sectors * kSector;
  if (d.type != TrdosDescriptor::kBasic) {
    if (SectorsFor(length) == sectors) smart.length = length;
    return smart;
  }
  // A BASIC file: start is program plus variables, length the program alone;
  // a saved autostart line follows as 0x80 0xAA and the line number.
  if (start >= length && start + 4 <= size && std::memcmp(data + start, kAutostartMark, 2) == 0) {
    smart.autostart = static_cast<uint16_t>(data[start + 2] | data[start + 3] << 8);
    if (SectorsFor(start + 4) == sectors) {
      smart.length = start;
      smart.extra = 4;
    }
  }
  return smart;
}

void FillHobeta(HobetaHeader& header, const TrdosDescriptor& d) {
  uint8_t* h = header.bytes;
  std::memcpy(h, &d, 13);  // name, type, start, length
  h[13] = 0;
  h[14] = d.sectors;
  PutWord(h + 15, HobetaChecksum(h));
}

uint8_t TapeType(uint8_t type) {
  if (type == TrdosDescriptor::kCode) return 3;
  if (type == TrdosDescriptor::kBasic) return 0;
  return type;
}

void FillDrelmo(DrelmoHeader& header, const TrdosDescriptor& d, uint32_t dosTime, uint16_t autostart,
                uint32_t listedSize) {
  uint8_t* h = header.bytes;
  bool basic = d.type == TrdosDescriptor::kBasic;
  h[0] = 1;
  h[1] = 0xB0;
  PutLong(h + 2, dosTime);
  h[6] = TapeType(d.type);
  std::memcpy(h + 7, d.name, 8);
  h[15] = h[16] = ' ';
  PutWord(h + 17, basic ? d.Start() : d.Length());
  PutWord(h + 19, basic ? autostart : d.Start());
  PutLong(h + 21, basic ? d.Length() : 0x8000u);
  PutLong(h + 25, listedSize);
  h[29] = 0xFF;
  h[30] = 0;
}

}  // namespace

uint16_t HobetaChecksum(const uint8_t* header) {
  uint32_t sum = 0;
  for (int i = 0; i < 15; ++i) sum += header[i];
  return static_cast<uint16_t>(sum * 257 + 105);
}

void ApplyTrdosAttributes(Entry& entry, const Analysis& analysis, TrdosDescriptor& descriptor, const uint8_t* data,
                          uint32_t size) {
  const Settings& settings = analysis.settings;
  bool sectorExact = size <= kLargestTrdosFile && size % kSector == 0;
  uint32_t sectors = sectorExact ? size / kSector : 0;
  descriptor.sectors = static_cast<uint8_t>(sectors);

  entry.attributeMark = 1;
  entry.start = descriptor.Start();
  entry.length = descriptor.Length();

  SmartLength smart = Measure(descriptor, data, size, sectorExact, sectors);
  entry.listedSize = SmartLengthInEffect(settings) ? smart.length + smart.extra : size;

  if (HobetaExtractionInEffect(settings) && sectorExact) {
    entry.hobetaPresent = 1;
    FillHobeta(entry.hobeta, descriptor);
  }
  if (settings.DrelmoCompatible) {
    // The header carries the autostart line, so a BASIC file drops its marker.
    if (descriptor.type == TrdosDescriptor::kBasic && settings.SmartLenDetect) entry.listedSize = smart.length;
    FillDrelmo(entry.drelmo, descriptor, analysis.dosTime, smart.autostart, entry.listedSize);
  }
}

}  // namespace zantor
