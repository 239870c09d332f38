// The building blocks of the block search: header recognition, the
// plausibility tests, the signature search, the gap walk and the span sort.
#include "scan/block_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "scan/block_search_signature.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::Bytes;

Bytes Header(std::initializer_list<int> bytes) { return Bytes(bytes.begin(), bytes.end()); }

TEST(BlockHeaders, Hr21ShortHeaderIgnoresTheStoredBitInTheSignature) {
  // "hr21", unpacked 2000, packed 1500, then the data.
  Bytes image = Header({'h', 'r', '2', '1', 0xD0, 0x07, 0xDC, 0x05});
  image.resize(8 + 1500);
  BlockInfo info{};
  ASSERT_TRUE(HeaderCheckH2(image.data(), image.size(), 0, &info));
  EXPECT_EQ(1500u, info.packed);
  EXPECT_EQ(2000u, info.unpacked);
  EXPECT_EQ(8u, info.headerLength);
  EXPECT_EQ(0, info.stored);
  EXPECT_EQ(kFormatHr21, info.format);
  EXPECT_EQ(0, info.truncated);
  // One byte short of the data: truncated, still a plausible header.
  ASSERT_TRUE(HeaderCheckH2(image.data(), image.size() - 1, 0, &info));
  EXPECT_EQ(1, info.truncated);
  // Stored: bit 7 of "1" is the flag; a stored block needs equal sizes.
  image[3] = '1' | 0x80;
  EXPECT_FALSE(HeaderCheckH2(image.data(), image.size(), 0, &info));
  image[6] = 0xD0;
  image[7] = 0x07;
  image.resize(8 + 2000);
  ASSERT_TRUE(HeaderCheckH2(image.data(), image.size(), 0, &info));
  EXPECT_EQ(1, info.stored);
  // Fewer than 8 bytes from p: no short header.
  EXPECT_FALSE(HeaderCheckH2(image.data(), 7, 0, &info));
}

TEST(BlockHeaders, Hrst2LongHeaderNeedsItsWholeExtensionInTheImage) {
  // "Hrst2", flags 0x03 (stored, last), unpacked 20, packed 20, x = 18.
  Bytes image = Header({'H', 'r', 's', 't', '2', 0x03, 20, 0, 20, 0, 18});
  image.resize(11 + 18 + 20, 0x55);
  BlockInfo info{};
  ASSERT_TRUE(HeaderCheckH2(image.data(), image.size(), 0, &info));
  EXPECT_EQ(29u, info.headerLength);
  EXPECT_EQ(1, info.stored);
  EXPECT_EQ(kFormatHrst2, info.format);
  EXPECT_EQ(0, info.truncated);
  EXPECT_FALSE(HeaderCheckH2(image.data(), 28, 0, &info));  // extension cut off
  ASSERT_TRUE(HeaderCheckH2(image.data(), 29, 0, &info));   // data cut off
  EXPECT_EQ(1, info.truncated);
  image[5] = 0x02;  // compressed 20 -> 20: fine below 1000 bytes
  EXPECT_TRUE(HeaderCheckH2(image.data(), image.size(), 0, &info));
}

TEST(BlockHeaders, Hrust1HeaderSizesAndRatio) {
  // "HR", unpacked 1000, total 6 + 1046 (1046 * 64 <= 1000 * 67).
  Bytes image = Header({'H', 'R', 0xE8, 0x03, 0x1C, 0x04});
  image.resize(6 + 1046);
  BlockInfo info{};
  ASSERT_TRUE(HeaderCheckH1(image.data(), image.size(), 0, &info));
  EXPECT_EQ(1046u, info.packed);
  EXPECT_EQ(1000u, info.unpacked);
  EXPECT_EQ(6u, info.headerLength);
  EXPECT_EQ(kFormatHrust1, info.format);
  image[4] = 0x1D;  // 1047 packed bytes: too little gain
  EXPECT_FALSE(HeaderCheckH1(image.data(), image.size(), 0, &info));
  image[4] = 5;  // total below the header's own 6 bytes
  image[5] = 0;
  EXPECT_FALSE(HeaderCheckH1(image.data(), image.size(), 0, &info));
  image[1] = 'r';
  image[4] = 0x1C;
  image[5] = 0x04;
  EXPECT_FALSE(HeaderCheckH1(image.data(), image.size(), 0, &info));
}

TEST(BlockHeaders, PlausibilityLimits) {
  auto packed = [](uint32_t p, uint32_t u) { return BlockInfo{p, u, 8, 0, kFormatHr21, 0}; };
  EXPECT_FALSE(Plausible(packed(8, 100)));          // too short to be a stream
  EXPECT_TRUE(Plausible(packed(9, 100)));
  EXPECT_TRUE(Plausible(packed(199, 99)));          // small: may grow by 100
  EXPECT_FALSE(Plausible(packed(200, 99)));
  EXPECT_TRUE(Plausible(packed(1033, 1000)));       // 1033 * 30 <= 1000 * 31
  EXPECT_FALSE(Plausible(packed(1034, 1000)));
  EXPECT_TRUE(Plausible(packed(100, 40960)));
  EXPECT_FALSE(Plausible(packed(100, 40961)));
  EXPECT_TRUE(Plausible(BlockInfo{5, 5, 8, 1, kFormatHr21, 0}));   // stored: sizes equal, any size
  EXPECT_FALSE(Plausible(BlockInfo{5, 6, 8, 1, kFormatHr21, 0}));
  EXPECT_TRUE(PlausibleH1(BlockInfo{100, 65280, 6, 0, kFormatHrust1, 0}));
  EXPECT_FALSE(PlausibleH1(BlockInfo{100, 65281, 6, 0, kFormatHrust1, 0}));
}

