#include "scan/entry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scan/analysis.h"

namespace zantor {
namespace {

void DestroyEntries(Analysis& analysis) {
  for (uint32_t i = 0; i < analysis.entries.count; ++i) DestroyEntry(analysis.entries.At(i));
  analysis.entries.Destroy();
}

TEST(Entry, NewEntryIsZeroFilledWithItsKind) {
  Entry* e = NewEntry(kEmbeddedArchive);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(kEmbeddedArchive, e->kind);
  Entry zero{};
  zero.kind = kEmbeddedArchive;
  EXPECT_EQ(0, std::memcmp(&zero, e, sizeof(Entry)));
  DestroyEntry(e);
  DestroyEntry(nullptr);
}

TEST(Entry, AddBlockEntryAppendsInOrderAndTruncationMakesItBad) {
  Analysis analysis{};
  BlockInfo truncated{100, 2000, 8, 0, kFormatHr21, 1};
  BlockInfo sound{50, 60, 6, 0, kFormatHrust1, 0};
  ASSERT_TRUE(AddBlockEntry(analysis, 0x10, truncated, false).ok());
  ASSERT_TRUE(AddBlockEntry(analysis, 0x20, sound, false).ok());
  ASSERT_TRUE(AddBlockEntry(analysis, 0x10, sound, true).ok());  // overlap is allowed
  ASSERT_EQ(3u, analysis.entries.count);

  const Entry& first = *analysis.entries.At(0);
  EXPECT_EQ(kBlock, first.kind);
  EXPECT_EQ(0x10u, first.block.position);
  EXPECT_EQ(1, first.bad);
  EXPECT_EQ(100u, first.block.info.packed);
  EXPECT_EQ(8u, first.block.info.headerLength);
  EXPECT_EQ(0, analysis.entries.At(1)->bad);
  EXPECT_EQ(0x20u, analysis.entries.At(1)->block.position);
  EXPECT_EQ(1, analysis.entries.At(2)->bad);
  DestroyEntries(analysis);
}

TEST(Entry, CopyIsIndependentOfItsSource) {
  Entry* source = NewEntry(kArchiveMember);
  ASSERT_NE(nullptr, source);
  source->listedSize = 1234;
  source->member.unpackedSize = 1234;
  source->member.catalogueDescriptor[0] = 'A';
  for (uint32_t p : {8u, 300u, 7000u}) ASSERT_TRUE(source->member.blockPositions.Append(p).ok());

  Entry* copy = NewEntry(kNotice);
  ASSERT_NE(nullptr, copy);
  ASSERT_TRUE(CopyEntry(*source, copy).ok());
  EXPECT_EQ(kArchiveMember, copy->kind);
  EXPECT_EQ(1234u, copy->listedSize);
  EXPECT_EQ('A', copy->member.catalogueDescriptor[0]);
  ASSERT_EQ(3u, copy->member.blockPositions.count);
  EXPECT_NE(source->member.blockPositions.items, copy->member.blockPositions.items);

  // Growing the copy leaves the source alone; destroying the source leaves the copy.
  ASSERT_TRUE(copy->member.blockPositions.Append(9000).ok());
  EXPECT_EQ(3u, source->member.blockPositions.count);
  DestroyEntry(source);
  EXPECT_EQ(8u, copy->member.blockPositions.At(0));
  EXPECT_EQ(300u, copy->member.blockPositions.At(1));
  EXPECT_EQ(7000u, copy->member.blockPositions.At(2));
  EXPECT_EQ(9000u, copy->member.blockPositions.At(3));
  DestroyEntry(copy);
}

TEST(Entry, CopyOfAnEntryWithoutPositionsSharesNoArray) {
  // The copy must not inherit the source's array even when the source's
  // list is empty but allocated.
  Entry* source = NewEntry(kArchiveMember);
  ASSERT_TRUE(source->member.blockPositions.Append(1).ok());
  source->member.blockPositions.count = 0;
  Entry* copy = NewEntry(kArchiveMember);
  ASSERT_TRUE(CopyEntry(*source, copy).ok());
  EXPECT_EQ(nullptr, copy->member.blockPositions.items);
  DestroyEntry(copy);
  DestroyEntry(source);  // would stop on a double release
}

}  // namespace
}  // namespace zantor
