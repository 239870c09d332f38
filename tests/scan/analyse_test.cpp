// The uncached analysis: corpus blocks of every kind at many offsets, the
// order of the final list, names, listed sizes, Hrip archives and the
// failures it must survive or report.
#include "scan/analyse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "scan/analyse_support.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::AnalysedImage;
using test::Bytes;
using test::Concat;
using test::Filler;
using test::Listed;
using test::PlaceAt;

std::string Number(uint32_t position, int width) {
  char text[16];
  snprintf(text, sizeof text, "%0*u", width, position);
  return text;
}

Listed BlockAt(uint32_t position, uint32_t size, int width = 4) {
  return Listed{kBlock, position, size, false, Number(position, width)};
}

const char* const kSamples[] = {"ziutek_shock7__1992_.stc", "pic1", "xargs.1", "obj1"};

// Each header kind around each sample, placed at offsets that hit and miss
// the basic passes' candidates; one block per image, listed exactly once and
// unpacking to the original.
TEST(ScanImage, CorpusBlocksOfEveryKindAtManyOffsets) {
  ZANTOR_REQUIRE_CORPUS();
  const uint32_t offsets[] = {0, 1, 2, 7, 8, 100, 255, 256, 257, 511, 512, 513, 4095, 4097, 65539, 123456};
  for (const char* name : kSamples) {
    Bytes original = test::ReadCorpusFile(std::string("plain/") + name);
    test::Payload h2 = test::Hrust2Sample(name);
    const Bytes blocks[] = {test::Hrust1Block(name), test::Hr21Block(h2), test::Hrst2Block(h2)};
    for (const Bytes& block : blocks) {
      for (uint32_t offset : offsets) {
        Bytes image = Concat(Concat(Filler(offset, offset), block), Filler(300, 7));
        AnalysedImage a(image);
        ASSERT_TRUE(a.Scan().ok());
        int width = offset >= 100000 ? 6 : offset >= 10000 ? 5 : 4;
        EXPECT_EQ((std::vector<Listed>{BlockAt(offset, original.size(), width)}), a.Summary())
            << name << " header " << block[0] << block[1] << " at " << offset;
        if (a.Count() == 1) {
          EXPECT_EQ(original, a.UnpackBlock(0)) << name << " at " << offset;
        }
      }
    }
  }
}

TEST(ScanImage, HeaderlessStreamsAtManyOffsetsWithTheExhaustivePasses) {
  ZANTOR_REQUIRE_CORPUS();
  for (const char* name : kSamples) {
    Bytes original = test::ReadCorpusFile(std::string("plain/") + name);
    Bytes h1 = test::Hrust1Block(name);
    const Bytes raws[] = {test::Hrust2Sample(name).packed, Bytes(h1.begin() + 6, h1.end())};
    for (const Bytes& raw : raws) {
      for (uint32_t offset : {0u, 3u, 256u, 1001u}) {
        Bytes image = Concat(Concat(Filler(offset, offset), raw), Filler(40, 9));
        AnalysedImage plain(image);  // without a header only the exhaustive passes see it
        ASSERT_TRUE(plain.Scan().ok());
        EXPECT_EQ(0u, plain.Count()) << name << " at " << offset;
        AnalysedImage a(image, test::AllPasses());
        ASSERT_TRUE(a.Scan().ok());
        // Streams that start a little earlier or inside it may decode on
        // their own too and are listed as well; the one placed must be there.
        uint32_t found = a.Count();
        uint32_t last = 0;
        for (uint32_t i = 0; i < a.Count(); ++i) {
          uint32_t position = a.At(i).block.position;
          if (position == offset && found == a.Count()) found = i;
          last = std::max(last, position);
          EXPECT_LT(position, offset + raw.size()) << name << " at " << offset;
        }
        ASSERT_LT(found, a.Count()) << name << " at " << offset;
        int width = last >= 10000 ? 5 : 4;
        EXPECT_EQ(BlockAt(offset, original.size(), width), a.Summary()[found]) << name << " at " << offset;
        EXPECT_EQ(0u, a.At(found).block.info.headerLength);
        EXPECT_EQ(original, a.UnpackBlock(found));
      }
    }
  }
}

