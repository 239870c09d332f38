#include "scan/hrip.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scan/dispatch.h"
#include "scan/hrip_support.h"

namespace zantor {
namespace {

using test::Bytes;
using test::HripArchive;
using test::Hrst2Options;
using test::Payload;

std::vector<uint32_t> BlockPositions(const Entry& e) {
  const List<uint32_t>& l = e.member.blockPositions;
  return std::vector<uint32_t>(l.items, l.items + l.count);
}

Bytes CatalogueBytes(const Entry& e) {
  return Bytes(e.member.catalogueDescriptor, e.member.catalogueDescriptor + e.member.catalogueDescriptorLength);
}

Bytes DescriptorBytes(const TrdosDescriptor& d) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&d);
  return Bytes(p, p + TrdosDescriptor::kSize);
}

Hrst2Options NotLast() {
  Hrst2Options o;
  o.flags = 0;
  return o;
}

Hrst2Options WithDescriptor(const Bytes& descriptor, uint8_t flags = test::kFlagLast) {
  Hrst2Options o;
  o.flags = flags;
  o.descriptor = descriptor;
  return o;
}

// Several members from corpus streams: a single block with a descriptor, a
// directory record, a member of compressed + stored + compressed blocks whose
// descriptor comes from its second block, and a member whose two blocks both
// carry one (the first stays).
struct SampleArchive {
  HripArchive archive;
  std::vector<Bytes> expected;  // unpacked bytes per member, empty for directories
  std::vector<Bytes> descriptors;
  Bytes image;
};

SampleArchive BuildSample() {
  SampleArchive s;
  Payload a = test::Hrust2Sample("ziutek_shock7__1992_.stc");
  Payload b = test::Hrust2Sample("ben_daglish_dark_fusion__1988_.ay");
  Payload c = test::StoredPayload(Bytes(test::Filler(700, 4)));
  Payload d = test::Hrust2Sample("mmcm_assured__2000_.pt3");
  Payload e = test::Hrust2Sample("imp_vibrations_outro__1996_.stc");
  Bytes da = test::Descriptor("shock7", 'C', 0x6000, 2368, 10);
  Bytes dd = test::Descriptor("second", 'B', 100, 90, 3);
  Bytes df = test::Descriptor("first", 'C', 0xC000, 1000, 4);
  Bytes dl = test::Descriptor("later", 'C', 0, 0, 0);

  s.archive.body = {test::Hrst2Block(a, WithDescriptor(da)),
                    test::DirectoryRecord("GAMES"),
                    test::Hrst2Block(b, NotLast()),
                    test::Hrst2Block(c, WithDescriptor(dd, 0)),
                    test::Hrst2Block(d),
                    test::Hrst2Block(d, WithDescriptor(df, 0)),
                    test::Hrst2Block(e, WithDescriptor(dl))};
  s.archive.records = {test::CatalogueRecord("shock7", 'C', 0x6000), test::CatalogueRecord("GAMES", 'D', 0),
                       test::CatalogueRecord("joined", 'C', 1), test::CatalogueRecord("pair", 'C', 2)};
  s.expected = {a.unpacked, {}, test::Concat(test::Concat(b.unpacked, c.unpacked), d.unpacked),
                test::Concat(d.unpacked, e.unpacked)};
  s.descriptors = {da, {}, dd, df};
  s.image = test::BuildHripArchive(s.archive);
  return s;
}

