#include "scan/hrip.h"

#include <cstring>

#include "codec/hrst2_header.h"
#include "scan/hrip_header.h"

namespace zantor {
namespace {

constexpr uint32_t kDirectoryFixedLength = 7;  // "Hrst2", flags, name length
constexpr uint32_t kCatalogueHeaderLength = 6;  // "Hrip", count, sectors
constexpr uint32_t kCatalogueRecordLength = 16;
constexpr uint32_t kLargestMemberSum = 0x7FFF0000;
constexpr uint8_t kUnsupportedFlags = kHrst2SolidEntry | kHrst2SolidArchive | kHrst2Encrypted;

// Decimal text of value, without leading zeros.
void FormatDecimal(uint32_t value, char (&text)[11]) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value);
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = 0;
}

template <size_t N>
Result AppendAll(String& report, const char* const (&parts)[N]) {
  for (const char* part : parts) {
    Result r = report.Append(part);
    if (r.failed()) return r;
  }
  return kSuccess;
}

// One run of the reader: the walk state and what it noted.
struct HripReader {
  const uint8_t* image;
  uint32_t imageSize;
  uint32_t end;  // E: the smaller of the archive length and the image size
  List<Entry*>& entries;
  String& report;
  uint32_t maxEntries;

  bool catalogueInUse = false;
  uint32_t catalogue = 0;  // Q
  uint32_t pos = kHripHeaderLength;
  uint32_t k = 0;          // next catalogue record
  Entry* member = nullptr; // the member being built
  bool stopped = false;    // the walk ended before reaching E
  bool badHeader = false;
  bool corrupted = false;
  bool catalogueCorrupt = false;
  bool unexpectedEnd = false;
  bool unsupported = false;

  bool Fits(uint64_t from, uint64_t length) const { return from + length <= end; }

  void MarkCorrupt() {
    member->bad = 1;
    corrupted = true;
  }

  Result ReportUnsupported(uint8_t flags) {
    unsupported = true;
    const char* lines[] = {"Unsupported entry flag(s): ",
                           flags & kHrst2SolidEntry ? "\r\n - solid entry (packed with references to last block);" : "",
                           flags & kHrst2SolidArchive ? "\r\n - solid archive;" : "",
                           flags & kHrst2Encrypted ? "\r\n - entry is encrypted;" : "", "\r\n"};
    return AppendAll(report, lines);
  }

  // A data block of the member; *stop when the walk must end.
  Result ReadBlock(const uint8_t* header, bool* stop) {
    *stop = !Fits(pos, kHrst2FixedLength) || !Fits(pos, Hrst2Fields::Read(header).HeaderLength());
    if (*stop) {
      badHeader = true;
      return kSuccess;
    }
    const Hrst2Fields h = Hrst2Fields::Read(header);
    const uint64_t blockEnd = uint64_t{pos} + h.HeaderLength() + h.packed;
    if (blockEnd > end) MarkCorrupt();
    MemberInfo& info = member->member;
    info.packedSize += h.packed;
    info.unpackedSize += h.unpacked;
    if (info.packedSize > kLargestMemberSum || info.unpackedSize > kLargestMemberSum) MarkCorrupt();
    Result r = info.blockPositions.Append(pos);
    if (r.failed()) return r;
    if (h.extension >= kHrst2DescriptorExtension && !info.hasHeaderDescriptor) {
      std::memcpy(&info.memberDescriptor, header + kHrst2DescriptorOffset, TrdosDescriptor::kSize);
      info.hasHeaderDescriptor = 1;
    }
    pos = static_cast<uint32_t>(blockEnd);  // E is at most 0x00FFFFFF: no wrap
    return kSuccess;
  }

  // A directory record; false when the walk must stop.
  bool ReadDirectory(const uint8_t* header, bool continuing) {
    if (continuing) {
      MarkCorrupt();
      return false;
    }
    const uint32_t n = header[6];
    if (!Fits(pos, kDirectoryFixedLength + n)) {
      badHeader = true;
      return false;
    }
    MemberInfo& info = member->member;
    info.directory = 1;
    info.catalogueDescriptorLength = n < 11 ? n : 11;
    std::memcpy(info.catalogueDescriptor, header + kDirectoryFixedLength, info.catalogueDescriptorLength);
    pos += kDirectoryFixedLength + n;
    return true;
  }

  // Takes catalogue record k for the finished member, if the catalogue is usable.
  void MatchCatalogue() {
    if (!catalogueInUse) return;
    const uint64_t record = uint64_t{catalogue} + kCatalogueHeaderLength + uint64_t{kCatalogueRecordLength} * k;
    if (record + kCatalogueRecordLength > imageSize || k >= image[catalogue + 4] || image[record] == 0) {
      catalogueInUse = false;
      catalogueCorrupt = true;
      return;
    }
    std::memcpy(member->member.catalogueDescriptor, image + record, 11);
    member->member.catalogueDescriptorLength = 11;
  }

