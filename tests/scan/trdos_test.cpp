// TR-DOS attributes: listed sizes under every combination of the settings,
// BASIC autostart detection, and the hobeta and Drelmo headers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "config/settings.h"
#include "scan/analysis.h"
#include "scan/entry.h"
#include "scan/trdos.h"

namespace zantor {
namespace {

TrdosDescriptor Descriptor(const char* name, uint8_t type, uint16_t start, uint16_t length) {
  TrdosDescriptor d{};
  std::memset(d.name, ' ', sizeof d.name);
  std::memcpy(d.name, name, std::strlen(name));
  d.type = type;
  d.start[0] = static_cast<uint8_t>(start);
  d.start[1] = static_cast<uint8_t>(start >> 8);
  d.SetLength(length);
  d.sectors = 0x77;  // replaced by the computed count
  return d;
}

uint32_t Long(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }
uint32_t Word(const uint8_t* at) { return at[0] | at[1] << 8; }

struct Applied {
  Entry entry;
  TrdosDescriptor descriptor;
};

Applied Apply(TrdosDescriptor d, const std::vector<uint8_t>& data, bool smart, bool hobeta, bool drelmo) {
  Analysis analysis{};
  analysis.settings = DefaultSettings();
  analysis.settings.SmartLenDetect = smart;
  analysis.settings.ExtractHobeta = hobeta;
  analysis.settings.DrelmoCompatible = drelmo;
  analysis.dosTime = 0x5A2B3C4D;
  Applied a{};
  a.descriptor = d;
  ApplyTrdosAttributes(a.entry, analysis, a.descriptor, data.data(), static_cast<uint32_t>(data.size()));
  return a;
}

struct SummaryRow {
  bool smart, hobeta, drelmo;
  uint32_t listed;
  bool hobetaPresent, drelmoFilled;
};

TEST(TrdosAttributes, ListedSizeOfEverySettingsCombination) {
  // A code file of 6913 bytes in 28 whole sectors.
  const std::vector<uint8_t> data(7168, 0);
  const SummaryRow rows[] = {
      {false, false, false, 7168, false, false}, {false, true, false, 7168, true, false},
      {true, true, false, 7168, true, false},    {true, false, false, 6913, false, false},
      {false, false, true, 7168, false, true},   {false, true, true, 7168, false, true},
      {true, false, true, 6913, false, true},    {true, true, true, 6913, false, true},
  };
  for (const SummaryRow& row : rows) {
    Applied a = Apply(Descriptor("GAME", 'C', 0x8000, 6913), data, row.smart, row.hobeta, row.drelmo);
    SCOPED_TRACE(testing::Message() << row.smart << row.hobeta << row.drelmo);
    EXPECT_EQ(a.entry.listedSize, row.listed);
    EXPECT_EQ(a.entry.hobetaPresent != 0, row.hobetaPresent);
    EXPECT_EQ(a.entry.drelmo.bytes[0] != 0, row.drelmoFilled);
    EXPECT_EQ(a.descriptor.sectors, 28);
    EXPECT_EQ(a.entry.attributeMark, 1);
    EXPECT_EQ(a.entry.start, 0x8000);
    EXPECT_EQ(a.entry.length, 6913);
  }
  // A length that does not end in the last sector is not believed.
  EXPECT_EQ(Apply(Descriptor("GAME", 'C', 0x8000, 5000), data, true, false, false).entry.listedSize, 7168u);
}

TEST(TrdosAttributes, SizesThatAreNotWholeSectorsAreListedAsTheyAre) {
  for (uint32_t size : {1000u, 65536u, 65280u + 256u}) {
    Applied a = Apply(Descriptor("X", 'C', 0, 100), std::vector<uint8_t>(size), true, true, false);
    EXPECT_EQ(a.entry.listedSize, size);
    EXPECT_EQ(a.descriptor.sectors, 0);
    EXPECT_EQ(a.entry.hobetaPresent, 0);
  }
  // 255 sectors is the most a hobeta header can carry.
  EXPECT_EQ(Apply(Descriptor("X", 'C', 0, 100), std::vector<uint8_t>(65280), true, true, false).descriptor.sectors,
            255);
}

std::vector<uint8_t> BasicProgram(uint32_t size, uint16_t start, uint16_t line) {
  std::vector<uint8_t> data(size, 0);
  data[start] = 0x80;
  data[start + 1] = 0xAA;
  data[start + 2] = static_cast<uint8_t>(line);
  data[start + 3] = static_cast<uint8_t>(line >> 8);
  return data;
}

TEST(TrdosAttributes, BasicAutostartLine) {
  TrdosDescriptor basic = Descriptor("PROG", 'B', 1000, 900);
  std::vector<uint8_t> data = BasicProgram(1024, 1000, 10);
  EXPECT_EQ(Apply(basic, data, true, false, false).entry.listedSize, 1004u);

  Applied drelmo = Apply(basic, data, true, false, true);
  const uint8_t* h = drelmo.entry.drelmo.bytes;
  EXPECT_EQ(drelmo.entry.listedSize, 1000u);
  EXPECT_EQ(h[6], 0);                 // BASIC
  EXPECT_EQ(Word(h + 17), 1000u);     // program and variables
  EXPECT_EQ(Word(h + 19), 10u);       // autostart line
  EXPECT_EQ(Long(h + 21), 900u);      // program alone
  EXPECT_EQ(Long(h + 25), 1000u);
  EXPECT_EQ(Apply(basic, data, false, false, true).entry.listedSize, 1024u);

  // The marker ends before the last sector: whole sectors, line still known.
  Applied early = Apply(basic, BasicProgram(2048, 1000, 20), true, false, true);
  EXPECT_EQ(early.entry.listedSize, 2048u);
  EXPECT_EQ(Word(early.entry.drelmo.bytes + 19), 20u);

  // No marker, a marker cut off by the end, or start below length: no autostart.
  std::vector<uint8_t> cut(1024);
  cut[1022] = 0x80;
  cut[1023] = 0xAA;
  const Applied none[] = {
      Apply(basic, std::vector<uint8_t>(1024), true, false, true),
      Apply(Descriptor("PROG", 'B', 1022, 900), cut, true, false, true),
      Apply(Descriptor("PROG", 'B', 800, 900), BasicProgram(1024, 800, 5), true, false, true),
  };
  for (const Applied& a : none) {
    EXPECT_EQ(Word(a.entry.drelmo.bytes + 19), 0x8000u);
    EXPECT_EQ(a.entry.listedSize % 256, 0u);
  }
}

TEST(TrdosAttributes, HobetaHeader) {
  Applied a = Apply(Descriptor("GAME", 'C', 0x8000, 6913), std::vector<uint8_t>(7168), true, true, false);
  const uint8_t expected[15] = {'G', 'A', 'M', 'E', ' ', ' ', ' ', ' ', 'C', 0x00, 0x80, 0x01, 0x1B, 0, 28};
  const uint8_t* h = a.entry.hobeta.bytes;
  EXPECT_EQ(0, std::memcmp(h, expected, 15));
  uint32_t sum = 0;
  for (uint8_t b : expected) sum += b;
  EXPECT_EQ(Word(h + 15), (sum * 257 + 105) & 0xFFFF);

  const uint8_t zeros[17] = {};
  EXPECT_EQ(HobetaChecksum(zeros), 105);
  const uint8_t high[15] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(HobetaChecksum(high), (15 * 255 * 257 + 105) & 0xFFFF);
}

TEST(TrdosAttributes, DrelmoHeaderOfACodeFile) {
  Applied a = Apply(Descriptor("GAME", 'C', 0x8000, 0x1B00), std::vector<uint8_t>(0x1B00), true, false, true);
  const uint8_t expected[31] = {1,   0xB0, 0x4D, 0x3C, 0x2B, 0x5A, 3,    'G', 'A', 'M', 'E',  ' ', ' ', ' ', ' ', ' ',
                                ' ', 0x00, 0x1B, 0x00, 0x80, 0x00, 0x80, 0,   0,   0x00, 0x1B, 0,   0,   0xFF, 0};
  EXPECT_EQ(0, std::memcmp(a.entry.drelmo.bytes, expected, sizeof expected));
  // Other types keep their letter as the type number.
  EXPECT_EQ(Apply(Descriptor("D", 'D', 0, 10), std::vector<uint8_t>(256), true, false, true).entry.drelmo.bytes[6],
            'D');
}

}  // namespace
}  // namespace zantor