TEST(ScanImage, ListsFindsInPassOrderNotByPosition) {
  ZANTOR_REQUIRE_CORPUS();
  // A (hr21) at 0: start check. B ("Hrst2") right behind: basic Hrust 2.
  // C ("HR") right behind B: basic Hrust 1. D, an archive: pass 1. E (hr21)
  // and F ("HR") far from any stretch start: the deep passes.
  Bytes a = test::Hr21Block(test::Hrust2Sample("pic1"));
  Bytes b = test::Hrst2Block(test::Hrust2Sample("pic2"));
  Bytes c = test::Hrust1Block("pic3");
  test::HripArchive archive;
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(40, 4))));
  archive.records.push_back(test::CatalogueRecord("member", 'C', 0));
  Bytes d = test::BuildHripArchive(archive);
  d.resize(512, 0);
  Bytes e = test::Hr21Block(test::Hrust2Sample("obj1"));
  Bytes f = test::Hrust1Block("xargs.1");

  Bytes image = Concat(Concat(a, b), c);
  uint32_t at[6] = {0, static_cast<uint32_t>(a.size()), static_cast<uint32_t>(a.size() + b.size())};
  const Bytes* later[] = {&d, &e, &f};
  const uint32_t gaps[] = {3003, 1003, 1005};
  for (int i = 0; i < 3; ++i) {
    image = Concat(image, Filler(gaps[i], i));
    at[3 + i] = image.size();
    image = Concat(image, *later[i]);
  }
  image = Concat(image, Filler(700, 3));

  AnalysedImage scan(image);
  ASSERT_TRUE(scan.Scan().ok());
  int width = at[5] >= 10000 ? 5 : 4;
  Listed archiveEntry{kEmbeddedArchive, at[3], 512, false, Number(at[3], width) + ".hrp"};
  EXPECT_EQ((std::vector<Listed>{BlockAt(at[0], 6912, width), archiveEntry, BlockAt(at[1], 6912, width),
                                 BlockAt(at[2], 6912, width), BlockAt(at[4], 21504, width),
                                 BlockAt(at[5], 4227, width)}),
            scan.Summary());
  const std::pair<uint32_t, const char*> originals[] = {
      {0, "pic1"}, {2, "pic2"}, {3, "pic3"}, {4, "obj1"}, {5, "xargs.1"}};
  for (const auto& [index, name] : originals)
    EXPECT_EQ(test::ReadCorpusFile(std::string("plain/") + name), scan.UnpackBlock(index)) << name;
}

TEST(ScanImage, NumberWidthFollowsTheLargestPosition) {
  Bytes small = Filler(2000);
  PlaceAt(small, 512, test::Hr21Block(test::StoredPayload(Filler(30, 1))));
  PlaceAt(small, 999, test::Hr21Block(test::StoredPayload(Filler(30, 2))));
  AnalysedImage four(small);
  ASSERT_TRUE(four.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(512, 30), BlockAt(999, 30)}), four.Summary());

  Bytes large = Filler(124000);
  PlaceAt(large, 512, test::Hr21Block(test::StoredPayload(Filler(30, 1))));
  PlaceAt(large, 123456, test::Hr21Block(test::StoredPayload(Filler(30, 2))));
  AnalysedImage six(large);
  ASSERT_TRUE(six.Scan().ok());
  EXPECT_EQ((std::vector<Listed>{BlockAt(512, 30, 6), BlockAt(123456, 30, 6)}), six.Summary());
  EXPECT_STREQ("000512", six.At(0).block.numberText);
}