  Result AppendMember() {
    Result r = entries.Append(member);
    if (r.failed()) return r;
    member = nullptr;
    return kSuccess;
  }

  Result Walk() {
    while (pos < end) {
      // The listing shows no more than maxEntries, so a crafted archive of
      // countless records costs no more than that.
      if (!member && entries.count >= maxEntries) return kSuccess;
      const uint8_t* header = image + pos;
      if (!Fits(pos, kDirectoryFixedLength) || !IsHrst2Signature(header)) {
        badHeader = true;
        stopped = true;
        return kSuccess;
      }
      const uint8_t flags = header[5];
      if (flags & kUnsupportedFlags) {
        stopped = true;
        return ReportUnsupported(flags);
      }
      const bool continuing = member != nullptr;
      if (!member) {
        member = NewEntry(kArchiveMember);
        if (!member) return NoMemory;
      }
      bool complete;
      if (flags & kHrst2Directory) {
        if (!ReadDirectory(header, continuing)) {
          stopped = true;
          return kSuccess;
        }
        complete = true;
      } else {
        bool stop = false;
        Result r = ReadBlock(header, &stop);
        if (r.failed()) return r;
        if (stop) {
          stopped = true;
          return kSuccess;
        }
        complete = (flags & kHrst2LastBlock) != 0;
      }
      if (complete) {
        MatchCatalogue();
        Result r = AppendMember();
        if (r.failed()) return r;
        ++k;
      }
    }
    if (pos != end) unexpectedEnd = true;
    return kSuccess;
  }

  // hripLength, the catalogue's terminator, the unfinished member.
  Result Finish(uint32_t* length, bool walkCompleted) {
    *length = pos < end ? pos : end;
    if (walkCompleted && catalogueInUse) {
      const uint64_t terminator = uint64_t{catalogue} + kCatalogueHeaderLength + uint64_t{kCatalogueRecordLength} * k;
      if (terminator < imageSize && image[terminator] == 0) {
        *length = static_cast<uint32_t>(terminator + 1);
      } else {
        catalogueCorrupt = true;
      }
    }
    if (member) {
      MarkCorrupt();
      return AppendMember();
    }
    return kSuccess;
  }

  Result WriteReport() {
    const struct {
      bool noted;
      const char* line;
    } lines[] = {{badHeader, "Found entry with bad header.\r\n"},
                 {corrupted, "Corrupted entry found.\r\n"},
                 {catalogueCorrupt, "Archive catalogue is corrupt.\r\n"},
                 {unexpectedEnd, "Unexpected end of archive.\r\n"}};
    for (const auto& l : lines) {
      if (!l.noted) continue;
      Result r = report.Append(l.line);
      if (r.failed()) return r;
    }
    if (!stopped) return kSuccess;
    char number[11];
    FormatDecimal(pos, number);
    const char* const parts[] = {"Archive analysis stopped at position ", number, "\r\n"};
    return AppendAll(report, parts);
  }

  bool Damaged() const {
    return badHeader || corrupted || catalogueCorrupt || unexpectedEnd || unsupported || stopped;
  }
};

}  // namespace

Result ParseHripArchive(const uint8_t* image, uint32_t imageSize, List<Entry*>& entries, Analysis& analysis,
                        uint32_t maxEntries) {
  analysis.hripDamaged = 0;
  analysis.hripLength = 0;
  Result r = analysis.hripReport.Reserve(1000);
  if (r.failed()) return r;

  HripHeader header;
  if (!ReadHripHeader(image, imageSize, &header)) return HostFailure(13);
  const uint32_t end = header.length < imageSize ? header.length : imageSize;
  if (end < kHripHeaderLength) return HostFailure(13);

  HripReader reader{image, imageSize, end, entries, analysis.hripReport, maxEntries};
  if (header.catalogueFlag == 1) {
    reader.catalogue = header.CatalogueOffset();
    reader.catalogueInUse = uint64_t{reader.catalogue} + kCatalogueHeaderLength <= imageSize &&
                            std::memcmp(image + reader.catalogue, "Hrip", 4) == 0;
    reader.catalogueCorrupt = !reader.catalogueInUse;
  }

  r = reader.Walk();
  const bool completed = r.ok() && reader.pos >= end;
  if (r.ok()) r = reader.Finish(&analysis.hripLength, completed);
  if (r.ok()) r = reader.WriteReport();
  if (r.failed()) {
    DestroyEntry(reader.member);
    return r;
  }
  analysis.hripDamaged = reader.Damaged() ? 1 : 0;
  return kSuccess;
}

}  // namespace zantor
