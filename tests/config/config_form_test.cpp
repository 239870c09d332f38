// What both views of the dialogs do, without either view: initial state,
// clicks, greying, the restart note, validation, what OK yields; and the
// names `zantor config set` takes, which change settings as the dialog does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/config_form.h"
#include "config/setting_names.h"
#include "config_files.h"

namespace zantor {
namespace {

using I = ConfigItem;
using Change = void (*)(Settings&);

void ExpectDefaultsWith(const Settings& actual, Change change) {
  Settings expected = DefaultSettings();
  if (change != nullptr) change(expected);
  EXPECT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0);
}

TEST(ConfigForm, ClicksGreyingNoteAndWhatOkSaves) {
  const std::vector<I> drelmoGreys = {I::kNumberingNone, I::kNumberingHex, I::kNumberingDec, I::kExtractHobeta};
  const struct {
    const char* what;
    std::vector<std::pair<I, bool>> clicks;  // the item and the state the view shows after the click
    Change expect;                           // what OK saves, from the defaults
    std::vector<I> greyed;                   // besides Detect hobeta
  } cases[] = {
      {"nothing", {}, nullptr, {}},
      {"Drelmo compatible", {{I::kDrelmo, true}}, [](Settings& s) { s.DrelmoCompatible = true; }, drelmoGreys},
      {"Extract hobeta", {{I::kExtractHobeta, true}}, [](Settings& s) { s.ExtractHobeta = true; }, {I::kSmartLength}},
      {"Extract hobeta made void by Drelmo", {{I::kExtractHobeta, true}, {I::kDrelmo, true}},
       [](Settings& s) { s.ExtractHobeta = s.DrelmoCompatible = true; }, drelmoGreys},
      {"Hex", {{I::kNumberingHex, true}}, [](Settings& s) { s.FileNameNumbering = 1; }, {}},
      {"checked radio clicked again", {{I::kNumberingDec, true}}, nullptr, {}},
      {"Hrust 2 exhaustive", {{I::kHrust2Exhaustive, true}},
       [](Settings& s) { s.ExhaustiveScanParams_Hrust2.Enabled = 1; }, {}},
      {"Hrust 1 basic, twice: level 1, basic stays on", {{I::kHrust1Basic, false}, {I::kHrust1Basic, false}},
       [](Settings& s) { s.DeepScanParams_Hrust1.Enabled = 0; }, {}},
      {"Hrust 1 deep at level 2 keeps level 2", {{I::kHrust1Deep, false}}, nullptr, {}},
      {"change undone", {{I::kShowDeleted, true}, {I::kShowDeleted, false}}, nullptr, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigForm form(DefaultSettings());
    for (const auto& click : c.clicks) EXPECT_EQ(form.Click(click.first, click.second).params, nullptr);
    ExpectDefaultsWith(form.Edited(), c.expect);
    for (int i = 0; i < kConfigItemCount; ++i) {
      const I item = static_cast<I>(i);
      const bool greyed = item == I::kDetectHobeta || std::count(c.greyed.begin(), c.greyed.end(), item) != 0;
      EXPECT_EQ(form.Enabled(item), !greyed) << "item " << i;
    }
    EXPECT_STREQ(form.Message(), c.expect != nullptr ? kRestartNote : "");
  }
}

TEST(ConfigForm, InitialStateFollowsTheSettings) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = 7;  // none of the three: no button checked, OK saves 0
  s.ExhaustiveScanParams_Hrust1.Enabled = 0x101;  // only the low byte is the switch, OK keeps the rest
  s.DeepScanParams_Hrust2.Enabled = 0;
  ConfigForm form(s);
  EXPECT_FALSE(form.Checked(I::kNumberingNone) || form.Checked(I::kNumberingHex) || form.Checked(I::kNumberingDec));
  EXPECT_TRUE(form.Checked(I::kHrust1Exhaustive) && form.Checked(I::kHrust1Deep) && form.Checked(I::kHrust2Basic));
  EXPECT_FALSE(form.Checked(I::kHrust2Deep));
  EXPECT_EQ(form.Edited().FileNameNumbering, 0u);
  EXPECT_EQ(form.Edited().ExhaustiveScanParams_Hrust1.Enabled, 0x101u);
}

TEST(ScanForm, AdvancedEditsValidateLikeTheDialog) {
  ConfigForm form(DefaultSettings());
  ScanForm scan(form.Click(I::kHrust2DeepAdvanced, false));
  EXPECT_STREQ(scan.Caption(), "Hrust 2 deep scan: advanced settings");
  EXPECT_STREQ(scan.Text(ScanForm::kMaxFileSize), "4096");
  EXPECT_FALSE(scan.Enabled(ScanForm::kMinBlockSize));
  EXPECT_TRUE(scan.TestBlocksEnabled());
  // Empty, too large and non-numeric entries keep the value; disabled fields are read too.
  scan.Accept({"999999", "", "12x"}, true);
  ScanForm(form.Click(I::kHrust2DeepAdvanced, false)).Accept({"1000000", " 7 ", "0"}, true);
  ExpectDefaultsWith(form.Edited(), [](Settings& s) {
    s.DeepScanParams_Hrust2.MaxFileSize = 999999u * 1024;
    s.DeepScanParams_Hrust2.ScanFirst = 7 * 1024;
    s.DeepScanParams_Hrust2.TestBlocks = 1;
  });
  EXPECT_STREQ(form.Message(), kRestartNote);
  form.Click(I::kHrust2Defaults, false);  // puts the deep and exhaustive rows back
  ExpectDefaultsWith(form.Edited(), nullptr);
}

TEST(NamedSettings, ChangeAsTheDialogDoesAndRefuseWhatItRefuses) {
  const struct {
    const char* name;
    const char* value;
    Change expect;  // null: refused
  } cases[] = {
      {"naming.numbering", "hex", [](Settings& s) { s.FileNameNumbering = 1; }},
      {"naming.numbering", "2", nullptr},
      {"exhaustive.hrust1.enabled", "on", [](Settings& s) { s.ExhaustiveScanParams_Hrust1.Enabled = 1; }},
      {"deep.hrust2.enabled", "off", [](Settings& s) { s.DeepScanParams_Hrust2.Enabled = 0; }},
      {"show-deleted-files", "yes", nullptr},
      {"deep.hrust1.max-file-size", "999999",
       [](Settings& s) { s.DeepScanParams_Hrust1.MaxFileSize = 999999u * 1024; }},
      {"deep.hrust1.max-file-size", "1000000", nullptr},
      {"exhaustive.hrust2.min-block-size", "", nullptr},
      {"deep.hrust2.min-block-size", "1", nullptr},  // the dialog greys it
      {"deep.hrust2.skip-bad-blocks", "on", [](Settings& s) { s.DeepScanParams_Hrust2.TestBlocks = 1; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.value);
    Settings s = DefaultSettings();
    char error[256] = "";
    EXPECT_EQ(SetNamedSetting(&s, c.name, c.value, error, sizeof error), c.expect != nullptr);
    ExpectDefaultsWith(s, c.expect);
    if (c.expect == nullptr) {
      EXPECT_EQ(std::string(error).rfind(c.name, 0), 0u) << error;  // names the setting
    }
  }
}

// Through the file and back, as `zantor config set` then a new process do.
TEST(NamedSettings, RoundTripThroughTheFile) {
  ScratchFolder folder;
  ResetSettings(folder.File("Zantor.cfg"));
  Settings s = GetSettings();
  char error[256];
  ASSERT_TRUE(SetNamedSetting(&s, "exhaustive.hrust2.scan-first", "123", error, sizeof error));
  ASSERT_TRUE(SaveSettings(s));
  SetSettings(DefaultSettings(), false);
  EXPECT_EQ(LoadSettings().ExhaustiveScanParams_Hrust2.ScanFirst, 123u * 1024);
  ResetSettings("");
}

}  // namespace
}  // namespace zantor
