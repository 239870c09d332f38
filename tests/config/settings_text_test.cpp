// The text forms of the configuration file: struct values and INI editing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings_ini.h"
#include "config/settings_struct.h"

namespace zantor {
namespace {

TextSpan Span(const std::string& s) { return TextSpan{s.data(), static_cast<uint32_t>(s.size())}; }

TEST(StructText, EncodesBytesAndCheckPair) {
  const uint8_t bytes[] = {0x00, 0xAB, 0xFF, 0x7F};
  char text[11];
  EncodeStruct(bytes, sizeof bytes, text);
  EXPECT_STREQ(text, "00ABFF7F29");  // (0xAB + 0xFF + 0x7F) & 0xFF
}

TEST(StructText, RejectsWithoutTouchingTheRecord) {
  uint8_t out[4] = {1, 2, 3, 4};
  const char* rejected[] = {"00ABFF7F28", "00ABFF7F2", "00ABFF7F290", "00ABFG7F29", ""};
  for (const char* text : rejected) {
    EXPECT_FALSE(DecodeStruct(text, static_cast<uint32_t>(std::strlen(text)), out, 4)) << text;
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
  }
  ASSERT_TRUE(DecodeStruct("00abff7f29", 10, out, 4));
  EXPECT_EQ(out[1], 0xAB);
  EXPECT_EQ(out[3], 0x7F);
}

TEST(IniText, FindsTheFirstMatchOnly) {
  std::string file =
      "Key=before any section\r\n[A]\r\nkey = 1\r\nKEY=2\r\n[b]\r\nKey=3\r\n[a]\r\nOther=4\r\n";
  TextSpan value;
  ASSERT_TRUE(FindProfileValue(Span(file), "a", "Key", &value));
  EXPECT_EQ(std::string(value.text, value.length), "1");
  EXPECT_FALSE(FindProfileValue(Span(file), "A", "Other", &value));  // only the first [A] counts
  EXPECT_FALSE(FindProfileValue(Span(file), "C", "Key", &value));
  ASSERT_TRUE(FindProfileValue(Span("[A]\nKey="), "A", "Key", &value));
  EXPECT_EQ(value.length, 0u);
}

TEST(IniText, ParsesIntegersLikeTheSystem) {
  EXPECT_EQ(ParseProfileInt(Span("  -12abc")), -12);
  EXPECT_EQ(ParseProfileInt(Span("+7")), 7);
  EXPECT_EQ(ParseProfileInt(Span("\"42\"")), 42);
  EXPECT_EQ(ParseProfileInt(Span("x1")), 0);
  EXPECT_EQ(ParseProfileInt(Span("4294967306")), 10);  // wraps at 32 bits
}

std::string Set(const std::string& file, const char* section, const char* key, const char* value) {
  String out{};
  EXPECT_TRUE(SetProfileValue(Span(file), section, key, value, &out).ok());
  std::string text(out.Text(), out.length);
  out.Destroy();
  return text;
}

TEST(IniText, EditsOnlyTheLineItMust) {
  // An existing key is rewritten in place, under its own spelling.
  EXPECT_EQ(Set("; c\r\n[z]\r\n  maxEntries = 1 \r\nB=2\r\n", "Z", "MaxEntries", "5"),
            "; c\r\n[z]\r\nmaxEntries=5\r\nB=2\r\n");
  // A new key follows the section's last non-blank line.
  EXPECT_EQ(Set("[Z]\r\nA=1\r\n\r\n[Y]\r\n", "Z", "B", "2"), "[Z]\r\nA=1\r\nB=2\r\n\r\n[Y]\r\n");
  // A new section goes at the end; line breaks follow the file's own.
  EXPECT_EQ(Set("[Y]\nA=1\n", "Z", "B", "2"), "[Y]\nA=1\n[Z]\nB=2\n");
  EXPECT_EQ(Set("[Y]\nA=1", "Z", "B", "2"), "[Y]\nA=1\n[Z]\nB=2\n");
  EXPECT_EQ(Set("[Z]", "Z", "B", "2"), "[Z]\r\nB=2\r\n");
  EXPECT_EQ(Set("", "Z", "B", "2"), "[Z]\r\nB=2\r\n");
}

}  // namespace
}  // namespace zantor