TEST(ParseHripArchive, CorpusMembersListAndUnpackExactly) {
  ZANTOR_REQUIRE_CORPUS();
  SampleArchive s = BuildSample();
  ParsedHrip p(s.image);
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(0, p.analysis.hripDamaged);
  EXPECT_EQ("", p.Report());
  EXPECT_EQ(test::CatalogueOffset(s.archive) + 6 + 4 * 16 + 1, p.analysis.hripLength);
  ASSERT_EQ(4u, p.Count());

  uint32_t pos = 8;
  std::vector<uint32_t> starts;
  for (const Bytes& b : s.archive.body) starts.push_back(pos), pos += b.size();
  const std::vector<std::vector<uint32_t>> positions = {
      {starts[0]}, {}, {starts[2], starts[3], starts[4]}, {starts[5], starts[6]}};

  for (uint32_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const Entry& e = p.At(i);
    EXPECT_EQ(kArchiveMember, e.kind);
    EXPECT_EQ(0, e.bad);
    EXPECT_EQ(positions[i], BlockPositions(e));
    EXPECT_EQ(Bytes(s.archive.records[i].begin(), s.archive.records[i].begin() + 11), CatalogueBytes(e));
    EXPECT_EQ(s.expected[i].size(), e.member.unpackedSize);
    EXPECT_EQ(i == 1, e.member.directory == 1);
    EXPECT_EQ(!s.descriptors[i].empty(), e.member.hasHeaderDescriptor == 1);
    if (!s.descriptors[i].empty()) {
      EXPECT_EQ(s.descriptors[i], DescriptorBytes(e.member.memberDescriptor));
    }

    uint32_t packed = 0;
    for (uint32_t at : positions[i]) packed += p.image[at + 8] | p.image[at + 9] << 8;
    EXPECT_EQ(packed, e.member.packedSize);

    Bytes out(s.expected[i].size());
    for (bool verify : {false, true}) {
      ASSERT_TRUE(UnpackHripMember(p.image.get(), p.imageSize, e, out.data(), verify).ok());
      EXPECT_EQ(s.expected[i], out);
    }
  }
}

TEST(ParseHripArchive, EntryLimitEndsTheWalkWithoutDamage) {
  ZANTOR_REQUIRE_CORPUS();
  SampleArchive s = BuildSample();
  ParsedHrip p(s.image, 2);
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(2u, p.Count());
  EXPECT_EQ(0, p.analysis.hripDamaged);
  EXPECT_EQ("", p.Report());
  EXPECT_EQ(8 + s.archive.body[0].size() + s.archive.body[1].size(), p.analysis.hripLength);
}

TEST(ParseHripArchive, MillionsOfDirectoryRecordsCostOnlyTheEntryLimit) {
  HripArchive a;
  a.catalogue = false;
  Bytes records;
  const Bytes one = test::DirectoryRecord("d");
  for (int i = 0; i < 250000; ++i) records.insert(records.end(), one.begin(), one.end());
  a.body = {records};
  ParsedHrip p(test::BuildHripArchive(a), 300);
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(300u, p.Count());
  EXPECT_EQ(0, p.analysis.hripDamaged);
  EXPECT_EQ(8u + 300 * one.size(), p.analysis.hripLength);
}

TEST(ParseHripArchive, HeaderOnlyArchiveAndNonArchives) {
  HripArchive a;
  a.catalogue = false;
  Bytes image = test::BuildHripArchive(a);
  ASSERT_EQ(8u, image.size());
  EXPECT_EQ(8, image[4]);
  ParsedHrip p(image);
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(0u, p.Count());
  EXPECT_EQ(0, p.analysis.hripDamaged);
  EXPECT_EQ(8u, p.analysis.hripLength);

  Bytes notHrip = image;
  notHrip[2] = 'x';
  EXPECT_EQ(13, ParsedHrip(notHrip).result.hostCode);
  EXPECT_EQ(13, ParsedHrip(Bytes(image.begin(), image.begin() + 7)).result.hostCode);
  Bytes negative = image;  // no sectors but a short last sector: negative length
  negative[5] = 0;
  EXPECT_EQ(13, ParsedHrip(negative).result.hostCode);
}

// Two stored blocks forming one member, with a one-record catalogue.
HripArchive TwoBlockMember() {
  HripArchive a;
  a.body = {test::Hrst2Block(test::StoredPayload(Bytes(30, 1)), NotLast()),
            test::Hrst2Block(test::StoredPayload(Bytes(50, 2)))};
  a.records = {test::CatalogueRecord("two", 'C', 0x8000)};
  return a;
}