TEST(ScanImage, Hrst2DescriptorsGiveTrdosAttributesToSoundBlocksOnly) {
  test::Hrst2Options options;
  options.descriptor = test::Descriptor("code", 'C', 32768, 6913, 28);
  Bytes block = test::Hrst2Block(test::StoredPayload(Filler(7168, 5)), options);
  Bytes image = Concat(Concat(Filler(40), block), Filler(900, 2));
  uint32_t cutAt = image.size();
  image = Concat(image, Bytes(block.begin(), block.end() - 1));  // truncated copy at the end
  AnalysedImage a(image);
  ASSERT_TRUE(a.Scan().ok());
  ASSERT_EQ(2u, a.Count());
  EXPECT_EQ(6913u, a.At(0).listedSize);  // smart length from the descriptor
  EXPECT_EQ(1, a.At(0).attributeMark);
  EXPECT_EQ(1, a.At(0).block.hasDescriptor);
  EXPECT_EQ(32768, a.At(0).start);
  EXPECT_EQ(cutAt, a.At(1).block.position);
  EXPECT_EQ(1, a.At(1).bad);
  EXPECT_EQ(1, a.At(1).block.hasDescriptor);
  EXPECT_EQ(7168u, a.At(1).listedSize);
  EXPECT_EQ(0, a.At(1).attributeMark);
}

TEST(ScanImage, WholeFileHripTest) {
  Bytes withMembers = Filler(1234);
  PlaceAt(withMembers, 0, Bytes{'H', 'R', 'i', 0, 0, 5, 0, 0, 'H', 'r', 's', 't', '2'});
  EXPECT_TRUE(IsWholeHripArchive(withMembers.data(), withMembers.size()));
  Bytes empty{'H', 'R', 'i', 0, 8, 1, 0, 0};
  EXPECT_TRUE(IsWholeHripArchive(empty.data(), empty.size()));
  empty[7] = 2;  // neither a catalogue nor none
  EXPECT_FALSE(IsWholeHripArchive(empty.data(), empty.size()));
  Bytes catalogued(262, 0);
  PlaceAt(catalogued, 0, Bytes{'H', 'R', 'i', 0, 8, 1, 0, 1});
  EXPECT_FALSE(IsWholeHripArchive(catalogued.data(), catalogued.size()));
  PlaceAt(catalogued, 256, Bytes{'H', 'r', 'i', 'p'});
  EXPECT_TRUE(IsWholeHripArchive(catalogued.data(), catalogued.size()));
  EXPECT_FALSE(IsWholeHripArchive(catalogued.data(), 261));
  Bytes noSectors{'H', 'R', 'i', 0, 8, 0, 0, 0};  // L would be negative
  EXPECT_FALSE(IsWholeHripArchive(noSectors.data(), noSectors.size()));

  AnalysedImage a(Bytes{'H', 'R', 'i', 0, 8, 1, 0, 0});
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ(1, a.analysis().isHripArchive);
  EXPECT_EQ(0, a.analysis().hripDamaged);
  EXPECT_EQ(8u, a.analysis().hripLength);
  EXPECT_EQ(0u, a.Count());
}

TEST(ScanImage, ArchiveMembersAreNumberedSizedAndGivenAttributes) {
  test::HripArchive archive;
  test::Hrst2Options described;
  described.descriptor = test::Descriptor("inner", 'C', 24576, 1000, 4);
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(1024, 1)), described));
  archive.body.push_back(test::DirectoryRecord("dir"));
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(512, 2))));
  archive.records = {test::CatalogueRecord("first", 'C', 1), test::CatalogueRecord("dir", 0x20, 0),
                     test::CatalogueRecord("second", 'C', 16384)};
  AnalysedImage a(test::BuildHripArchive(archive));
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ(1, a.analysis().isHripArchive);
  ASSERT_EQ(3u, a.Count());
  const Entry& first = a.At(0);
  EXPECT_EQ(1u, first.member.ordinal);
  EXPECT_EQ(1000u, first.listedSize);  // smart length: 1000 bytes end in the 4th sector
  EXPECT_EQ(1, first.attributeMark);
  EXPECT_EQ(24576, first.start);  // the header's descriptor wins over the catalogue
  EXPECT_EQ(1, a.At(1).member.directory);
  EXPECT_EQ(0u, a.At(1).member.ordinal);
  const Entry& second = a.At(2);
  EXPECT_EQ(2u, second.member.ordinal);
  EXPECT_EQ(1, second.attributeMark);
  EXPECT_EQ(16384, second.start);  // from the catalogue record
  EXPECT_EQ(512, second.member.memberDescriptor.Length());
  EXPECT_EQ(512u, second.listedSize);
}

