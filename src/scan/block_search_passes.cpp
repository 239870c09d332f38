// The passes that look for headers: embedded Hrip archives, basic and deep
// Hrust 2 / Hrust 1.
#include <cstring>

#include "codec/hrst2_header.h"
#include "scan/block_search_passes.h"
#include "scan/block_search_signature.h"
#include "scan/dispatch.h"
#include "scan/hrip_header.h"

namespace zantor {
namespace {

constexpr SignaturePair kUpperPair{'H', 'R', 0};  // "HRi" and "HR"
constexpr SignaturePair kHrust2Pair{'h', 'r', 0x20};  // "hr21" and "Hrst2"

uint32_t Total(const BlockInfo& info) { return info.headerLength + info.packed; }

// The check's work is paid whatever its verdict; an unpaid one is unsound.
bool Sound(const PassContext& context, uint32_t p, const BlockInfo& info) {
  uint32_t walked = 0;
  bool sound = TestHrustBlock(context.image + p, info, &walked).ok();
  return PayCheck(context, walked) && sound;
}

// Bytes a Hrip archive at p occupies (catalogue included), or 0 when no
// plausible archive header stands there.
uint32_t EmbeddedArchiveLength(const uint8_t* image, uint32_t size, uint32_t p) {
  const uint8_t* h = image + p;
  uint32_t rest = size - p;
  HripHeader header{};
  if (!ReadHripHeader(h, rest, &header) || header.catalogueFlag > 1) return 0;
  if (header.length < 15 || rest < 15 || !IsHrst2Signature(h + kHripHeaderLength)) return 0;
  uint64_t length = header.length;
  uint64_t catalogue = uint64_t{p} + header.CatalogueOffset();
  if (header.catalogueFlag == 1 && catalogue + 6 <= size && std::memcmp(image + catalogue, "Hrip", 4) == 0) {
    uint64_t records = uint64_t{image[catalogue + 4]} * 16 + 7;
    uint64_t sectors = uint64_t{image[catalogue + 5]} * 256;
    length = (catalogue - p) + (records > sectors ? records : sectors);
  }
  // Never beyond the image, so the length always fits 32 bits.
  return length < rest ? static_cast<uint32_t>(length) : rest;
}

// Adds a block found by a pass (when big enough) and covers its bytes; sets
// *stop when the entry filled the list.
Result TakeBlock(PassContext& context, uint32_t p, const BlockInfo& info, bool bad, bool* stop) {
  *stop = false;
  if (info.unpacked >= context.params.MinBlockSize) {
    Result r = AddBlockEntry(context.analysis, p, info, bad);
    if (r.failed()) return r;
    *stop = ListFull(context);
  }
  return AddFoundSpan(context, p, Total(info));
}

// Basic passes look at the stretch start and the next two 256-byte
// boundaries only, then hop from block end to block end.
template <class Check>
Result BasicSearch(PassContext& context, uint32_t start, uint32_t end, uint32_t headerMin, Check check,
                   bool withFallback) {
  uint64_t p = start;
  for (;;) {
    uint64_t c1 = (p + 255) & ~uint64_t{255};
    const uint64_t candidates[3] = {p, c1, c1 + 256};
    bool found = false;
    bool haveFallback = false;
    uint32_t at = 0;
    BlockInfo info{};
    BlockInfo fallback{};
    uint32_t fallbackAt = 0;
    for (int k = 0; k < 3 && !found; ++k) {
      uint64_t c = candidates[k];
      if (c >= end) break;
      if (k == 1 && c == p) continue;  // p on a boundary: c0 and c1 coincide
      BlockInfo candidate{};
      if (c + headerMin > context.size || !check(context.image, context.size, uint32_t(c), &candidate))
        continue;
      if (!haveFallback) {
        haveFallback = true;
        fallback = candidate;
        fallbackAt = uint32_t(c);
      }
      if (Sound(context, uint32_t(c), candidate)) {
        found = true;
        info = candidate;
        at = uint32_t(c);
      }
      if (context.budget.exhausted) return kSuccess;
    }
    bool bad = false;
    if (!found) {
      if (!withFallback || !haveFallback) return kSuccess;
      bad = true;
      info = fallback;
      at = fallbackAt;
    }
    bool stop = false;
    Result r = TakeBlock(context, at, info, bad, &stop);
    if (r.failed() || stop) return r;
    // A small bad block ends the stretch: what follows is likely not packed data.
    if (bad && info.unpacked < context.params.SizeThreshold) return kSuccess;
    p = uint64_t{at} + Total(info);
  }
}

}  // namespace

Result SearchEmbeddedArchives(PassContext& context, uint32_t start, uint32_t end) {
  uint64_t p = start;
  while (p < end) {
    p = FindSignature(context.image, context.size, uint32_t(p), end, kUpperPair);
    if (p >= end) break;
    uint32_t length = EmbeddedArchiveLength(context.image, context.size, uint32_t(p));
    if (length == 0) {
      ++p;
      continue;
    }
    Entry* entry = NewEntry(kEmbeddedArchive);
    if (!entry) return NoMemory;
    Result r = context.analysis.entries.Append(entry);
    if (r.failed()) {
      DestroyEntry(entry);
      return r;
    }
    entry->embedded.position = uint32_t(p);
    entry->embedded.length = length;
    r = AddFoundSpan(context, uint32_t(p), length);
    if (r.failed() || ListFull(context)) return r;
    p += length;
  }
  return kSuccess;
}

Result SearchBasicHrust2(PassContext& context, uint32_t start, uint32_t end) {
  return BasicSearch(context, start, end, 8, HeaderCheckH2, true);
}

Result SearchBasicHrust1(PassContext& context, uint32_t start, uint32_t end) {
  return BasicSearch(context, start, end, 6, HeaderCheckH1, false);
}

Result SearchDeepHrust2(PassContext& context, uint32_t start, uint32_t end) {
  const ScanParams& params = context.params;
  for (uint32_t p = start; p < end; ++p) {
    p = FindSignature(context.image, context.size, p, end, kHrust2Pair);
    if (p >= end) break;
    BlockInfo info{};
    if (uint64_t{p} + 8 > context.size || !HeaderCheckH2(context.image, context.size, p, &info))
      continue;
    if ((params.TestBlocks & 0xFF) && !info.stored && info.unpacked > params.SizeThreshold &&
        !Sound(context, p, info)) {
      if (context.budget.exhausted) return kSuccess;
      continue;
    }
    bool stop = false;
    Result r = TakeBlock(context, p, info, false, &stop);
    if (r.failed() || stop) return r;
  }
  return kSuccess;
}

Result SearchDeepHrust1(PassContext& context, uint32_t start, uint32_t end) {
  for (uint32_t p = start; p < end; ++p) {
    p = FindSignature(context.image, context.size, p, end, kUpperPair);
    if (p >= end) break;
    BlockInfo info{};
    if (uint64_t{p} + 6 > context.size || !HeaderCheckH1(context.image, context.size, p, &info) ||
        info.unpacked < context.params.MinBlockSize)
      continue;
    if (!Sound(context, p, info)) {
      if (context.budget.exhausted) return kSuccess;
      continue;
    }
    bool stop = false;
    Result r = TakeBlock(context, p, info, false, &stop);
    if (r.failed() || stop) return r;
  }
  return kSuccess;
}

}  // namespace zantor