TEST(ParseHripArchive, MemberOfTwoBlocksWithCatalogue) {
  HripArchive a = TwoBlockMember();
  ParsedHrip p(test::BuildHripArchive(a));
  ASSERT_TRUE(p.result.ok());
  ASSERT_EQ(1u, p.Count());
  EXPECT_EQ(0, p.analysis.hripDamaged);
  EXPECT_EQ(256u + 23, p.analysis.hripLength);
  const Entry& e = p.At(0);
  EXPECT_EQ((std::vector<uint32_t>{8, 8 + 45}), BlockPositions(e));
  EXPECT_EQ(80u, e.member.packedSize);
  EXPECT_EQ(80u, e.member.unpackedSize);
  EXPECT_EQ(Bytes(a.records[0].begin(), a.records[0].begin() + 11), CatalogueBytes(e));
  EXPECT_EQ(0, e.member.hasHeaderDescriptor);
}

TEST(ParseHripArchive, CatalogueFaultsAreReportedAndIgnored) {
  HripArchive countZero = TwoBlockMember();
  countZero.count = 0;
  HripArchive missing = TwoBlockMember();
  missing.catalogueSignature = false;
  HripArchive unterminated = TwoBlockMember();
  unterminated.terminated = false;
  HripArchive invalidRecord = TwoBlockMember();
  invalidRecord.records[0][0] = 0;
  Bytes shortCatalogue = test::BuildHripArchive(TwoBlockMember());
  shortCatalogue.resize(256 + 20);  // the record is cut

  const struct {
    Bytes image;
    bool keepsDescriptor;
  } cases[] = {{test::BuildHripArchive(countZero), false},
               {test::BuildHripArchive(missing), false},
               {test::BuildHripArchive(unterminated), true},
               {test::BuildHripArchive(invalidRecord), false},
               {shortCatalogue, false}};
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(i++);
    ParsedHrip p(c.image);
    ASSERT_TRUE(p.result.ok());
    ASSERT_EQ(1u, p.Count());
    EXPECT_EQ(0, p.At(0).bad);
    EXPECT_EQ(1, p.analysis.hripDamaged);
    EXPECT_EQ("Archive catalogue is corrupt.\r\n", p.Report());
    EXPECT_EQ(c.keepsDescriptor ? 11u : 0u, p.At(0).member.catalogueDescriptorLength);
    EXPECT_EQ(8u + 80 + 30, p.analysis.hripLength);
  }
}

TEST(ParseHripArchive, BlockPastTheArchiveEndIsCorruptAndUnexpected) {
  HripArchive a;
  a.catalogue = false;
  a.body = {test::Hrst2Block(test::StoredPayload(Bytes(50, 3)))};
  a.length = 40;
  ParsedHrip p(test::BuildHripArchive(a));
  ASSERT_TRUE(p.result.ok());
  ASSERT_EQ(1u, p.Count());
  EXPECT_EQ(1, p.At(0).bad);
  EXPECT_EQ(1, p.analysis.hripDamaged);
  EXPECT_EQ("Corrupted entry found.\r\nUnexpected end of archive.\r\n", p.Report());
  EXPECT_EQ(40u, p.analysis.hripLength);
}

TEST(ParseHripArchive, UnsupportedFlagsStopBeforeAnyMember) {
  HripArchive a;
  a.catalogue = false;
  Hrst2Options solid;
  solid.flags = 0x48;
  a.body = {test::Hrst2Block(test::StoredPayload(Bytes(10, 1)), solid)};
  ParsedHrip p(test::BuildHripArchive(a));
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(0u, p.Count());
  EXPECT_EQ(1, p.analysis.hripDamaged);
  EXPECT_EQ(
      "Unsupported entry flag(s): \r\n - solid entry (packed with references to last block);"
      "\r\n - entry is encrypted;\r\nArchive analysis stopped at position 8\r\n",
      p.Report());
  EXPECT_EQ(8u, p.analysis.hripLength);

  solid.flags = 0x10 | test::kFlagLast;
  a.body = {test::Hrst2Block(test::StoredPayload(Bytes(10, 1))), test::Hrst2Block(test::StoredPayload(Bytes(10, 1)), solid)};
  ParsedHrip q(test::BuildHripArchive(a));
  EXPECT_EQ(1u, q.Count());
  EXPECT_EQ("Unsupported entry flag(s): \r\n - solid archive;\r\nArchive analysis stopped at position 33\r\n",
            q.Report());
}

