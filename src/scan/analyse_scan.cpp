// ScanImage: the uncached analysis. Archive members come first, then what
// the block search found, in the order the passes found it.
#include <cstring>

#include "base/heap.h"
#include "codec/hrst2_header.h"
#include "scan/analyse.h"
#include "scan/analysis.h"
#include "scan/block_search.h"
#include "scan/dispatch.h"
#include "scan/hrip.h"
#include "scan/trdos.h"
#include "scan/work_budget.h"

namespace zantor {
namespace {

Result InsertNotice(Analysis& analysis, uint8_t NoticePart::*mark) {
  Entry* notice = NewEntry(kNotice);
  if (!notice) return NoMemory;
  notice->notice.*mark = 1;
  Result r = analysis.entries.Insert(0, notice);
  if (r.failed()) DestroyEntry(notice);
  return r;
}

// The attribute step unpacks into a buffer of its own, its work paid from the
// budget's unpack allowance first. When the work or the buffer cannot be had, the entry is treated
// like one that failed to unpack: it keeps its unpacked size.
template <class Unpack>
void ApplyAttributesAfterUnpack(Analysis& analysis, Entry& entry, TrdosDescriptor& descriptor, uint32_t size,
                                WorkBudget& budget, Unpack unpack) {
  if (!budget.SpendUnpacked(size)) return;
  uint8_t* buffer = static_cast<uint8_t*>(Allocate(size));
  if (!buffer) return;
  if (unpack(buffer).ok()) ApplyTrdosAttributes(entry, analysis, descriptor, buffer, size);
  Release(buffer);
}

// A member larger than a TR-DOS file can be has attributes that do not
// depend on its bytes: its blocks are unpacked one by one into a window (a
// crafted archive may declare almost 2 GB), each paid before it runs.
void ApplyAttributesAfterWindowedUnpack(Analysis& analysis, Entry& entry, WorkBudget& budget) {
  uint8_t* window = static_cast<uint8_t*>(Allocate(kHripBlockWindow));
  if (!window) return;
  uint64_t allowance = budget.left;
  bool unpaid = false;
  Result r = VerifyHripMember(analysis.image, analysis.imageSize, entry, window, &allowance, &unpaid);
  Release(window);
  budget.Spend(budget.left - allowance);
  if (unpaid) budget.Exhaust();
  if (r.ok()) ApplyTrdosAttributes(entry, analysis, entry.member.memberDescriptor, nullptr, entry.member.unpackedSize);
}

void CompleteMember(Analysis& analysis, Entry& entry, uint32_t ordinal, WorkBudget& budget) {
  MemberInfo& member = entry.member;
  member.ordinal = ordinal;
  entry.listedSize = member.unpackedSize;
  if (!member.hasHeaderDescriptor) {
    uint32_t length = member.catalogueDescriptorLength < 11 ? member.catalogueDescriptorLength : 11;
    std::memcpy(&member.memberDescriptor, member.catalogueDescriptor, length);
    member.memberDescriptor.SetLength(static_cast<uint16_t>(member.unpackedSize));
  }
  if (entry.bad) return;
  if (member.unpackedSize > kLargestTrdosFile) {
    ApplyAttributesAfterWindowedUnpack(analysis, entry, budget);
    return;
  }
  ApplyAttributesAfterUnpack(analysis, entry, member.memberDescriptor, member.unpackedSize, budget, [&](uint8_t* out) {
    return UnpackHripMember(analysis.image, analysis.imageSize, entry, out, false);
  });
}

// The members of the archive that the image is; its bytes are then covered.
Result ListArchiveMembers(Analysis& analysis, CoveredSpans& covered, WorkBudget& budget) {
  Result r = ParseHripArchive(analysis.image, analysis.imageSize, analysis.entries, analysis,
                              analysis.settings.MaxEntries);
  // Half-built members would list and extract as empty files: fail instead.
  if (r.failed()) return r;
  if (analysis.hripDamaged) {
    r = InsertNotice(analysis, &NoticePart::archiveCorrupt);
    if (r.failed()) return r;
  }
  uint32_t ordinal = 1;
  for (uint32_t i = 0; i < analysis.entries.count; ++i) {
    Entry& entry = *analysis.entries.At(i);
    if (entry.kind != kNotice && entry.kind != kArchiveMember) FatalError("FE01");
    if (entry.kind == kArchiveMember && !entry.member.directory) CompleteMember(analysis, entry, ordinal++, budget);
  }
  return covered.Append(Span{0, analysis.hripLength});
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

void CompleteBlock(Analysis& analysis, Entry& entry, uint32_t width, WorkBudget& budget) {
  BlockPart& block = entry.block;
  const BlockInfo& info = block.info;
  entry.listedSize = info.unpacked;
  FormatPosition(block.position, width, block.numberText);
  const uint8_t* start = analysis.image + block.position;
  if (info.format != kFormatHrst2 || info.headerLength < kHrst2FixedLength ||
      start[10] < kHrst2DescriptorExtension)
    return;
  std::memcpy(&block.descriptor, start + kHrst2DescriptorOffset, TrdosDescriptor::kSize);
  block.hasDescriptor = 1;
  if (entry.bad) return;
  ApplyAttributesAfterUnpack(analysis, entry, block.descriptor, info.unpacked, budget,
                             [&](uint8_t* out) { return UnpackHrustBlock(start, out, info); });
}

// Names and listed sizes of the entries the block search added from first on.
void CompleteFoundEntries(Analysis& analysis, uint32_t first, WorkBudget& budget) {
  uint32_t last = 0;
  for (uint32_t i = first; i < analysis.entries.count; ++i) {
    uint32_t position = EntryPosition(*analysis.entries.At(i));
    if (position > last) last = position;
  }
  uint32_t width = DecimalDigits(last) < 4 ? 4 : DecimalDigits(last);
  if (width >= 15) FatalError("FE02");
  for (uint32_t i = first; i < analysis.entries.count; ++i) {
    Entry& entry = *analysis.entries.At(i);
    if (entry.kind == kEmbeddedArchive) {
      entry.listedSize = entry.embedded.length;
      FormatPosition(entry.embedded.position, width, entry.embedded.name);
      std::memcpy(entry.embedded.name + width, ".hrp", 5);
    } else if (entry.kind == kBlock) {
      CompleteBlock(analysis, entry, width, budget);
    } else {
      FatalError("FE09");
    }
  }
}

}  // namespace

Result ScanImage(Analysis& analysis) {
  WorkBudget budget = AnalysisBudget(analysis.settings, analysis.imageSize);
  return ScanImageWithin(analysis, budget);
}

Result ScanImageWithin(Analysis& analysis, WorkBudget& budget) {
  analysis.isHripArchive = IsWholeHripArchive(analysis.image, analysis.imageSize) ? 1 : 0;
  CoveredSpans covered{};
  Result r = analysis.isHripArchive ? ListArchiveMembers(analysis, covered, budget) : kSuccess;
  uint32_t first = analysis.entries.count;
  if (r.ok() && !budget.exhausted) r = BlockSearch(analysis, covered, budget);
  covered.Destroy();
  if (r.failed()) return r;
  CompleteFoundEntries(analysis, first, budget);
  if (budget.exhausted) {
    r = InsertNotice(analysis, &NoticePart::searchStopped);
    if (r.failed()) return r;
  }
  // A file the search skipped must not pass for one that holds nothing; an
  // archive that is the whole file lists without it.
  if (analysis.hripLength < analysis.imageSize && SkippedForSize(analysis)) {
    r = InsertNotice(analysis, &NoticePart::notSearched);
    if (r.failed()) return r;
  }
  if (analysis.entries.count >= analysis.settings.MaxEntries)
    return InsertNotice(analysis, &NoticePart::onlyFirstShown);
  return kSuccess;
}

}  // namespace zantor
