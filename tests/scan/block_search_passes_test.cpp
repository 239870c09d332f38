// The start check and the seven passes on assembled images: what each pass
// finds, what it leaves to later passes, and how limits end the search.
#include <gtest/gtest.h>

#include "scan/analyse_support.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::AnalysedImage;
using test::Bytes;
using test::Filler;
using test::Listed;
using test::PlaceAt;

Bytes Stored(size_t size, uint32_t seed) { return test::Hr21Block(test::StoredPayload(Filler(size, seed))); }

Listed BlockAt(uint32_t position, uint32_t size, bool bad = false, const std::string& name = "") {
  char text[16];
  snprintf(text, sizeof text, "%04u", position);
  return Listed{kBlock, position, size, bad, name.empty() ? text : name};
}

// Settings with only the given passes' records enabled.
Settings Only(std::initializer_list<ScanParams Settings::*> records) {
  Settings s = test::NoPasses();
  for (auto record : records) (s.*record).Enabled = 1;
  return s;
}

// An "hr21" header claiming a compressed block whose data is filler.
Bytes BrokenHr21(uint16_t unpacked, uint16_t packed) {
  Bytes b = {'h', 'r', '2', '1', uint8_t(unpacked), uint8_t(unpacked >> 8), uint8_t(packed), uint8_t(packed >> 8)};
  return test::Concat(b, Filler(packed, 99));
}

TEST(StartCheck, ListsAHeaderAtZeroWithEverySearchOff) {
  Bytes image = test::Concat(Stored(92, 1), Filler(500));
  AnalysedImage a(image, test::NoPasses());
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(0, 92)}), a.Summary());

  // Accepted untested: a truncated header still lists, as bad.
  AnalysedImage cut(Bytes(image.begin(), image.begin() + 60), test::NoPasses());
  ASSERT_TRUE(cut.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(0, 92, true)}), cut.Summary());
}

TEST(StartCheck, AnHrHeaderAtZeroMustTestSound) {
  ZANTOR_REQUIRE_CORPUS();
  Bytes block = test::Hrust1Block("pic1");
  AnalysedImage sound(test::Concat(block, Filler(100)), test::NoPasses());
  ASSERT_TRUE(sound.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(0, 6912)}), sound.Summary());

  Bytes broken = block;
  for (size_t i = 20; i < broken.size(); i += 7) broken[i] ^= 0x5A;
  AnalysedImage bad(test::Concat(broken, Filler(100)), test::NoPasses());
  ASSERT_TRUE(bad.Scan().ok());
  EXPECT_EQ(0u, bad.Count());
}

TEST(BasicHrust2, HopsFromBlockToBlockAndTriesTheNextTwoBoundaries) {
  // Block at 0 (100 bytes) and one at 256: the second is candidate c1 of
  // the stretch that starts at 100. A third at 700 is beyond c2 = 512.
  Bytes image = Filler(1000);
  PlaceAt(image, 0, Stored(92, 1));
  PlaceAt(image, 256, Stored(92, 2));
  PlaceAt(image, 700, Stored(92, 3));
  AnalysedImage a(image, Only({&Settings::BasicScanParams_Hrust2}));
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(0, 92), BlockAt(256, 92)}), a.Summary());
}

TEST(BasicHrust2, AnUnsoundFirstCandidateIsListedBadAndSmallOnesEndTheStretch) {
  // Behind the block at 0 the stretch starts with a header whose data is not
  // a stream, and a sound block follows it.
  for (uint16_t declared : {200, 300}) {
    Bytes image = test::Concat(Stored(92, 1), BrokenHr21(declared, 150));
    uint32_t next = image.size();
    image = test::Concat(image, Stored(92, 5));
    image = test::Concat(image, Filler(600, 6));
    AnalysedImage a(image, Only({&Settings::BasicScanParams_Hrust2}));
    ASSERT_TRUE(a.Scan().ok());
    std::vector<Listed> expected{BlockAt(0, 92), BlockAt(100, declared, true)};
    if (declared >= 257) expected.push_back(BlockAt(next, 92));  // threshold 257
    EXPECT_EQ(expected, a.Summary()) << "declared " << declared;
  }
}

TEST(BasicHrust1, LooksOnlyAtTheStretchStartAndBoundaries) {
  ZANTOR_REQUIRE_CORPUS();
  Bytes image = Filler(300);
  image = test::Concat(image, test::Hrust1Block("pic2"));
  image = test::Concat(image, Filler(50, 2));
  AnalysedImage basic(image, Only({&Settings::BasicScanParams_Hrust1}));
  ASSERT_TRUE(basic.Scan().ok());
  EXPECT_EQ(0u, basic.Count());
  AnalysedImage deep(image, Only({&Settings::BasicScanParams_Hrust1, &Settings::DeepScanParams_Hrust1}));
  ASSERT_TRUE(deep.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(300, 6912)}), deep.Summary());
}

