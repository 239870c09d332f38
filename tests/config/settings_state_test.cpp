// The global settings: derived settings, whole records across threads, and
// module start-up.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "config/settings.h"
#include "config_files.h"

namespace zantor {
namespace {

TEST(DerivedSettings, DrelmoStyleOverridesNumberingAndHobeta) {
  Settings s = DefaultSettings();
  s.ExtractHobeta = true;
  EXPECT_EQ(NumberingInEffect(s), 2u);
  EXPECT_TRUE(HobetaExtractionInEffect(s));
  EXPECT_FALSE(SmartLengthInEffect(s));  // hobeta extraction lists whole sectors
  s.DrelmoCompatible = true;
  EXPECT_EQ(NumberingInEffect(s), 0u);
  EXPECT_FALSE(HobetaExtractionInEffect(s));
  EXPECT_TRUE(SmartLengthInEffect(s));
  s.SmartLenDetect = false;
  EXPECT_FALSE(SmartLengthInEffect(s));
}

TEST(SettingsLock, ReadersAlwaysSeeWholeRecords) {
  Settings a = DefaultSettings();
  Settings b;
  std::memset(&b, 0x5A, sizeof b);
  SetSettings(a, false);
  std::atomic<bool> torn{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) SetSettings(i % 2 ? a : b, false);
    });
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        Settings s = GetSettings();
        if (std::memcmp(&s, &a, sizeof s) != 0 && std::memcmp(&s, &b, sizeof s) != 0) torn = true;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_FALSE(torn);
  SetSettings(DefaultSettings(), false);
}

class ModuleStart : public ::testing::Test {
 protected:
  void TearDown() override { ResetSettings(""); }
  ScratchFolder folder_;
};

TEST_F(ModuleStart, ReadsTheFileBesideTheModule) {
  ResetSettings("");
  WriteText(folder_.File("Zantor.cfg"), "[Zantor]\r\nMaxEntries=1234\r\n");
  std::string module = folder_.File("Zantor.wcx64");
  InitSettingsFromModulePath(module.c_str(), static_cast<uint32_t>(module.size()));
  EXPECT_EQ(ConfigPath(), folder_.File("Zantor.cfg"));
  EXPECT_EQ(GetSettings().MaxEntries, 1234u);
}

TEST_F(ModuleStart, EitherSlashEndsTheFolder) {
  const char kModule[] = "C:\\Tools\\x/plugins\\Zantor.wcx";
  InitSettingsFromModulePath(kModule, sizeof kModule - 1);
  EXPECT_STREQ(ConfigPath(), "C:\\Tools\\x/plugins\\Zantor.cfg");
  InitSettingsFromModulePath("Zantor.wcx", 10);
  EXPECT_STREQ(ConfigPath(), "Zantor.cfg");
  InitSettingsFromModulePath("", 0);
  EXPECT_STREQ(ConfigPath(), "");
}

// Paths up to the platform's limit keep their settings (250 bytes and more
// once lost them); a longer one keeps the defaults and says so once.
TEST_F(ModuleStart, LongPathsUpToTheLimitKeepTheirSettings) {
  WriteText(folder_.File("Zantor.cfg"), "[Zantor]\r\nMaxEntries=1234\r\n");
#ifndef _WIN32  // the profile functions there stop at MAX_PATH
  ResetSettings("");
  const std::string module = folder_.Path() + std::string(300, '/') + "Zantor.wcx";
  InitSettingsFromModulePath(module.c_str(), static_cast<uint32_t>(module.size()));
  EXPECT_EQ(GetSettings().MaxEntries, 1234u);
#endif

  ResetSettings("");
  const std::string tooLong = folder_.Path() + std::string(kConfigPathCapacity, '/') + "Zantor.wcx";
  testing::internal::CaptureStderr();
  InitSettingsFromModulePath(tooLong.c_str(), static_cast<uint32_t>(tooLong.size()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // nothing shown while loading
  EXPECT_STREQ(ConfigPath(), "");
  EXPECT_EQ(GetSettings().MaxEntries, 5000u);
#ifndef _WIN32  // a message box there
  testing::internal::CaptureStderr();
  ShowPendingStartupMessage();
  ShowPendingStartupMessage();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zantor error: Path of plugin DLL is too long.\n");
#endif
}

#ifndef _WIN32
// A variable of the environment set for one test, then restored.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

// Users cannot write the folder of the installed module: its settings live in
// their own configuration folder.
TEST_F(ModuleStart, InstalledLinuxModuleReadsTheUsersFile) {
  const std::string module = std::string(ZANTOR_INSTALLED_MODULE_FOLDER) + "/Zantor.wcx";
  std::filesystem::create_directories(folder_.File("zantor"));
  WriteText(folder_.File("zantor/Zantor.cfg"), "[Zantor]\r\nMaxEntries=1234\r\n");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", folder_.Path().c_str());
    ResetSettings("");
    InitSettingsFromModulePath(module.c_str(), static_cast<uint32_t>(module.size()));
    EXPECT_EQ(ConfigPath(), folder_.File("zantor/Zantor.cfg"));
    EXPECT_EQ(GetSettings().MaxEntries, 1234u);
  }
  ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
  {
    ScopedEnv home("HOME", folder_.Path().c_str());
    InitSettingsFromModulePath(module.c_str(), static_cast<uint32_t>(module.size()));
    EXPECT_EQ(ConfigPath(), folder_.File(".config/zantor/Zantor.cfg"));
  }
  ScopedEnv noHome("HOME", nullptr);
  ResetSettings("");
  InitSettingsFromModulePath(module.c_str(), static_cast<uint32_t>(module.size()));
  EXPECT_STREQ(ConfigPath(), "");
  EXPECT_EQ(GetSettings().MaxEntries, 5000u);
}
#endif

}  // namespace
}  // namespace zantor
