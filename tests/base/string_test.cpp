#include "base/zstring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/string_capacity.h"
#include "support/fatal.h"

namespace zantor {
namespace {

String Make(const char* text) {
  String s{};
  EXPECT_TRUE(s.Append(text).ok());
  return s;
}

std::string MessageOf(const Result& r) { return r.message ? static_cast<const char*>(r.message) : ""; }

TEST(StringTest, ZeroStringTakesAFirstAppend) {
  String s{};
  ASSERT_TRUE(s.Append("abc").ok());
  EXPECT_EQ(s.capacity, sizeof(void*) == 8 ? 31u : 23u);
  EXPECT_EQ(s.length, 3u);
  EXPECT_EQ(s.marker, String::kMarker);
  EXPECT_STREQ(s.Text(), "abc");
  s.Destroy();
  String zero{};
  EXPECT_EQ(std::memcmp(&s, &zero, sizeof(s)), 0);
}

TEST(StringTest, EmptyTextIsNotNull) {
  String s{};
  ASSERT_NE(s.Text(), nullptr);
  EXPECT_STREQ(s.Text(), "");
  EXPECT_EQ(s.marker, String::kMarker);
  s.Destroy();
}

TEST(StringTest, GrowsByAppendCharAndKeepsContent) {
  String s{};
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    char c = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(s.AppendChar(c).ok());
    expected += c;
  }
  EXPECT_EQ(s.Text(), expected);
  EXPECT_EQ(s.CharAt(999), expected[999]);
  EXPECT_EQ((s.capacity + 1) % (sizeof(void*) == 8 ? 16 : 8), 0u);
  s.Destroy();
}

TEST(StringTest, AppendOfItsOwnTextSurvivesReallocation) {
  String s = Make("0123456789012345678901234567890");  // exactly fills the first buffer
  ASSERT_TRUE(s.Append(s.Text()).ok());
  EXPECT_STREQ(s.Text(), "01234567890123456789012345678900123456789012345678901234567890");
  ASSERT_TRUE(s.Append(s.Text() + 60).ok());
  EXPECT_EQ(std::string(s.Text()).substr(60), "9090");
  s.Destroy();
}

TEST(StringTest, RemoveTruncatesOrClosesTheGap) {
  String s = Make("abcde");
  ASSERT_TRUE(s.Remove(2, 3).ok());
  EXPECT_STREQ(s.Text(), "ab");
  s.Destroy();

  s = Make("abcdef");
  ASSERT_TRUE(s.Remove(1, 2).ok());
  EXPECT_STREQ(s.Text(), "adef");
  ASSERT_TRUE(s.Remove(4, 0).ok());
  EXPECT_STREQ(s.Text(), "adef");
  s.Destroy();
}

TEST(StringTest, BadRemoveFailsAndLeavesTheString) {
  String s = Make("abcd");
  Result r = s.Remove(2, 3);
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(MessageOf(r), "Invalid args of String.Remove operation");
  EXPECT_EQ(ToHostCode(r), 1);
  // A count that would wrap round 32 bits is just as invalid.
  EXPECT_TRUE(s.Remove(1, 0xFFFFFFFFu).failed());
  EXPECT_TRUE(s.Remove(0x7FFFFFFB, 0).failed());
  EXPECT_STREQ(s.Text(), "abcd");
  s.Destroy();
}

TEST(StringTest, LengthLimitIsAFailureNotAGrowth) {
  String s = Make("xy");
  Result r = s.Reserve(String::kMaxLength + 1);
  EXPECT_EQ(MessageOf(r), "Capacity of string is too large");
  EXPECT_TRUE(s.Reserve(0xFFFFFFFFu).failed());

  // Pretend to be one short of the maximum; the checks run before any copy.
  String saved = s;
  s.capacity = String::kMaxLength;
  s.length = String::kMaxLength - 1;
  EXPECT_EQ(MessageOf(s.Append("ab")), "Capacity of string is too large");
  s.length = String::kMaxLength;
  EXPECT_EQ(MessageOf(s.AppendChar('a')), "Capacity of string is too large");
  EXPECT_EQ(s.length, String::kMaxLength);
  s = saved;
  EXPECT_STREQ(s.Text(), "xy");
  s.Destroy();
}

TEST(StringDeathTest, MisuseStops) {
  String s = Make("abc");
  EXPECT_FATAL(s.CharAt(3), "Index out of string");
  String garbage{};
  garbage.length = 1;
  EXPECT_FATAL(garbage.Text(), "String not initialized");
  EXPECT_FATAL(garbage.Destroy(), "String not initialized");
  s.Destroy();
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
