// Loading the configuration file: defaults, the clamps and fallbacks of every
// key, and files edited by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "config/settings_struct.h"
#include "config_files.h"

namespace zantor {
namespace {

std::string StructText(const void* data, uint32_t size) {
  std::string text(StructTextLength(size) + 1, '\0');
  EncodeStruct(data, size, &text[0]);
  text.pop_back();
  return text;
}

std::string ScanText(ScanParams p) { return StructText(&p, sizeof p); }

bool SameBytes(const Settings& a, const Settings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class SettingsLoad : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(file_); }
  void TearDown() override { ResetSettings(""); }
  Settings LoadFrom(const std::string& body) {
    WriteText(file_, "[Zantor]\r\n" + body);
    return LoadSettings();
  }

  ScratchFolder folder_;
  std::string file_ = folder_.File("Zantor.cfg");
};

TEST_F(SettingsLoad, MissingFileGivesDefaultsAndWritesNothing) {
  Settings s = LoadSettings();
  EXPECT_TRUE(SameBytes(s, DefaultSettings()));
  EXPECT_EQ(s.MaxEntries, 5000u);
  EXPECT_STREQ(s.FileNameNumberingSeparator, "!   ");
  EXPECT_EQ(s.DeepScanParams_Hrust2.SizeThreshold, 4096u);
  EXPECT_EQ(s.ExhaustiveScanParams_Hrust1.MinBlockSize, 257u);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

struct IntCase {
  const char* line;
  uint32_t maxEntries;
  uint32_t numbering;
};

TEST_F(SettingsLoad, IntegerKeysAreClampedAsSigned) {
  const IntCase cases[] = {
      {"MaxEntries=10\r\n", 260, 2},
      {"MaxEntries=5000000\r\n", 1000000, 2},
      {"MaxEntries=-7\r\n", 260, 2},
      {"MaxEntries=4294967295\r\n", 260, 2},  // reads as -1
      {"MaxEntries=261\r\n", 261, 2},
      {"MaxEntries=\r\n", 5000, 2},  // empty keeps the old value
      {"FileNameNumbering=7\r\n", 5000, 2},
      {"FileNameNumbering=-1\r\n", 5000, 0},
      {"FileNameNumbering=1\r\n", 5000, 1},
      {"FileNameNumbering=abc\r\n", 5000, 0},  // no digits read as 0
  };
  for (const IntCase& c : cases) {
    SetSettings(DefaultSettings(), false);
    Settings s = LoadFrom(c.line);
    EXPECT_EQ(s.MaxEntries, c.maxEntries) << c.line;
    EXPECT_EQ(s.FileNameNumbering, c.numbering) << c.line;
  }
}

TEST_F(SettingsLoad, SwitchesTakeAnyNonZeroValue) {
  Settings s = LoadFrom("DrelmoCompatible=5\r\nSmartLenDetect=0\r\nExtendedExtension=0\r\n"
                        "ExtractHobeta=-1\r\nShowDeletedFiles=1\r\n");
  EXPECT_TRUE(s.DrelmoCompatible);
  EXPECT_FALSE(s.SmartLenDetect);
  EXPECT_FALSE(s.ExtendedExtension);
  EXPECT_TRUE(s.ExtractHobeta);
  EXPECT_TRUE(s.ShowDeletedFiles);
}

TEST_F(SettingsLoad, SeparatorKeepsAtMostEightCharacters) {
  Settings s = LoadFrom("FileNameNumberingSeparator=" + StructText("ABCDEFGHI", 9) + "\r\n");
  EXPECT_STREQ(s.FileNameNumberingSeparator, "ABCDEFGH");

  std::string broken = StructText("-- \0\0\0\0\0", 9);
  broken[broken.size() - 1] ^= 1;  // wrong check pair
  s = LoadFrom("FileNameNumberingSeparator=" + broken + "\r\n");
  EXPECT_STREQ(s.FileNameNumberingSeparator, "!   ");
}

TEST_F(SettingsLoad, ScanParamsAreCutOrIgnored) {
  ScanParams wide{1, 0, 0xFFFFFFFF, 0xFFFFFFFF, 77, 0x0100, 200000};
  ScanParams wrongVersion{2, 0, 1, 1, 1, 1, 1};
  std::string badPair = ScanText({1, 0, 1, 1, 1, 1, 1});
  badPair[badPair.size() - 2] = badPair[badPair.size() - 2] == '0' ? '1' : '0';
  std::string shortValue = ScanText({1, 0, 1, 1, 1, 1, 1}).substr(2);
  Settings s = LoadFrom("BasicScanParams_Hrust1=" + ScanText(wide) + "\r\n" +
                        "DeepScanParams_Hrust1=" + ScanText(wrongVersion) + "\r\n" +
                        "BasicScanParams_Hrust2=" + badPair + "\r\n" +
                        "DeepScanParams_Hrust2=" + shortValue + "\r\n");
  Settings defaults = DefaultSettings();
  EXPECT_EQ(s.BasicScanParams_Hrust1.MaxFileSize, 1023998976u);
  EXPECT_EQ(s.BasicScanParams_Hrust1.ScanFirst, 1023998976u);
  EXPECT_EQ(s.BasicScanParams_Hrust1.MinBlockSize, 99999u);
  EXPECT_EQ(s.BasicScanParams_Hrust1.SizeThreshold, 77u);
  EXPECT_EQ(s.BasicScanParams_Hrust1.TestBlocks, 0x0100u);
  EXPECT_EQ(s.BasicScanParams_Hrust1.Enabled, 0u);
  EXPECT_EQ(0, std::memcmp(&s.DeepScanParams_Hrust1, &defaults.DeepScanParams_Hrust1, sizeof(ScanParams)));
  EXPECT_EQ(0, std::memcmp(&s.BasicScanParams_Hrust2, &defaults.BasicScanParams_Hrust2, sizeof(ScanParams)));
  EXPECT_EQ(0, std::memcmp(&s.DeepScanParams_Hrust2, &defaults.DeepScanParams_Hrust2, sizeof(ScanParams)));
}

TEST_F(SettingsLoad, HandEditedFileIsReadLikeTheSystemReadsIt) {
  ScanParams deep{1, 0, 8192, 4096, 5, 1, 12};
  WriteText(file_,
            "; settings of another tool\n"
            "[Other]\n"
            "MaxEntries=300\n"
            "\n"
            "  [ zantor ]  \n"
            "; MaxEntries=400\n"
            "  maxentries   =   2000  \n"
            "MAXENTRIES=3000\n"
            "fileNAMEnumbering\t=\t1\n"
            "deepscanparams_hrust1 = " + ScanText(deep) + "\n"
            "[Zantor2]\n"
            "ExtractHobeta=1\n");
  Settings s = LoadSettings();
  EXPECT_EQ(s.MaxEntries, 2000u);  // the first key of a name counts
  EXPECT_EQ(s.FileNameNumbering, 1u);
  EXPECT_FALSE(s.ExtractHobeta);
  EXPECT_EQ(s.DeepScanParams_Hrust1.MinBlockSize, 12u);
  EXPECT_EQ(s.DeepScanParams_Hrust1.Enabled, 0u);
}

TEST_F(SettingsLoad, NoConfigurationPathReadsAndWritesNothing) {
  SetConfigPath("");
  Settings s = DefaultSettings();
  s.MaxEntries = 999;
  SaveSettings(s);
  EXPECT_TRUE(SameBytes(LoadSettings(), DefaultSettings()));
  EXPECT_FALSE(std::filesystem::exists("Zantor.cfg"));
}

}  // namespace
}  // namespace zantor
