#include "config/setting_names.h"

#include <cstdio>
#include <cstring>

#include "config/config_form.h"

namespace zantor {

namespace {

using I = ConfigItem;

enum Kind : uint8_t { kSwitch, kNumbering, kDeep, kExhaustive, kField, kTestBlocks };

struct Named {
  const char* name;
  Kind kind;
  ConfigItem item;  // the check box, the format's first level box, or the "Advanced..." button
  ScanForm::Field field;
};

constexpr ScanForm::Field kNoField = ScanForm::kFieldCount;

// In the order of the dialog.
constexpr Named kNames[] = {
    {"naming.drelmo-compatible", kSwitch, I::kDrelmo, kNoField},
    {"naming.numbering", kNumbering, I::kNumberingNone, kNoField},
    {"smart-length-detection", kSwitch, I::kSmartLength, kNoField},
    {"extended-extension", kSwitch, I::kExtendedExtension, kNoField},
    {"show-deleted-files", kSwitch, I::kShowDeleted, kNoField},
    {"extract-hobeta", kSwitch, I::kExtractHobeta, kNoField},
    {"deep.hrust1.enabled", kDeep, I::kHrust1Basic, kNoField},
    {"exhaustive.hrust1.enabled", kExhaustive, I::kHrust1Basic, kNoField},
    {"deep.hrust1.max-file-size", kField, I::kHrust1DeepAdvanced, ScanForm::kMaxFileSize},
    {"deep.hrust1.scan-first", kField, I::kHrust1DeepAdvanced, ScanForm::kScanFirst},
    {"deep.hrust1.min-block-size", kField, I::kHrust1DeepAdvanced, ScanForm::kMinBlockSize},
    {"exhaustive.hrust1.max-file-size", kField, I::kHrust1ExhaustiveAdvanced, ScanForm::kMaxFileSize},
    {"exhaustive.hrust1.scan-first", kField, I::kHrust1ExhaustiveAdvanced, ScanForm::kScanFirst},
    {"exhaustive.hrust1.min-block-size", kField, I::kHrust1ExhaustiveAdvanced, ScanForm::kMinBlockSize},
    {"deep.hrust2.enabled", kDeep, I::kHrust2Basic, kNoField},
    {"exhaustive.hrust2.enabled", kExhaustive, I::kHrust2Basic, kNoField},
    {"deep.hrust2.max-file-size", kField, I::kHrust2DeepAdvanced, ScanForm::kMaxFileSize},
    {"deep.hrust2.scan-first", kField, I::kHrust2DeepAdvanced, ScanForm::kScanFirst},
    {"deep.hrust2.skip-bad-blocks", kTestBlocks, I::kHrust2DeepAdvanced, kNoField},
    {"exhaustive.hrust2.max-file-size", kField, I::kHrust2ExhaustiveAdvanced, ScanForm::kMaxFileSize},
    {"exhaustive.hrust2.scan-first", kField, I::kHrust2ExhaustiveAdvanced, ScanForm::kScanFirst},
    {"exhaustive.hrust2.min-block-size", kField, I::kHrust2ExhaustiveAdvanced, ScanForm::kMinBlockSize},
};

constexpr const char* kNumberings[] = {"none", "hex", "dec"};

ConfigItem Offset(ConfigItem first, int k) { return static_cast<ConfigItem>(static_cast<int>(first) + k); }

const char* Allowed(const Named& n) {
  switch (n.kind) {
    case kNumbering:
      return "none, hex or dec";
    case kField:
      return n.field == ScanForm::kMinBlockSize ? "0 to 99999 (bytes)" : "0 to 999999 (Kbytes)";
    default:
      return "on or off";
  }
}

// on/off (or 1/0) into *on; false for anything else.
bool ParseSwitch(const char* value, bool* on) {
  *on = std::strcmp(value, "on") == 0 || std::strcmp(value, "1") == 0;
  return *on || std::strcmp(value, "off") == 0 || std::strcmp(value, "0") == 0;
}

// The value of n in form, as the dialog shows it.
void ValueText(const ConfigForm& form, const Named& n, char (&out)[16]) {
  ConfigForm probe = form;
  switch (n.kind) {
    case kSwitch:
      std::snprintf(out, sizeof out, "%s", form.Checked(n.item) ? "on" : "off");
      break;
    case kNumbering:
      std::snprintf(out, sizeof out, "%s", "none");
      for (int k = 0; k < 3; ++k) {
        if (form.Checked(Offset(n.item, k))) std::snprintf(out, sizeof out, "%s", kNumberings[k]);
      }
      break;
    case kDeep:
    case kExhaustive:
      std::snprintf(out, sizeof out, "%s", form.Checked(Offset(n.item, n.kind == kDeep ? 1 : 2)) ? "on" : "off");
      break;
    case kField:
    case kTestBlocks: {
      const ScanForm scan(probe.Click(n.item, false));
      std::snprintf(out, sizeof out, "%s",
                    n.kind == kTestBlocks ? (scan.TestBlocks() ? "on" : "off") : scan.Text(n.field));
      break;
    }
  }
}

// Applies a valid value through the dialog's logic; false when it is not valid.
bool Apply(ConfigForm& form, const Named& n, const char* value) {
  bool on = false;
  switch (n.kind) {
    case kSwitch:
      if (!ParseSwitch(value, &on)) return false;
      form.Click(n.item, on);
      return true;
    case kNumbering:
      for (int k = 0; k < 3; ++k) {
        if (std::strcmp(value, kNumberings[k]) == 0) {
          form.Click(Offset(n.item, k), true);
          return true;
        }
      }
      return false;
    case kDeep:
    case kExhaustive: {
      if (!ParseSwitch(value, &on)) return false;
      // The level boxes: deep is level 2, exhaustive level 3 (and needs deep).
      const int level = form.Checked(Offset(n.item, 2)) ? 3 : form.Checked(Offset(n.item, 1)) ? 2 : 1;
      const int wanted = n.kind == kDeep ? (on ? (level > 2 ? 3 : 2) : 1) : (on ? 3 : (level > 2 ? 2 : level));
      form.Click(Offset(n.item, wanted - 1), true);
      return true;
    }
    case kField:
    case kTestBlocks: {
      ScanForm scan(form.Click(n.item, false));
      if (n.kind == kTestBlocks) {
        if (!ParseSwitch(value, &on)) return false;
      } else if (!ScanForm::Valid(n.field, value)) {
        return false;
      }
      const char* texts[ScanForm::kFieldCount] = {scan.Text(ScanForm::kMaxFileSize), scan.Text(ScanForm::kScanFirst),
                                                  scan.Text(ScanForm::kMinBlockSize)};
      if (n.kind == kField) texts[n.field] = value;
      scan.Accept(texts, n.kind == kTestBlocks ? on : scan.TestBlocks());
      return true;
    }
  }
  return false;
}

}  // namespace

bool SetNamedSetting(Settings* s, const char* name, const char* value, char* error, size_t size) {
  for (const Named& n : kNames) {
    if (std::strcmp(n.name, name) != 0) continue;
    ConfigForm form(*s);
    if (!Apply(form, n, value)) {
      std::snprintf(error, size, "%s: \"%s\" is not allowed; allowed: %s", name, value, Allowed(n));
      return false;
    }
    *s = form.Edited();
    return true;
  }
  std::snprintf(error, size, "%s: no such setting; `zantor config` lists them", name);
  return false;
}

void ForEachNamedSetting(const Settings& s, void (*visit)(void*, const char*, const char*, const char*),
                         void* context) {
  const ConfigForm form(s);
  for (const Named& n : kNames) {
    char value[16];
    ValueText(form, n, value);
    visit(context, n.name, value, Allowed(n));
  }
}

}  // namespace zantor
