// Writing the configuration file: the text is the one the Windows profile
// functions write, so a file written by either build reads the same in the
// other, and a hand-edited file keeps what it holds besides our keys.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "config_files.h"

namespace zantor {
namespace {

Settings Edited() {
  Settings s = DefaultSettings();
  s.Version = 7;  // saved as 1
  s.MaxEntries = 777;
  s.DrelmoCompatible = true;
  s.FileNameNumbering = 1;
  std::memcpy(s.FileNameNumberingSeparator, "#: ab\0\0\0", 9);
  s.SmartLenDetect = false;
  s.ExtractHobeta = true;
  s.ShowDeletedFiles = true;
  s.BasicScanParams_Hrust1 = ScanParams{3, 0, 1048576, 65536, 0, 0x0101, 9};  // saved as version 1
  s.ExhaustiveScanParams_Hrust2 = ScanParams{1, 1, 999999u * 1024u, 1024, 300, 1, 99999};
  return s;
}

// Written by WritePrivateProfileStringA / WritePrivateProfileStructA (the
// Windows build of SaveSettings) for Edited() into a file that did not exist.
const char kWindowsText[] =
    "[Zantor]\r\n"
    "MaxEntries=777\r\n"
    "DrelmoCompatible=1\r\n"
    "FileNameNumbering=1\r\n"
    "FileNameNumberingSeparator=233A2061620000000040\r\n"
    "SmartLenDetect=0\r\n"
    "ExtendedExtension=1\r\n"
    "ExtractHobeta=1\r\n"
    "ShowDeletedFiles=1\r\n"
    "BasicScanParams_Hrust1=010000000000000000001000000001000000000001010000090000001D\r\n"
    "BasicScanParams_Hrust2=01000000010000000000A00000004000010100000000000000000000E4\r\n"
    "DeepScanParams_Hrust1=0100000001000000000040000000200000000000010000000A0000006D\r\n"
    "DeepScanParams_Hrust2=0100000001000000000040000000200000100000000000000000000072\r\n"
    "ExhaustiveScanParams_Hrust1=0100000000000000000040000000200000000000010000000101000064\r\n"
    "ExhaustiveScanParams_Hrust2=010000000100000000FC083D000400002C010000010000009F8601009B\r\n";

class SettingsSave : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(file_); }
  void TearDown() override { ResetSettings(""); }

  ScratchFolder folder_;
  std::string file_ = folder_.File("Zantor.cfg");
};

TEST_F(SettingsSave, WritesTheSystemsTextByteForByte) {
  SaveSettings(Edited());
  EXPECT_EQ(ReadText(file_), kWindowsText);
}

TEST_F(SettingsSave, ReadsTheSystemsTextBack) {
  WriteText(file_, kWindowsText);
  Settings expected = Edited();
  expected.Version = 1;
  expected.BasicScanParams_Hrust1.Version = 1;
  Settings s = LoadSettings();
  EXPECT_EQ(0, std::memcmp(&s, &expected, sizeof s));
}

TEST_F(SettingsSave, SetSettingsSavesOnlyWhenAsked) {
  SetSettings(Edited(), false);
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_EQ(GetSettings().MaxEntries, 777u);
  SetSettings(DefaultSettings(), true);
  EXPECT_NE(ReadText(file_).find("MaxEntries=5000\r\n"), std::string::npos);
}

// Windows edits such a file in place, Wine rewrites it tidied (blank lines
// dropped, names trimmed); either way the same lines and values remain.
TEST_F(SettingsSave, RewritingAHandEditedFileKeepsWhatElseItHolds) {
  WriteText(file_,
            "; written by hand\r\n[Other]\r\nMaxEntries=300\r\n\r\n"
            "  [ zantor ]  \r\n ; note\r\n  maxEntries  =  10  \r\nfilenameNUMBERING=7\r\n\r\n"
            "[Later]\r\nKey=Value\r\n");
  SaveSettings(Edited());
  std::string text = ReadText(file_);
  EXPECT_EQ(text.find("; written by hand\r\n[Other]\r\nMaxEntries=300\r\n"), 0u);
  EXPECT_NE(text.find("; note\r\nmaxEntries=777\r\nfilenameNUMBERING=1\r\nDrelmoCompatible=1\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("ExhaustiveScanParams_Hrust2="), std::string::npos);
  EXPECT_EQ(text.find("[Later]\r\nKey=Value\r\n"), text.size() - 20);
  SetSettings(DefaultSettings(), false);
  Settings s = LoadSettings();
  EXPECT_EQ(s.MaxEntries, 777u);
  EXPECT_EQ(s.FileNameNumbering, 1u);
  EXPECT_STREQ(s.FileNameNumberingSeparator, "#: ab");
}

}  // namespace
}  // namespace zantor
