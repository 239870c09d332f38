#include "base/block_layout.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace zantor
