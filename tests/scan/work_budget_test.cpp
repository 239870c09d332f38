// The work budget of the analysis: a crafted image that runs it out lists
// what was found before, behind a notice; genuine data stays far inside it.
#include "scan/work_budget.h"

#include <gtest/gtest.h>

#include "scan/analyse_support.h"
#include "support/hrust2_writer.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::AnalysedImage;
using test::Bytes;
using test::Concat;
using test::Listed;

// "HR" headers every 7 bytes whose checks all walk far: the deep Hrust 1
// pass pays a long check at each.
Bytes HeaderEvery7Bytes(size_t size) {
  const uint8_t period[7] = {'H', 'R', 0x00, 0xFF, 0x00, 0x08, 0xD8};
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = period[i % 7];
  return out;
}

TEST(WorkBudget, RunningOutListsWhatWasFoundBehindANotice) {
  ZANTOR_REQUIRE_CORPUS();
  test::Payload h2 = test::Hrust2Sample("pic1");
  // An hr21 block the basic pass finds, the crafted stretch, then an HR block
  // only the deep Hrust 1 pass finds, after the crafted stretch.
  Bytes image = Concat(Concat(test::Hr21Block(h2), HeaderEvery7Bytes(7000)),
                       Concat(test::Filler(100, 3), test::Hrust1Block("pic2")));
  AnalysedImage full(image);
  WorkBudget plenty = AnalysisBudget(full.analysis().settings, static_cast<uint32_t>(image.size()));
  ASSERT_TRUE(full.ScanWithin(plenty).ok());
  ASSERT_FALSE(plenty.exhausted);
  const std::vector<Listed> all = full.Summary();
  ASSERT_GE(all.size(), 2u);

  AnalysedImage stopped(image);
  WorkBudget small{20000, 0};
  ASSERT_TRUE(stopped.ScanWithin(small).ok());
  EXPECT_TRUE(small.exhausted);
  const std::vector<Listed> partial = stopped.Summary();
  ASSERT_FALSE(partial.empty());
  EXPECT_EQ("notice:stopped", partial[0].name);
  // The find made before the budget ran out, as the full search lists it
  // (the number width follows the largest position listed); not the last.
  ASSERT_EQ(2u, partial.size());
  EXPECT_EQ(all[0].position, partial[1].position);
  EXPECT_EQ(all[0].size, partial[1].size);
  EXPECT_EQ(all.back().position, image.size() - test::Hrust1Block("pic2").size());
}

// A member larger than a TR-DOS file is verified block by block in a window:
// listed as before (attributes recorded, its whole size), and a damaged last
// block still keeps the attributes off.
TEST(WorkBudget, AMemberLargerThanATrdosFileIsVerifiedInAWindow) {
  for (bool damaged : {false, true}) {
    test::HripArchive archive;
    archive.catalogue = false;
    for (int i = 0; i < 3; ++i) {
      test::Hrst2Options options;
      options.flags = i == 2 ? test::kFlagLast : 0;
      options.wrongUnpackedCrc = damaged && i == 2;
      archive.body.push_back(test::Hrst2Block(test::StoredPayload(test::Filler(40000, i)), options));
    }
    AnalysedImage a(test::BuildHripArchive(archive));
    ASSERT_TRUE(a.Scan().ok());
    ASSERT_EQ(1u, a.Count());
    EXPECT_EQ(120000u, a.At(0).listedSize);
    EXPECT_EQ(damaged ? 0 : 1, a.At(0).attributeMark);
  }
}

// However well a genuine archive compresses, a full catalogue of the largest
// TR-DOS files lists exactly: every member with its attributes, no notice.
// Each member is 65,280 bytes of one value in long copies: about 1,000 to 1,
// as a blank screen or memory dump packs.
TEST(WorkBudget, AFullCatalogueOfTheLargestTrdosFilesListsAtAnyRatio) {
  test::Hrust2Writer w;
  while (w.produced() < 65280) {
    const uint32_t left = static_cast<uint32_t>(65280 - w.produced());
    w.Copy(left > 4095 ? (left - 4095 < 3 ? 4000 : 4095) : left, 1);
  }
  w.End();
  test::Hrst2Options options;
  options.descriptor = test::Descriptor("dump", 'C', 32768, 65280, 255);
  test::HripArchive archive;
  for (int i = 0; i < 255; ++i) {
    archive.body.push_back(test::Hrst2Block(test::Payload{w.packed(), w.Unpacked(), false}, options));
    archive.records.push_back(test::CatalogueRecord("dump", 'C', 32768));
  }
  AnalysedImage a(test::BuildHripArchive(archive));
  ASSERT_TRUE(a.Scan().ok());
  ASSERT_EQ(255u, a.Count());
  for (uint32_t i = 0; i < a.Count(); ++i) {
    const Entry& e = a.At(i);
    EXPECT_TRUE(e.kind == kArchiveMember && e.attributeMark == 1 && e.listedSize == 65280) << i;
  }
}

// Every corpus file, with all passes on, needs less than a quarter of its
// budget: the budget leaves genuine data a wide margin.
TEST(WorkBudget, GenuineDataStaysFarInside) {
  ZANTOR_REQUIRE_CORPUS();
  const std::pair<std::string, std::string> kinds[] = {{"plain/", ""}, {"hrust1/", ".hr1"}, {"hrust2/", ".hr21"}};
  for (const auto& [folder, suffix] : kinds) {
    for (const std::string& name : test::CorpusNamesBySize()) {
      Bytes image = test::ReadCorpusFile(folder + name + suffix);
      if (image.empty()) continue;
      AnalysedImage a(image, test::AllPasses());
      WorkBudget budget = AnalysisBudget(a.analysis().settings, static_cast<uint32_t>(image.size()));
      budget.left /= 4;
      ASSERT_TRUE(a.ScanWithin(budget).ok());
      EXPECT_FALSE(budget.exhausted) << folder << name;
    }
  }
}

}  // namespace
}  // namespace zantor
