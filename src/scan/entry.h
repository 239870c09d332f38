// Entry: one item listed for an opened file (an archive member, a found
// block, an embedded archive or a notice), and BlockInfo, the description of
// one candidate Hrust block. Each Entry is a heap block of its own; all-zero
// fields are the empty state of every kind.
#pragma once
#include <cstdint>

#include "base/list.h"
#include "base/result.h"

namespace zantor {

struct Analysis;

enum EntryKind : uint32_t {
  kNotice = 1,           // exactly one of the notice marks is set
  kArchiveMember = 2,    // a member of the Hrip archive that the image is
  kBlock = 3,            // a Hrust 1 or Hrust 2 block found in the image
  kEmbeddedArchive = 4,  // a Hrip archive inside the image, listed whole
};

enum FormatCode : uint8_t {
  kFormatHrust1 = 13,  // "HR" header, or raw
  kFormatHr21 = 21,    // Hrust 2 with "hr21" header, or raw
  kFormatHrst2 = 22,   // Hrust 2 with "Hrst2" header
};

struct BlockInfo {
  uint32_t packed;        // bytes of packed data after the header
  uint32_t unpacked;      // declared (or measured) unpacked length
  uint32_t headerLength;  // 6 "HR", 8 "hr21", 11 + extra for "Hrst2", 0 raw
  uint8_t stored;         // 1: the data is stored unpacked
  FormatCode format;
  uint8_t truncated;      // 1: headerLength + packed runs past the image end
};

// The 14-byte TR-DOS catalogue descriptor, byte for byte as stored
// (little-endian, unaligned), so it can be copied straight from a header.
struct TrdosDescriptor {
  static constexpr uint32_t kSize = 14;
  static constexpr uint8_t kBasic = 0x42;
  static constexpr uint8_t kCode = 0x43;

  uint8_t name[8];
  uint8_t type;
  uint8_t start[2];
  uint8_t length[2];
  uint8_t sectors;

  uint16_t Start() const { return static_cast<uint16_t>(start[0] | start[1] << 8); }
  uint16_t Length() const { return static_cast<uint16_t>(length[0] | length[1] << 8); }
  void SetLength(uint16_t value) {
    length[0] = static_cast<uint8_t>(value);
    length[1] = static_cast<uint8_t>(value >> 8);
  }
};
static_assert(sizeof(TrdosDescriptor) == TrdosDescriptor::kSize, "stored layout");

// Written in front of extracted data on request.
struct HobetaHeader {
  static constexpr uint32_t kSize = 17;
  uint8_t bytes[kSize];
};
static_assert(sizeof(HobetaHeader) == HobetaHeader::kSize, "stored layout");

// Naming data for the compatible naming mode; bytes[0] != 0 once filled.
struct DrelmoHeader {
  static constexpr uint32_t kSize = 31;
  uint8_t bytes[kSize];
};
static_assert(sizeof(DrelmoHeader) == DrelmoHeader::kSize, "stored layout");

// The ArchiveMember part.
struct MemberInfo {
  uint32_t ordinal;                    // 1-based among non-directory members
  uint32_t packedSize;                 // sum over the member's blocks
  uint32_t unpackedSize;               // sum over the member's blocks
  uint8_t catalogueDescriptor[11];     // catalogue record bytes 0-10, or a directory name
  uint32_t catalogueDescriptorLength;  // 0 to 11
  uint8_t directory;                   // 1: a directory record, no data
  uint8_t hasHeaderDescriptor;         // 1: memberDescriptor came from a block header
  TrdosDescriptor memberDescriptor;
  List<uint32_t> blockPositions;       // image offsets of the "Hrst2" headers, in order
};

// The Block part.
struct BlockPart {
  uint32_t position;    // image offset of the header (of the stream when raw)
  BlockInfo info;
  char numberText[15];  // zero-padded decimal position, zero-terminated
  uint8_t hasDescriptor;
  TrdosDescriptor descriptor;  // from a "Hrst2" header
};

// The EmbeddedArchive part.
struct EmbeddedPart {
  uint32_t position;
  uint32_t length;  // bytes the archive occupies
  char name[20];    // zero-padded decimal position + ".hrp", zero-terminated
};

// The Notice part.
struct NoticePart {
  uint8_t archiveCorrupt;  // listed as "__archive_corrupt!"
  uint8_t onlyFirstShown;  // listed as "__Only first N entries shown! "
  uint8_t searchStopped;   // listed as "__Search stopped early: too much work! "
  uint8_t notSearched;     // listed as "__Not searched: file larger than the size limits! "
};

struct Entry {
  EntryKind kind;
  uint8_t bad;          // known damaged: extraction reports a data error
  uint32_t listedSize;  // size shown and written, without a hobeta header
  uint8_t attributeMark;  // 1 once TR-DOS attributes were recorded
  uint16_t start;         // from the TrdosDescriptor
  uint16_t length;        // from the TrdosDescriptor
  uint8_t hobetaPresent;
  HobetaHeader hobeta;
  DrelmoHeader drelmo;

  MemberInfo member;
  BlockPart block;
  EmbeddedPart embedded;
  NoticePart notice;
};

// A zero-filled entry of the given kind, or null when memory is exhausted.
Entry* NewEntry(EntryKind kind);
// Releases the block-position list, wipes and releases the entry. Null is ignored.
void DestroyEntry(Entry* entry);
// Copies every field of from into to (which must be an entry of its own),
// giving to an independent block-position list. On failure to still owns
// whatever positions were copied; the caller destroys it.
Result CopyEntry(const Entry& from, Entry* to);
// Appends a Block entry at position to the analysis's list; bad is the given
// flag or the info's truncated flag.
Result AddBlockEntry(Analysis& analysis, uint32_t position, const BlockInfo& info, bool bad);

}  // namespace zantor
