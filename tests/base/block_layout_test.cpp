#include "base/block_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/string_capacity.h"
#include "support/fatal.h"

namespace zantor {
namespace {

template <unsigned Bits>
std::vector<uint8_t> SealedBlock(uint64_t size) {
  std::vector<uint8_t> block(size + kBlockOverhead, 0);
  BlockLayout<Bits>::Seal(block.data(), size);
  return block;
}

TEST(BlockLayoutTest, BothWordSizesShareTheUpperGuardBytesAndTheTrailingGuard) {
  EXPECT_EQ(SealedBlock<64>(5), (std::vector<uint8_t>{5, 0, 0, 0, 0, 0, 0x66, 0x99, 0, 0, 0, 0, 0, 0x99, 0x66,
                                                      0x33, 0xFF}));
  EXPECT_EQ(SealedBlock<32>(5), (std::vector<uint8_t>{5, 0, 0, 0, 0x11, 0x33, 0x66, 0x99, 0, 0, 0, 0, 0, 0x99,
                                                      0x66, 0x33, 0xFF}));
}

TEST(BlockLayoutTest, SizeAndGuardRoundTrip) {
  auto block = SealedBlock<64>(0x123456);
  EXPECT_EQ(BlockLayout<64>::Size(block.data()), 0x123456u);
  EXPECT_EQ(BlockLayout<64>::Guard(block.data()), 0x9966u);
  BlockLayout<64>::Check(block.data());
  BlockLayout<64>::Unseal(block.data());
  EXPECT_EQ(BlockLayout<64>::Guard(block.data()), 0u);
  EXPECT_EQ(block[8 + 0x123456], 0);
}

TEST(BlockLayoutTest, LargestRequestLeavesRoomForTheGuardsInAWord) {
  EXPECT_EQ(BlockLayout<32>::kLargestRequest, 0xFFFFFFF3u);
  EXPECT_EQ(BlockLayout<64>::kLargestRequest, UINT64_MAX - 12);
}

TEST(BlockLayoutDeathTest, ZeroGuardIsNotAllocatedInBothLayouts) {
  std::vector<uint8_t> zero(16, 0);
  EXPECT_FATAL(BlockLayout<64>::Check(zero.data()), "Memory not allocated");
  EXPECT_FATAL(BlockLayout<32>::Check(zero.data()), "Memory not allocated");
}

TEST(BlockLayoutDeathTest, DamagedGuardsAreCorruption) {
  auto trailing = SealedBlock<64>(3);
  trailing[8 + 3] ^= 1;
  EXPECT_FATAL(BlockLayout<64>::Check(trailing.data()), "Memory corrupted");
  // The 32-bit test looks at the whole guard: a lower half alone is not zero.
  auto lowerHalf = SealedBlock<32>(3);
  lowerHalf[6] = lowerHalf[7] = 0;
  EXPECT_FATAL(BlockLayout<32>::Check(lowerHalf.data()), "Memory corrupted");
}

TEST(BlockLayoutDeathTest, SizeBeyond48BitsStopsWithoutDetail) {
  uint8_t header[kBlockHeader] = {};
  EXPECT_FATAL(BlockLayout<64>::Seal(header, uint64_t{1} << 48), "author!\n\n$");
}

TEST(StringCapacityTest, FirstReservationsRoundToTheGranule) {
  EXPECT_EQ(GrownStringCapacity<64>(0, 1), 31u);
  EXPECT_EQ(GrownStringCapacity<64>(0, 12), 47u);
  EXPECT_EQ(GrownStringCapacity<64>(0, 50), 79u);
  EXPECT_EQ(GrownStringCapacity<32>(0, 1), 23u);
  EXPECT_EQ(GrownStringCapacity<32>(0, 12), 39u);
  EXPECT_EQ(GrownStringCapacity<32>(0, 50), 71u);
}

TEST(StringCapacityTest, GrowthDoublesThenRoundsAndStopsAtTheMaximum) {
  EXPECT_EQ(GrownStringCapacity<64>(31, 32), 95u);
  EXPECT_EQ(GrownStringCapacity<64>(31, 200), 271u);  // 31 -> 62 -> 124 -> 248
  EXPECT_EQ(GrownStringCapacity<32>(23, 24), 71u);
  EXPECT_EQ(GrownStringCapacity<64>(0x40000000, 0x40000001), String::kMaxLength);
  EXPECT_EQ(GrownStringCapacity<32>(0x7FFFFFF0, String::kMaxLength), String::kMaxLength);
  EXPECT_EQ(GrownStringCapacity<64>(0, String::kMaxLength), String::kMaxLength);
}

}  // namespace
}  // namespace zantor