// Naive reference of the signature search.
uint32_t NaiveFind(const Bytes& image, uint32_t from, uint32_t end, SignaturePair pair) {
  end = std::min<uint32_t>(end, image.size());
  for (uint32_t q = from; q < end; ++q)
    if (q + 1 < image.size() && (image[q] | pair.fold) == pair.first && image[q + 1] == pair.second) return q;
  return end;
}

TEST(SignatureSearch, AgreesWithANaiveSearchAtEveryAlignment) {
  std::mt19937 random(7);
  const SignaturePair pairs[] = {{'H', 'R', 0}, {'h', 'r', 0x20}};
  for (int round = 0; round < 300; ++round) {
    Bytes image(1 + random() % 80);
    // A small alphabet makes pairs, near-pairs and runs common.
    for (auto& b : image) b = "HRhrx\x80\xFF"[random() % 7];
    for (const SignaturePair& pair : pairs) {
      uint32_t end = random() % (image.size() + 2);
      for (uint32_t from = 0; from <= end; ++from)
        ASSERT_EQ(NaiveFind(image, from, end, pair), FindSignature(image.data(), image.size(), from, end, pair))
            << "round " << round << " from " << from << " end " << end;
    }
  }
}

TEST(SignatureSearch, NeverLooksPastTheImage) {
  // The last byte alone cannot start a pair: its partner would lie outside.
  auto copy = test::ExactCopy(Bytes{'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'H'});
  EXPECT_EQ(10u, FindSignature(copy.get(), 10, 0, 10, SignaturePair{'H', 'R', 0}));
  auto pair = test::ExactCopy(Bytes{'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'H', 'R'});
  EXPECT_EQ(8u, FindSignature(pair.get(), 10, 0, 10, SignaturePair{'H', 'R', 0}));
  EXPECT_EQ(5u, FindSignature(pair.get(), 10, 0, 5, SignaturePair{'H', 'R', 0}));
}

std::vector<std::pair<uint32_t, uint32_t>> Gaps(CoveredSpans& spans, uint32_t limit) {
  std::vector<std::pair<uint32_t, uint32_t>> gaps;
  SortSpans(spans);
  Result r = ForEachGap(spans, limit, [&](uint32_t s, uint32_t e) {
    gaps.emplace_back(s, e);
    return kSuccess;
  });
  EXPECT_TRUE(r.ok());
  return gaps;
}

CoveredSpans Spans(std::initializer_list<Span> list) {
  CoveredSpans spans{};
  for (const Span& s : list) EXPECT_TRUE(spans.Append(s).ok());
  return spans;
}

TEST(ForEachGap, MergesOverlappingAndNestedSpansAndStopsAtTheLimit) {
  using Gap = std::pair<uint32_t, uint32_t>;
  CoveredSpans none{};
  EXPECT_EQ((std::vector<Gap>{{0, 100}}), Gaps(none, 100));
  EXPECT_TRUE(Gaps(none, 0).empty());

  CoveredSpans spans = Spans({{50, 10}, {10, 20}, {15, 5}, {25, 10}, {90, 0xFFFFFFF0u}});
  EXPECT_EQ((std::vector<Gap>{{0, 10}, {35, 50}, {60, 90}}), Gaps(spans, 200));
  EXPECT_EQ((std::vector<Gap>{{0, 10}, {35, 40}}), Gaps(spans, 40));
  spans.Destroy();

  CoveredSpans atStart = Spans({{0, 5}, {5, 5}});
  EXPECT_EQ((std::vector<Gap>{{10, 12}}), Gaps(atStart, 12));
  atStart.Destroy();
}

TEST(ForEachGap, AFailingRoutineEndsTheWalk) {
  CoveredSpans spans = Spans({{10, 10}, {30, 10}});
  int calls = 0;
  Result r = ForEachGap(spans, 100, [&](uint32_t, uint32_t) {
    ++calls;
    return NoMemory;
  });
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(1, calls);
  spans.Destroy();
}

TEST(SortSpans, OrdersByStartForAllSizesAndDuplicates) {
  std::mt19937 random(3);
  for (uint32_t n : {0u, 1u, 2u, 9u, 10u, 11u, 100u, 5000u}) {
    CoveredSpans spans{};
    std::vector<uint32_t> starts;
    for (uint32_t i = 0; i < n; ++i) {
      // Few distinct values with many repeats, and the full 32-bit range.
      uint32_t start = (i % 3 == 0) ? static_cast<uint32_t>(random()) : random() % 16;
      if (i % 7 == 0) start = 0xFFFFFFFFu;
      starts.push_back(start);
      ASSERT_TRUE(spans.Append(Span{start, i}).ok());
    }
    SortSpans(spans);
    std::sort(starts.begin(), starts.end());
    std::vector<uint32_t> lengths;
    for (uint32_t i = 0; i < n; ++i) {
      EXPECT_EQ(starts[i], spans.items[i].start) << "n " << n << " index " << i;
      lengths.push_back(spans.items[i].length);
    }
    std::sort(lengths.begin(), lengths.end());
    for (uint32_t i = 0; i < n; ++i) EXPECT_EQ(i, lengths[i]);  // nothing lost or doubled
    spans.Destroy();
  }
}

}  // namespace
}  // namespace zantor