TEST(ScanImage, ADamagedArchiveLeadsWithANoticeAndTheRestIsSearched) {
  // The walk stops at garbage behind the first member; the "Hrst2" block
  // after the garbage is searched like any other data.
  test::HripArchive archive;
  archive.catalogue = false;
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(300, 1))));
  uint32_t stop = 8 + archive.body[0].size();
  archive.body.push_back(Bytes{'X', 'X', 'X', 'X', 'X', 'X', 'X', 'X', 'X'});
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(300, 2))));
  AnalysedImage a(test::BuildHripArchive(archive));
  ASSERT_TRUE(a.Scan().ok());
  EXPECT_EQ(1, a.analysis().hripDamaged);
  EXPECT_EQ(stop, a.analysis().hripLength);
  std::vector<Listed> list = a.Summary();
  ASSERT_EQ(3u, list.size());
  EXPECT_EQ("notice:corrupt", list[0].name);
  EXPECT_EQ(kArchiveMember, list[1].kind);
  EXPECT_EQ(BlockAt(stop + 9, 300), list[2]);
}

// A file larger than the MaxFileSize of every enabled search is listed with
// a notice, not as empty; a search that runs, or a whole archive, has none.
TEST(ScanImage, AFileTheSizeLimitsSkipSaysSo) {
  test::HripArchive archive;
  archive.catalogue = false;
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(Filler(3000, 1))));
  const Bytes plain = Filler(3000, 7);
  const struct {
    Bytes image;
    bool basicOn;  // the basic passes, limited to 2000 bytes
    bool deepOn;   // the deep passes, limited to 10 MiB
    std::vector<std::string> names;
  } cases[] = {
      {plain, true, false, {"notice:not-searched"}},  // over every limit
      {plain, true, true, {}},                        // one search still runs
      {plain, false, false, {}},                      // every search off
      {test::BuildHripArchive(archive), true, false, {""}},
  };
  for (const auto& c : cases) {
    Settings s = test::NoPasses();
    for (ScanParams* p : {&s.BasicScanParams_Hrust1, &s.BasicScanParams_Hrust2}) {
      p->Enabled = c.basicOn;
      p->MaxFileSize = 2000;
    }
    for (ScanParams* p : {&s.DeepScanParams_Hrust1, &s.DeepScanParams_Hrust2}) p->Enabled = c.deepOn;
    AnalysedImage a(c.image, s);
    ASSERT_TRUE(a.Scan().ok());
    std::vector<std::string> names;
    for (const Listed& l : a.Summary()) names.push_back(l.name);
    EXPECT_EQ(c.names, names) << &c - cases;
  }
}

TEST(ScanImage, NothingFoundIsAnEmptyListAndSuccess) {
  for (size_t size : {0, 1, 5, 6, 7, 8, 11, 300}) {
    AnalysedImage a(Filler(size, size), test::AllPasses());
    ASSERT_TRUE(a.Scan().ok()) << size;
    EXPECT_EQ(0u, a.Count()) << size;
    EXPECT_EQ(0, a.analysis().isHripArchive);
  }
}

}  // namespace
}  // namespace zantor
