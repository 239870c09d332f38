// ScanImage: the uncached analysis. Archive members come first, then what
// the block search found, in the order the passes found it.
#include <cstring>

#include "base/heap.h"
#include "codec/dispatch.h"
#include "codec/hrst2_header.h"
#include "plugin/session.h"
#include "scan/analyse.h"
#include "scan/block_search.h"
#include "scan/hrip.h"
#include "scan/trdos.h"

namespace zantor {
namespace {

Result InsertNotice(Session& session, uint8_t NoticePart::*mark) {
  Entry* notice = NewEntry(kNotice);
  if (!notice) return NoMemory;
  notice->notice.*mark = 1;
  Result r = session.entries.Insert(0, notice);
  if (r.failed()) DestroyEntry(notice);
  return r;
}

// The attribute step unpacks into a buffer of its own; when the buffer cannot
// be had (a crafted archive may declare members of almost 2 GB) the entry is
// treated like one that failed to unpack: it keeps its unpacked size.
template <class Unpack>
void ApplyAttributesAfterUnpack(Session& session, Entry& entry, TrdosDescriptor& descriptor, uint32_t size,
                                Unpack unpack) {
  uint8_t* buffer = static_cast<uint8_t*>(Allocate(size));
  if (!buffer) return;
  if (unpack(buffer).ok()) ApplyTrdosAttributes(entry, session, descriptor, buffer, size);
  Release(buffer);
}

void CompleteMember(Session& session, Entry& entry, uint32_t ordinal) {
  MemberInfo& member = entry.member;
  member.ordinal = ordinal;
  entry.listedSize = member.unpackedSize;
  if (!member.hasHeaderDescriptor) {
    uint32_t length = member.catalogueDescriptorLength < 11 ? member.catalogueDescriptorLength : 11;
    std::memcpy(&member.memberDescriptor, member.catalogueDescriptor, length);
    member.memberDescriptor.SetLength(static_cast<uint16_t>(member.unpackedSize));
  }
  if (entry.bad) return;
  ApplyAttributesAfterUnpack(session, entry, member.memberDescriptor, member.unpackedSize, [&](uint8_t* out) {
    return UnpackHripMember(session.image, session.imageSize, entry, out, false);
  });
}

// The members of the archive that the image is; its bytes are then covered.
Result ListArchiveMembers(Session& session, CoveredSpans& covered) {
  Result r = ParseHripArchive(session.image, session.imageSize, session.entries, session,
                              session.settings.MaxEntries);
  // Half-built members would list and extract as empty files: fail instead.
  if (r.failed()) return r;
  if (session.hripDamaged) {
    r = InsertNotice(session, &NoticePart::archiveCorrupt);
    if (r.failed()) return r;
  }
  uint32_t ordinal = 1;
  for (uint32_t i = 0; i < session.entries.count; ++i) {
    Entry& entry = *session.entries.At(i);
    if (entry.kind != kNotice && entry.kind != kArchiveMember) FatalError("FE01");
    if (entry.kind == kArchiveMember && !entry.member.directory) CompleteMember(session, entry, ordinal++);
  }
  return covered.Append(Span{0, session.hripLength});
}

uint32_t DecimalDigits(uint32_t value) {
  uint32_t digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

// value in decimal, zero-padded on the left to width digits (width < 15).
void FormatPosition(uint32_t value, uint32_t width, char* out) {
  for (int i = static_cast<int>(width) - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  out[width] = 0;
}

uint32_t EntryPosition(const Entry& entry) {
  return entry.kind == kBlock ? entry.block.position : entry.embedded.position;
}

void CompleteBlock(Session& session, Entry& entry, uint32_t width) {
  BlockPart& block = entry.block;
  const BlockInfo& info = block.info;
  entry.listedSize = info.unpacked;
  FormatPosition(block.position, width, block.numberText);
  const uint8_t* start = session.image + block.position;
  if (info.format != kFormatHrst2 || info.headerLength < kHrst2FixedLength ||
      start[10] < kHrst2DescriptorExtension)
    return;
  std::memcpy(&block.descriptor, start + kHrst2DescriptorOffset, TrdosDescriptor::kSize);
  block.hasDescriptor = 1;
  if (entry.bad) return;
  ApplyAttributesAfterUnpack(session, entry, block.descriptor, info.unpacked,
                             [&](uint8_t* out) { return UnpackHrustBlock(start, out, info); });
}

// Names and listed sizes of the entries the block search added from first on.
void CompleteFoundEntries(Session& session, uint32_t first) {
  uint32_t last = 0;
  for (uint32_t i = first; i < session.entries.count; ++i) {
    uint32_t position = EntryPosition(*session.entries.At(i));
    if (position > last) last = position;
  }
  uint32_t width = DecimalDigits(last) < 4 ? 4 : DecimalDigits(last);
  if (width >= 15) FatalError("FE02");
  for (uint32_t i = first; i < session.entries.count; ++i) {
    Entry& entry = *session.entries.At(i);
    if (entry.kind == kEmbeddedArchive) {
      entry.listedSize = entry.embedded.length;
      FormatPosition(entry.embedded.position, width, entry.embedded.name);
      std::memcpy(entry.embedded.name + width, ".hrp", 5);
    } else if (entry.kind == kBlock) {
      CompleteBlock(session, entry, width);
    } else {
      FatalError("FE09");
    }
  }
}

}  // namespace

Result ScanImage(Session& session) {
  session.isHripArchive = IsWholeHripArchive(session.image, session.imageSize) ? 1 : 0;
  CoveredSpans covered{};
  Result r = session.isHripArchive ? ListArchiveMembers(session, covered) : kSuccess;
  uint32_t first = session.entries.count;
  if (r.ok()) r = BlockSearch(session, covered);
  covered.Destroy();
  if (r.failed()) return r;
  CompleteFoundEntries(session, first);
  if (session.entries.count >= session.settings.MaxEntries)
    return InsertNotice(session, &NoticePart::onlyFirstShown);
  return kSuccess;
}

}  // namespace zantor
