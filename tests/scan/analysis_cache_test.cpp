// The analysis cache with an injected clock: hits, the key, expiry,
// least-recently-used replacement, and many threads analysing at once.
#include "scan/analysis_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "scan/analyse_support.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::AnalysedImage;
using test::Bytes;
using test::Filler;
using test::Listed;

std::atomic<uint64_t> g_now{1};
uint64_t FakeClock() { return g_now.load(); }

// An image with two blocks, and filler of the same size: analysing the
// filler under the key of the first gives the blocks only on a hit.
Bytes WithBlocks(uint32_t seed) {
  Bytes image = Filler(3000, seed);
  test::PlaceAt(image, 0, test::Hr21Block(test::StoredPayload(Filler(100 + seed, seed))));
  test::PlaceAt(image, 1111, test::Hr21Block(test::StoredPayload(Filler(200, seed + 1))));
  return image;
}

class AnalysisCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCacheClock(FakeClock);
    g_now += 10 * kCacheExpiry;  // whatever earlier tests stored has expired
  }
  void TearDown() override { SetCacheClock(nullptr); }

  // Analyses the filler under this key; true when the cached blocks came back.
  static bool Hit(const std::string& path = "a.bin", const Settings& settings = DefaultSettings(),
                  uint64_t time = 1, size_t size = 3000) {
    AnalysedImage a(Filler(size, 77), settings, path, time);
    EXPECT_TRUE(a.Analyse().ok());
    return a.Count() != 0;
  }
  static void Store(const std::string& path = "a.bin", uint32_t seed = 1) {
    AnalysedImage a(WithBlocks(seed), DefaultSettings(), path);
    ASSERT_TRUE(a.Analyse().ok());
    ASSERT_EQ(2u, a.Count());
  }
};

TEST_F(AnalysisCacheTest, AHitCopiesTheWholeResult) {
  // A damaged archive: notice, member, report text and Hrip fields.
  test::HripArchive archive;
  archive.catalogue = false;
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(300, 1))));
  archive.body.push_back(Bytes(9, 'X'));
  Bytes bytes = test::BuildHripArchive(archive);
  AnalysedImage first(bytes, DefaultSettings(), "x.hrp");
  ASSERT_TRUE(first.Analyse().ok());
  AnalysedImage second(Filler(bytes.size()), DefaultSettings(), "x.hrp");
  ASSERT_TRUE(second.Analyse().ok());
  EXPECT_EQ(first.Summary(), second.Summary());
  EXPECT_EQ(1, second.analysis().isHripArchive);
  EXPECT_EQ(1, second.analysis().hripDamaged);
  EXPECT_EQ(first.analysis().hripLength, second.analysis().hripLength);
  EXPECT_STREQ(first.analysis().hripReport.Text(), second.analysis().hripReport.Text());
  const Entry& member = second.At(1);
  ASSERT_EQ(1u, member.member.blockPositions.count);
  EXPECT_EQ(8u, member.member.blockPositions.At(0));
}

// A result is held once, shared by the cache and every archive listing it,
// and what expired is freed as an archive closes, not at the next open.
TEST_F(AnalysisCacheTest, AResultIsHeldOnceAndFreedOnceExpired) {
  ExpireCachedAnalyses();
  EXPECT_EQ(0u, CachedAnalysisBytes());
  {
    AnalysedImage first(WithBlocks(1), DefaultSettings(), "held.bin");
    ASSERT_TRUE(first.Analyse().ok());
    const size_t held = CachedAnalysisBytes();
    EXPECT_GT(held, 2 * sizeof(Entry));
    AnalysedImage second(Filler(3000, 77), DefaultSettings(), "held.bin");
    ASSERT_TRUE(second.Analyse().ok());
    EXPECT_EQ(&first.At(0), &second.At(0));
    EXPECT_EQ(held, CachedAnalysisBytes());
    g_now += kCacheExpiry + 1;
  }
  EXPECT_EQ(0u, CachedAnalysisBytes());
}

TEST_F(AnalysisCacheTest, TheKeyIsPathSizeTimeAndSettings) {
  Store("A.BIN");
  EXPECT_TRUE(Hit("A.BIN"));
#ifdef _WIN32
  EXPECT_TRUE(Hit("A.BIN."));   // Windows drops trailing dots
  EXPECT_TRUE(Hit("A.BIN..."));
#else
  EXPECT_FALSE(Hit("A.BIN."));  // another file here
#endif
  EXPECT_FALSE(Hit("a.bin"));   // case does
  EXPECT_FALSE(Hit("A.BIN", DefaultSettings(), 2));
  EXPECT_FALSE(Hit("A.BIN", DefaultSettings(), 1, 3001));
  Settings changed = DefaultSettings();
  changed.DeepScanParams_Hrust1.MinBlockSize = 11;
  EXPECT_FALSE(Hit("A.BIN", changed));
  changed = DefaultSettings();
  changed.FileNameNumberingSeparator[8] = 1;
  EXPECT_FALSE(Hit("A.BIN", changed));

#ifdef _WIN32
  Store("..", 2);
  EXPECT_TRUE(Hit("."));  // dots only: both empty
  EXPECT_TRUE(Hit(""));
#endif
}

TEST_F(AnalysisCacheTest, SlotsExpireAfterThirtySecondsUnused) {
  Store();
  g_now += kCacheExpiry;  // exactly 30 s: still there, and used again
  EXPECT_TRUE(Hit());
  g_now += kCacheExpiry;
  EXPECT_TRUE(Hit());
  g_now += kCacheExpiry + 1;
  EXPECT_FALSE(Hit());

  g_now += 10 * kCacheExpiry;  // drop the filler's result stored by the miss
  Store();
  g_now -= 1;  // a clock that went back expires too
  EXPECT_FALSE(Hit());
}

TEST_F(AnalysisCacheTest, TheLeastRecentlyUsedSlotIsReplaced) {
  for (uint32_t i = 0; i < kCacheSlots; ++i) {
    Store("f" + std::to_string(i), i + 1);
    g_now += 10;
  }
  EXPECT_TRUE(Hit("f0"));  // f0 used again: f1 is now the oldest
  g_now += 10;
  Store("f5", 9);
  for (const char* kept : {"f0", "f2", "f3", "f4", "f5"}) EXPECT_TRUE(Hit(kept)) << kept;
  EXPECT_FALSE(Hit("f1"));
}

TEST_F(AnalysisCacheTest, ThreadsAnalysingAtOnceGetTheSingleThreadLists) {
  constexpr int kImages = 8;
  std::vector<Bytes> images;
  std::vector<std::vector<Listed>> expected;
  for (int i = 0; i < kImages; ++i) {
    Bytes image = WithBlocks(i + 1);
    test::PlaceAt(image, 2000 + 37 * i, test::Hr21Block(test::StoredPayload(Filler(300 + i, i))));
    images.push_back(image);
    AnalysedImage single(image, DefaultSettings(), "single");
    ASSERT_TRUE(single.Scan().ok());
    expected.push_back(single.Summary());
  }
  SetCacheClock(nullptr);  // real time, so stamps differ between threads
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kImages; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 40; ++round) {
        int i = (t + round) % kImages;
        AnalysedImage a(images[i], DefaultSettings(), "image" + std::to_string(i));
        if (a.Analyse().failed() || a.Summary() != expected[i]) ++mismatches;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, mismatches.load());
}

}  // namespace
}  // namespace zantor
