#include "base/list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/heap.h"
#include "support/fatal.h"

namespace zantor {
namespace {

struct Pair {
  uint32_t first;
  uint32_t second;
};

TEST(ListTest, GrowsByDoublingFromOne) {
  List<uint32_t> list{};
  std::vector<uint32_t> capacities;
  for (uint32_t i = 0; i < 9; ++i) {
    ASSERT_TRUE(list.Append(i * 10).ok());
    capacities.push_back(list.capacity);
  }
  EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
  for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(list.At(i), i * 10);
  list.Destroy();
  List<uint32_t> zero{};
  EXPECT_EQ(std::memcmp(&list, &zero, sizeof(list)), 0);
}

TEST(ListTest, InsertShiftsTheTail) {
  List<Pair> list{};
  ASSERT_TRUE(list.Insert(0, Pair{3, 3}).ok());
  ASSERT_TRUE(list.Insert(0, Pair{1, 1}).ok());
  ASSERT_TRUE(list.Insert(1, Pair{2, 2}).ok());
  ASSERT_TRUE(list.Insert(3, Pair{4, 4}).ok());
  ASSERT_EQ(list.count, 4u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(list.At(i).second, i + 1);
  list.Destroy();
}

TEST(ListTest, GrowthStopsAtTheLargestCapacity) {
  void* items = nullptr;
  uint32_t capacity = 0;
  std::vector<uint32_t> capacities;
  while (GrowListArray(&items, &capacity, 4, 5).ok()) capacities.push_back(capacity);
  EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 4, 5}));
  Result r = GrowListArray(&items, &capacity, 4, 5);
  EXPECT_STREQ(static_cast<const char*>(r.message), "Overflow of list");
  EXPECT_EQ(capacity, 5u);
  ReleaseListArray(items);
}

TEST(ListTest, FullListAtTheLargestCapacityRefusesAnInsertion) {
  // A real one-element array posing as full: the check comes before any write.
  List<uint32_t> list{};
  ASSERT_TRUE(list.Append(7).ok());
  List<uint32_t> saved = list;
  list.count = list.capacity = List<uint32_t>::kMaxCapacity;
  Result r = list.Append(8);
  EXPECT_STREQ(static_cast<const char*>(r.message), "Overflow of list");
  EXPECT_EQ(list.count, List<uint32_t>::kMaxCapacity);
  list = saved;
  EXPECT_EQ(list.At(0), 7u);
  list.Destroy();
}

TEST(ListDeathTest, IndexesOutOfRangeStop) {
  List<uint32_t> list{};
  ASSERT_TRUE(list.Append(1).ok());
  EXPECT_FATAL(list.Insert(2, 5), "Index out of list");
  EXPECT_FATAL(list.At(1), "Index out of list");
  list.Destroy();
}

}  // namespace
}  // namespace zantor