TEST(DeepHrust2, ListsHeadersUntestedUnlessTestBlocksAsksForLargeOnes) {
  Bytes image = Filler(5000);
  PlaceAt(image, 33, BrokenHr21(300, 150));     // small: never tested
  PlaceAt(image, 1001, BrokenHr21(4097, 200));  // above the threshold 4096
  Settings s = Only({&Settings::DeepScanParams_Hrust2});
  AnalysedImage untested(image, s);
  ASSERT_TRUE(untested.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(33, 300), BlockAt(1001, 4097)}), untested.Summary());

  s.DeepScanParams_Hrust2.TestBlocks = 1;
  AnalysedImage tested(image, s);
  ASSERT_TRUE(tested.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(33, 300)}), tested.Summary());
}

TEST(DeepHrust2, ABlockFoundByTheBasicPassIsNotFoundAgain) {
  ZANTOR_REQUIRE_CORPUS();
  Bytes hrst2 = test::Hrst2Block(test::Hrust2Sample("pic3"));
  Bytes image = test::Concat(Filler(40), hrst2);
  image = test::Concat(image, Filler(3000, 2));
  PlaceAt(image, 40 + hrst2.size() + 1001, Stored(100, 8));  // only the deep pass reaches it
  AnalysedImage a(image);
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(40, 6912), BlockAt(40 + hrst2.size() + 1001, 100)}), a.Summary());
}

TEST(BlockSearch, SmallBlocksAreCoveredButNotListed) {
  // A 50-byte block below MinBlockSize 100: the basic pass steps over it to
  // the next one, and the deep pass does not list it either.
  Bytes image = test::Concat(Filler(5), Stored(50, 1));
  uint32_t next = image.size();
  image = test::Concat(image, Stored(120, 2));
  image = test::Concat(image, Filler(400, 3));
  Settings s = Only({&Settings::BasicScanParams_Hrust2, &Settings::DeepScanParams_Hrust2});
  s.BasicScanParams_Hrust2.MinBlockSize = 100;
  s.DeepScanParams_Hrust2.MinBlockSize = 100;
  AnalysedImage a(image, s);
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(next, 120)}), a.Summary());
}

Bytes SmallArchive(uint32_t seed) {
  test::HripArchive archive;
  test::Hrst2Options options;
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(40, seed)), options));
  archive.records.push_back(test::CatalogueRecord("file", 'C', 0));
  Bytes bytes = test::BuildHripArchive(archive);
  bytes.resize(512, 0);  // the catalogue's whole sector
  return bytes;
}

TEST(EmbeddedArchives, AreListedWithTheirCatalogueAndNamedByPosition) {
  Bytes archive = SmallArchive(1);
  Bytes image = Filler(56);
  image = test::Concat(image, archive);
  image = test::Concat(image, Filler(5000, 2));
  AnalysedImage a(image);
  ASSERT_TRUE(a.Scan().ok());
  // The archive occupies its sectors and the catalogue's: 256 + 256.
  EXPECT_EQ((std::vector<Listed>{Listed{kEmbeddedArchive, 56, 512, false, "0056.hrp"}}), a.Summary());
}

TEST(BlockSearch, TheEntryLimitStopsLaterPassesButEachStretchMayAddOne) {
  // 300 blocks back to back, then [archive][block][archive][block]: the
  // basic pass fills the list in the first stretch and adds one more in each
  // of the two stretches behind the archives; the deep "HR" pass never runs.
  Bytes image;
  for (int i = 0; i < 300; ++i) image = test::Concat(image, Stored(10, i));
  std::vector<uint32_t> late;
  for (int i = 0; i < 2; ++i) {
    image = test::Concat(image, SmallArchive(i));
    late.push_back(image.size());
    image = test::Concat(image, Stored(10, 1000 + i));
    image = test::Concat(image, Filler(700, i));
  }
  PlaceAt(image, image.size() - 600, Bytes{'H', 'R', 0x10, 0, 0x20, 0});
  Settings s = DefaultSettings();
  s.MaxEntries = 260;
  AnalysedImage a(image, s);
  ASSERT_TRUE(a.Scan().ok());
  std::vector<Listed> list = a.Summary();
  ASSERT_EQ(1u + 260u + 2u, list.size());
  EXPECT_EQ("notice:first", list[0].name);
  EXPECT_EQ(kBlock, list[1].kind);  // the start check
  EXPECT_EQ(kEmbeddedArchive, list[2].kind);
  EXPECT_EQ(kEmbeddedArchive, list[3].kind);
  EXPECT_EQ(late[0], list[261].position);
  EXPECT_EQ(late[1], list[262].position);
}

}  // namespace
}  // namespace zantor
