// What both views of the dialogs do, without either view: initial state,
// clicks, greying, the restart note, entry validation, what OK yields; and
// the names `zantor config set` takes, which change settings as the dialog
// does.
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

struct Click {
  I item;
  bool checked;  // what the view shows after the click
};

struct FormCase {
  const char* what;
  std::vector<Click> clicks;
  void (*expect)(Settings& s);  // applied to the defaults: what OK must save
  std::vector<I> greyed;        // besides Detect hobeta
  bool note;
};

TEST(ConfigForm, ClicksGreyingNoteAndWhatOkSaves) {
  const FormCase cases[] = {
      {"nothing", {}, [](Settings&) {}, {}, false},
      {"Drelmo compatible", {{I::kDrelmo, true}}, [](Settings& s) { s.DrelmoCompatible = true; },
       {I::kNumberingNone, I::kNumberingHex, I::kNumberingDec, I::kExtractHobeta}, true},
      {"Extract hobeta", {{I::kExtractHobeta, true}}, [](Settings& s) { s.ExtractHobeta = true; },
       {I::kSmartLength}, true},
      {"Extract hobeta made void by Drelmo", {{I::kExtractHobeta, true}, {I::kDrelmo, true}},
       [](Settings& s) { s.ExtractHobeta = s.DrelmoCompatible = true; },
       {I::kNumberingNone, I::kNumberingHex, I::kNumberingDec, I::kExtractHobeta}, true},
      {"Hex", {{I::kNumberingHex, true}}, [](Settings& s) { s.FileNameNumbering = 1; }, {}, true},
      {"checked radio clicked again", {{I::kNumberingDec, true}}, [](Settings&) {}, {}, false},
      {"Hrust 2 exhaustive", {{I::kHrust2Exhaustive, true}},
       [](Settings& s) { s.ExhaustiveScanParams_Hrust2.Enabled = 1; }, {}, true},
      {"Hrust 1 basic, twice: level 1, basic stays on", {{I::kHrust1Basic, false}, {I::kHrust1Basic, false}},
       [](Settings& s) { s.DeepScanParams_Hrust1.Enabled = 0; }, {}, true},
      {"Hrust 1 deep at level 2 keeps level 2", {{I::kHrust1Deep, false}}, [](Settings&) {}, {}, false},
      {"change undone", {{I::kShowDeleted, true}, {I::kShowDeleted, false}}, [](Settings&) {}, {}, false},
  };
  for (const FormCase& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigForm form(DefaultSettings());
    for (const Click& click : c.clicks) EXPECT_EQ(form.Click(click.item, click.checked).params, nullptr);
    Settings expected = DefaultSettings();
    c.expect(expected);
    const Settings edited = form.Edited();
    EXPECT_EQ(std::memcmp(&edited, &expected, sizeof edited), 0);
    for (int i = 0; i < kConfigItemCount; ++i) {
      const I item = static_cast<I>(i);
      const bool greyed = item == I::kDetectHobeta || std::count(c.greyed.begin(), c.greyed.end(), item) != 0;
      EXPECT_EQ(form.Enabled(item), !greyed) << "item " << i;
    }
    EXPECT_STREQ(form.Message(), c.note ? kRestartNote : "");
  }
}

TEST(ConfigForm, InitialStateFollowsTheSettings) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = 7;  // none of the three: no button checked, OK saves 0
  s.ExhaustiveScanParams_Hrust1.Enabled = 0x101;
  s.DeepScanParams_Hrust2.Enabled = 0;
  ConfigForm form(s);
  EXPECT_FALSE(form.Checked(I::kNumberingNone) || form.Checked(I::kNumberingHex) || form.Checked(I::kNumberingDec));
  EXPECT_TRUE(form.Checked(I::kHrust1Exhaustive) && form.Checked(I::kHrust1Deep));
  EXPECT_FALSE(form.Checked(I::kHrust2Deep));
  EXPECT_TRUE(form.Checked(I::kHrust2Basic));
  EXPECT_EQ(form.Edited().FileNameNumbering, 0u);
  EXPECT_EQ(form.Edited().ExhaustiveScanParams_Hrust1.Enabled, 0x101u);  // only the low byte is the switch
}

TEST(ScanForm, AdvancedEditsValidateLikeTheDialog) {
  ConfigForm form(DefaultSettings());
  const AdvancedEdit edit = form.Click(I::kHrust2DeepAdvanced, false);
  ASSERT_NE(edit.params, nullptr);
  ScanForm scan(edit);
  EXPECT_STREQ(scan.Caption(), "Hrust 2 deep scan: advanced settings");
  EXPECT_STREQ(scan.Text(ScanForm::kMaxFileSize), "4096");
  EXPECT_FALSE(scan.Enabled(ScanForm::kMinBlockSize));
  EXPECT_TRUE(scan.TestBlocksEnabled());
  // Empty, too large and non-numeric entries keep the value; disabled fields are read too.
  const char* const texts[] = {"999999", "", "12x"};
  scan.Accept(texts, true);
  const char* const more[] = {"1000000", " 7 ", "0"};
  ScanForm(form.Click(I::kHrust2DeepAdvanced, false)).Accept(more, true);
  Settings expected = DefaultSettings();
  expected.DeepScanParams_Hrust2.MaxFileSize = 999999u * 1024;
  expected.DeepScanParams_Hrust2.ScanFirst = 7 * 1024;
  expected.DeepScanParams_Hrust2.TestBlocks = 1;
  Settings edited = form.Edited();
  EXPECT_EQ(std::memcmp(&edited, &expected, sizeof edited), 0);
  EXPECT_STREQ(form.Message(), kRestartNote);
  // Defaults put the deep and exhaustive rows back.
  form.Click(I::kHrust2Defaults, false);
  edited = form.Edited();
  expected = DefaultSettings();
  EXPECT_EQ(std::memcmp(&edited, &expected, sizeof edited), 0);
}

TEST(NamedSettings, ChangeAsTheDialogDoesAndRefuseWhatItRefuses) {
  struct Case {
    const char* name;
    const char* value;
    bool ok;
    void (*expect)(Settings& s);
  };
  const Case cases[] = {
      {"naming.numbering", "hex", true, [](Settings& s) { s.FileNameNumbering = 1; }},
      {"naming.numbering", "2", false, nullptr},
      {"exhaustive.hrust1.enabled", "on", true, [](Settings& s) { s.ExhaustiveScanParams_Hrust1.Enabled = 1; }},
      {"deep.hrust2.enabled", "off", true, [](Settings& s) { s.DeepScanParams_Hrust2.Enabled = 0; }},
      {"show-deleted-files", "yes", false, nullptr},
      {"deep.hrust1.max-file-size", "999999", true,
       [](Settings& s) { s.DeepScanParams_Hrust1.MaxFileSize = 999999u * 1024; }},
      {"deep.hrust1.max-file-size", "1000000", false, nullptr},
      {"exhaustive.hrust2.min-block-size", "", false, nullptr},
      {"deep.hrust2.min-block-size", "1", false, nullptr},  // the dialog greys it
      {"deep.hrust2.skip-bad-blocks", "on", true, [](Settings& s) { s.DeepScanParams_Hrust2.TestBlocks = 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.value);
    Settings s = DefaultSettings();
    char error[256] = "";
    EXPECT_EQ(SetNamedSetting(&s, c.name, c.value, error, sizeof error), c.ok);
    Settings expected = DefaultSettings();
    if (c.ok) c.expect(expected);
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0);
    if (!c.ok) {
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
