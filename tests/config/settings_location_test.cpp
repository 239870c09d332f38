// Which configuration file is in use: a setting the user confirmed is the one
// in effect in the next process, whichever folder could take it, and a save
// that fails says which file and why.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/settings.h"
#include "config_files.h"

namespace zantor {
namespace {

class SettingsLocation : public ::testing::Test {
 protected:
  void TearDown() override {
    SetHostSettingsFolder(nullptr);
    ResetSettings("");
  }
  // OK in the dialog with MaxEntries changed.
  static bool Confirm(uint32_t maxEntries) {
    Settings s = GetSettings();
    s.MaxEntries = maxEntries;
    SetSettings(s, false);
    return SaveSettings(s);
  }

  ScratchFolder folder_;
  std::string module_ = folder_.File("module");
  std::string host_ = folder_.File("host");
};

TEST_F(SettingsLocation, ConfirmedSettingsHoldInTheNextProcess) {
  std::filesystem::create_directories(host_);
  const struct {
    const char* what;
    const char* folder;   // of the module, under module_; not created when "missing"
    const char* besides;  // Zantor.cfg beside the module: its text, or "" for a folder in its place
    bool inHostFolder;
  } cases[] = {
      {"module folder writable", "a", nullptr, false},
      {"stored file beside the module keeps working", "b", "[Zantor]\r\nMaxEntries=4321\r\n", false},
      // A folder that does not exist cannot be written, even by root.
      {"module folder not writable", "missing", nullptr, true},
      {"file beside the module not writable", "c", "", true},
      // Windows: the path reaches the file system as UTF-16.
      {"folder named outside the ANSI code page", "\xCE\xA9-\xE6\x97\xA5\xE6\x9C\xAC", nullptr, false},
  };
  uint32_t n = 1000;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(host_ + "/Zantor.cfg");
    const std::string module = module_ + "/" + c.folder;
    if (std::string(c.folder) != "missing") std::filesystem::create_directories(std::filesystem::u8path(module));
    if (c.besides != nullptr && c.besides[0] != 0) WriteText(module + "/Zantor.cfg", c.besides);
    if (c.besides != nullptr && c.besides[0] == 0) std::filesystem::create_directories(module + "/Zantor.cfg");
    ++n;
    for (int process = 0; process < 2; ++process) {  // the module loads, then the host names its folder
      ResetSettings("");
      SetHostSettingsFolder(nullptr);
      InitSettingsFromModulePath((module + "/Zantor.wcx").c_str(), static_cast<uint32_t>(module.size() + 11));
      SetHostSettingsFolder((host_ + "/").c_str());
      if (process == 0) {
        EXPECT_TRUE(Confirm(n));
      }
    }
    EXPECT_EQ(GetSettings().MaxEntries, n);
    EXPECT_EQ(ConfigPath(), (c.inHostFolder ? host_ : module) + "/Zantor.cfg");
  }
}

#ifndef _WIN32  // a message box there
TEST_F(SettingsLocation, FailedSaveNamesTheFileAndTheReason) {
  std::filesystem::create_directories(module_ + "/Zantor.cfg");
  ResetSettings(module_ + "/Zantor.cfg");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Confirm(999));
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find(module_ + "/Zantor.cfg"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Is a directory"), std::string::npos) << shown;
}
#endif

}  // namespace
}  // namespace zantor
