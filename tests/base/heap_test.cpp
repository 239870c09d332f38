#include "base/heap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/block_layout.h"
#include "support/fatal.h"

namespace zantor {
namespace {

// More than the address space a process can get, on either word size.
const size_t kHugeRequest = sizeof(size_t) == 8 ? size_t{1} << 47 : size_t{0xF0000000};

const uint8_t* Header(const void* block) { return static_cast<const uint8_t*>(block) - kBlockHeader; }

bool AllZero(const void* area, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(area);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

TEST(HeapTest, ZeroSizeSharesTheEmptyBlock) {
  void* a = Allocate(0);
  void* b = Allocate(0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  Release(a);
  Release(a);
  EXPECT_EQ(Allocate(0), a);
  void* grown = Reallocate(a, 10);
  ASSERT_NE(grown, nullptr);
  EXPECT_NE(grown, a);
  EXPECT_TRUE(AllZero(grown, 10));
  EXPECT_EQ(Reallocate(grown, 0), a);
  Release(nullptr);
}

TEST(HeapTest, BlocksAreZeroFilledAndGuarded) {
  uint8_t* block = static_cast<uint8_t*>(Allocate(100));
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(AllZero(block, 100));
  EXPECT_EQ(NativeBlockLayout::Size(Header(block)), 100u);
  EXPECT_EQ(NativeBlockLayout::Guard(Header(block)), NativeBlockLayout::kLiveGuard);
  EXPECT_EQ(LoadLittleEndian(block + 100, 4), kTrailingGuard);
  Release(block);
}

TEST(HeapTest, GrowingKeepsContentAndZeroesWhereTheOldGuardWas) {
  uint8_t* block = static_cast<uint8_t*>(Allocate(5));
  std::memcpy(block, "abcde", 5);
  block = static_cast<uint8_t*>(Reallocate(block, 4000));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::memcmp(block, "abcde", 5), 0);
  EXPECT_TRUE(AllZero(block + 5, 4000 - 5));
  block = static_cast<uint8_t*>(Reallocate(block, 3));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::memcmp(block, "abc", 3), 0);
  EXPECT_EQ(LoadLittleEndian(block + 3, 4), kTrailingGuard);
  EXPECT_EQ(Reallocate(block, 3), block);
  Release(block);
}

TEST(HeapTest, RefusedRequestsGiveNull) {
  EXPECT_EQ(Allocate(kHugeRequest), nullptr);
  EXPECT_EQ(Allocate(SIZE_MAX), nullptr);  // size + 12 does not fit a word
  EXPECT_EQ(Allocate(SIZE_MAX - 11), nullptr);
}

TEST(HeapTest, FailedReallocationLeavesTheBlockIntact) {
  uint8_t* block = static_cast<uint8_t*>(Allocate(8));
  std::memcpy(block, "12345678", 8);
  EXPECT_EQ(Reallocate(block, kHugeRequest), nullptr);
  EXPECT_EQ(Reallocate(block, SIZE_MAX), nullptr);
  EXPECT_EQ(std::memcmp(block, "12345678", 8), 0);
  EXPECT_EQ(NativeBlockLayout::Size(Header(block)), 8u);
  NativeBlockLayout::Check(Header(block));
  Release(block);
}

TEST(HeapTest, NullReallocationAllocates) {
  void* block = Reallocate(nullptr, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(AllZero(block, 16));
  Release(block);
}

TEST(HeapDeathTest, WipedHeaderIsNotAllocated) {
  alignas(8) uint8_t wiped[32] = {};
  EXPECT_FATAL(Release(wiped + kBlockHeader), "Memory not allocated");
  EXPECT_FATAL(Reallocate(wiped + kBlockHeader, 4), "Memory not allocated");
}

TEST(HeapDeathTest, OverrunIsCorruption) {
  EXPECT_FATAL(
      {
        uint8_t* block = static_cast<uint8_t*>(Allocate(10));
        block[10] = 0;
        Release(block);
      },
      "Internal error:\nMemory corrupted");
}

}  // namespace
}  // namespace zantor