TEST(ParseHripArchive, WalkStopsAtBadHeaderAndDirectoryInsideMember) {
  const Bytes block = test::Hrst2Block(test::StoredPayload(Bytes(10, 1)));  // 25 bytes
  HripArchive garbage;
  garbage.catalogue = false;
  garbage.body = {block, test::Filler(40)};
  ParsedHrip p(test::BuildHripArchive(garbage));
  ASSERT_TRUE(p.result.ok());
  EXPECT_EQ(1u, p.Count());
  EXPECT_EQ(0, p.At(0).bad);
  EXPECT_EQ("Found entry with bad header.\r\nArchive analysis stopped at position 33\r\n", p.Report());
  EXPECT_EQ(33u, p.analysis.hripLength);

  HripArchive directoryInside;
  directoryInside.catalogue = false;
  directoryInside.body = {test::Hrst2Block(test::StoredPayload(Bytes(10, 1)), NotLast()),
                          test::DirectoryRecord("dir"), block};
  ParsedHrip q(test::BuildHripArchive(directoryInside));
  ASSERT_TRUE(q.result.ok());
  ASSERT_EQ(1u, q.Count());
  EXPECT_EQ(1, q.At(0).bad);
  EXPECT_EQ("Corrupted entry found.\r\nArchive analysis stopped at position 33\r\n", q.Report());

  // A block header cut by the archive end: the member it began is listed bad.
  HripArchive cut;
  cut.catalogue = false;
  cut.body = {block, Bytes(block.begin(), block.begin() + 9)};
  ParsedHrip r(test::BuildHripArchive(cut));
  ASSERT_EQ(2u, r.Count());
  EXPECT_EQ(1, r.At(1).bad);
  EXPECT_EQ(
      "Found entry with bad header.\r\nCorrupted entry found.\r\n"
      "Archive analysis stopped at position 33\r\n",
      r.Report());
}

TEST(ParseHripArchive, UnfinishedMemberIsListedBad) {
  HripArchive a;
  a.catalogue = false;
  a.body = {test::Hrst2Block(test::StoredPayload(Bytes(10, 1)), NotLast())};
  ParsedHrip p(test::BuildHripArchive(a));
  ASSERT_TRUE(p.result.ok());
  ASSERT_EQ(1u, p.Count());
  EXPECT_EQ(1, p.At(0).bad);
  EXPECT_EQ(1, p.analysis.hripDamaged);
  EXPECT_EQ("Corrupted entry found.\r\n", p.Report());
}

TEST(ParseHripArchive, DirectoryRecordKeepsElevenNameBytesWithoutCatalogue) {
  HripArchive a;
  a.catalogue = false;
  a.body = {test::DirectoryRecord("a-very-long-directory"), test::DirectoryRecord("")};
  ParsedHrip p(test::BuildHripArchive(a));
  ASSERT_EQ(2u, p.Count());
  EXPECT_EQ(1, p.At(0).member.directory);
  EXPECT_EQ(Bytes({'a', '-', 'v', 'e', 'r', 'y', '-', 'l', 'o', 'n', 'g'}), CatalogueBytes(p.At(0)));
  EXPECT_EQ(0u, p.At(1).member.catalogueDescriptorLength);
  EXPECT_EQ(0, p.analysis.hripDamaged);
}

}  // namespace
}  // namespace zantor
