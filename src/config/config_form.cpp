#include "config/config_form.h"

#include <cstdio>
#include <cstring>

namespace zantor {

const char kAboutText[] =
    "\nZantor 2.02 beta (19-Nov-2014)\n\n"
    "Written by the Zantor developers.\n"
    "Comments and bug reports are welcome.";
const char kRestartNote[] =
    "\nPlease restart all instances of Total Commander to fully apply new Zantor settings!";
const char kScanCaptionSuffix[] = ": advanced settings";

namespace {

using Item = ConfigItem;

enum Format { kHrust1, kHrust2 };
// The working copies the "Advanced..." buttons and "Defaults" change.
enum Advanced { kHrust1Deep, kHrust1Exhaustive, kHrust2Deep, kHrust2Exhaustive };

// The first of a format's three level boxes.
constexpr Item kFirstLevelBox[] = {Item::kHrust1Basic, Item::kHrust2Basic};

struct AdvancedButton {
  Item item;
  Advanced copy;
  const char* title;
  bool allowMinBlockSize;
  bool allowBadBlockTest;
};

constexpr AdvancedButton kAdvancedButtons[] = {
    {Item::kHrust1DeepAdvanced, kHrust1Deep, "Hrust 1 deep scan", true, false},
    {Item::kHrust1ExhaustiveAdvanced, kHrust1Exhaustive, "Hrust 1 exhaustive search", true, false},
    {Item::kHrust2DeepAdvanced, kHrust2Deep, "Hrust 2 deep scan", false, true},
    {Item::kHrust2ExhaustiveAdvanced, kHrust2Exhaustive, "Hrust 2 exhaustive search", true, false},
};

constexpr uint32_t kMaxKbytes = kMaxScanBytes >> 10;

bool IsEnabled(const ScanParams& p) { return (p.Enabled & 0xFF) != 0; }

void SetLowByte(uint32_t* value, bool on) { *value = (*value & ~0xFFu) | (on ? 1u : 0u); }

// 3 when the exhaustive search runs, 2 when the deep scan does, else 1.
int LevelOf(const ScanParams& deep, const ScanParams& exhaustive) {
  return IsEnabled(exhaustive) ? 3 : IsEnabled(deep) ? 2 : 1;
}

bool SameParams(const ScanParams& a, const ScanParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What the restart note is about: the settings as the consumers see them.
bool Differ(const Settings& a, const Settings& b) {
  return a.DrelmoCompatible != b.DrelmoCompatible || NumberingInEffect(a) != NumberingInEffect(b) ||
         SmartLengthInEffect(a) != SmartLengthInEffect(b) || a.ExtendedExtension != b.ExtendedExtension ||
         HobetaExtractionInEffect(a) != HobetaExtractionInEffect(b) || a.ShowDeletedFiles != b.ShowDeletedFiles ||
         !SameParams(a.BasicScanParams_Hrust1, b.BasicScanParams_Hrust1) ||
         !SameParams(a.DeepScanParams_Hrust1, b.DeepScanParams_Hrust1) ||
         !SameParams(a.ExhaustiveScanParams_Hrust1, b.ExhaustiveScanParams_Hrust1) ||
         !SameParams(a.BasicScanParams_Hrust2, b.BasicScanParams_Hrust2) ||
         !SameParams(a.DeepScanParams_Hrust2, b.DeepScanParams_Hrust2) ||
         !SameParams(a.ExhaustiveScanParams_Hrust2, b.ExhaustiveScanParams_Hrust2);
}

Item Offset(Item first, int k) { return static_cast<Item>(static_cast<int>(first) + k); }

// A field's number when it holds only digits (surrounding blanks allowed)
// and is at most limit.
bool ParseField(const char* text, uint32_t limit, uint32_t* number) {
  while (*text == ' ') ++text;
  uint64_t value = 0;
  const char* digit = text;
  for (; *digit >= '0' && *digit <= '9'; ++digit) {
    value = value * 10 + static_cast<uint32_t>(*digit - '0');
    if (value > limit) return false;
  }
  if (digit == text) return false;
  while (*digit == ' ') ++digit;
  if (*digit != 0) return false;
  *number = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

ConfigForm::ConfigForm(const Settings& inForce) : inForce_(inForce) {
  advanced_[kHrust1Deep] = inForce.DeepScanParams_Hrust1;
  advanced_[kHrust1Exhaustive] = inForce.ExhaustiveScanParams_Hrust1;
  advanced_[kHrust2Deep] = inForce.DeepScanParams_Hrust2;
  advanced_[kHrust2Exhaustive] = inForce.ExhaustiveScanParams_Hrust2;
  checked_[Index(Item::kDrelmo)] = inForce.DrelmoCompatible;
  if (inForce.FileNameNumbering <= 2) {
    checked_[Index(Item::kNumberingNone) + static_cast<int>(inForce.FileNameNumbering)] = true;
  }
  checked_[Index(Item::kSmartLength)] = inForce.SmartLenDetect;
  checked_[Index(Item::kExtendedExtension)] = inForce.ExtendedExtension;
  checked_[Index(Item::kExtractHobeta)] = inForce.ExtractHobeta;
  checked_[Index(Item::kShowDeleted)] = inForce.ShowDeletedFiles;
  ShowLevel(kHrust1, LevelOf(advanced_[kHrust1Deep], advanced_[kHrust1Exhaustive]));
  ShowLevel(kHrust2, LevelOf(advanced_[kHrust2Deep], advanced_[kHrust2Exhaustive]));
}

// Greyed: what has no effect in the current combination. Greyed items keep
// their check marks.
bool ConfigForm::Enabled(ConfigItem item) const {
  const bool drelmo = Checked(Item::kDrelmo);
  switch (item) {
    case Item::kExtractHobeta:
    case Item::kNumberingNone:
    case Item::kNumberingHex:
    case Item::kNumberingDec:
      return !drelmo;
    case Item::kSmartLength:
      return drelmo || !Checked(Item::kExtractHobeta);
    case Item::kDetectHobeta:
      return false;
    default:
      return true;
  }
}

const char* ConfigForm::Message() const { return Differ(Edited(), inForce_) ? kRestartNote : ""; }

AdvancedEdit ConfigForm::Click(ConfigItem item, bool checked) {
  switch (item) {
    case Item::kNumberingNone:
    case Item::kNumberingHex:
    case Item::kNumberingDec:
      for (int n = 0; n < 3; ++n) checked_[Index(Item::kNumberingNone) + n] = Offset(Item::kNumberingNone, n) == item;
      break;
    case Item::kDrelmo:
    case Item::kSmartLength:
    case Item::kExtendedExtension:
    case Item::kShowDeleted:
    case Item::kExtractHobeta:
      checked_[Index(item)] = checked;
      break;
    case Item::kHrust1Basic:
    case Item::kHrust1Deep:
    case Item::kHrust1Exhaustive:
      ShowLevel(kHrust1, Index(item) - Index(Item::kHrust1Basic) + 1);
      break;
    case Item::kHrust2Basic:
    case Item::kHrust2Deep:
    case Item::kHrust2Exhaustive:
      ShowLevel(kHrust2, Index(item) - Index(Item::kHrust2Basic) + 1);
      break;
    case Item::kHrust1Defaults:
      RestoreDefaults(kHrust1);
      break;
    case Item::kHrust2Defaults:
      RestoreDefaults(kHrust2);
      break;
    default:
      for (const AdvancedButton& button : kAdvancedButtons) {
        if (button.item == item) {
          return AdvancedEdit{&advanced_[button.copy], button.title, button.allowMinBlockSize,
                              button.allowBadBlockTest};
        }
      }
      break;
  }
  return AdvancedEdit{nullptr, nullptr, false, false};
}

Settings ConfigForm::Edited() const {
  Settings s = inForce_;
  s.DrelmoCompatible = Checked(Item::kDrelmo);
  s.FileNameNumbering = 0;  // also when no button is checked
  for (int n = 0; n < 3; ++n) {
    if (Checked(Offset(Item::kNumberingNone, n))) {
      s.FileNameNumbering = static_cast<uint32_t>(n);
      break;
    }
  }
  s.SmartLenDetect = Checked(Item::kSmartLength);
  s.ExtendedExtension = Checked(Item::kExtendedExtension);
  s.ExtractHobeta = Checked(Item::kExtractHobeta);
  s.ShowDeletedFiles = Checked(Item::kShowDeleted);

  s.DeepScanParams_Hrust1 = advanced_[kHrust1Deep];
  s.ExhaustiveScanParams_Hrust1 = advanced_[kHrust1Exhaustive];
  s.DeepScanParams_Hrust2 = advanced_[kHrust2Deep];
  s.ExhaustiveScanParams_Hrust2 = advanced_[kHrust2Exhaustive];

  // The boxes cannot switch the basic scan off.
  const int level1 = Level(kHrust1);
  s.BasicScanParams_Hrust1.Enabled = 1;
  SetLowByte(&s.DeepScanParams_Hrust1.Enabled, level1 >= 2);
  SetLowByte(&s.ExhaustiveScanParams_Hrust1.Enabled, level1 >= 3);
  const int level2 = Level(kHrust2);
  s.BasicScanParams_Hrust2.Enabled = 1;
  SetLowByte(&s.DeepScanParams_Hrust2.Enabled, level2 >= 2);
  SetLowByte(&s.ExhaustiveScanParams_Hrust2.Enabled, level2 >= 3);
  return s;
}

// Box k of the format is checked exactly when level >= k.
void ConfigForm::ShowLevel(int format, int level) {
  for (int k = 1; k <= 3; ++k) checked_[Index(Offset(kFirstLevelBox[format], k - 1))] = level >= k;
}

int ConfigForm::Level(int format) const {
  const Item first = kFirstLevelBox[format];
  return Checked(Offset(first, 2)) ? 3 : Checked(Offset(first, 1)) ? 2 : 1;
}

// The built-in deep and exhaustive rows; the basic scan stays as it is.
void ConfigForm::RestoreDefaults(int format) {
  const Settings defaults = DefaultSettings();
  ScanParams& deep = advanced_[format == kHrust1 ? kHrust1Deep : kHrust2Deep];
  ScanParams& exhaustive = advanced_[format == kHrust1 ? kHrust1Exhaustive : kHrust2Exhaustive];
  deep = format == kHrust1 ? defaults.DeepScanParams_Hrust1 : defaults.DeepScanParams_Hrust2;
  exhaustive = format == kHrust1 ? defaults.ExhaustiveScanParams_Hrust1 : defaults.ExhaustiveScanParams_Hrust2;
  ShowLevel(format, LevelOf(deep, exhaustive));
}

ScanForm::ScanForm(const AdvancedEdit& edit) : edit_(edit) {
  // A title too long for the caption is cut; the suffix always fits.
  const size_t room = sizeof caption_ - sizeof kScanCaptionSuffix;
  size_t length = std::strlen(edit.title);
  if (length > room) length = room;
  std::memcpy(caption_, edit.title, length);
  std::memcpy(caption_ + length, kScanCaptionSuffix, sizeof kScanCaptionSuffix);
  std::snprintf(text_[kMaxFileSize], sizeof text_[0], "%u", static_cast<unsigned>(edit.params->MaxFileSize >> 10));
  std::snprintf(text_[kScanFirst], sizeof text_[0], "%u", static_cast<unsigned>(edit.params->ScanFirst >> 10));
  std::snprintf(text_[kMinBlockSize], sizeof text_[0], "%u", static_cast<unsigned>(edit.params->MinBlockSize));
}

static uint32_t FieldLimit(ScanForm::Field field) {
  return field == ScanForm::kMinBlockSize ? kMaxMinBlockSize : kMaxKbytes;
}

bool ScanForm::Valid(Field field, const char* text) {
  uint32_t number;
  return ParseField(text, FieldLimit(field), &number);
}

void ScanForm::Accept(const char* const (&texts)[kFieldCount], bool testBlocks) {
  ScanParams& p = *edit_.params;
  uint32_t number;
  if (ParseField(texts[kMaxFileSize], FieldLimit(kMaxFileSize), &number)) p.MaxFileSize = number * 1024;
  if (ParseField(texts[kScanFirst], FieldLimit(kScanFirst), &number)) p.ScanFirst = number * 1024;
  p.TestBlocks = (p.TestBlocks & ~0xFFu) | (testBlocks ? 1u : 0u);
  if (ParseField(texts[kMinBlockSize], FieldLimit(kMinBlockSize), &number)) p.MinBlockSize = number;
}

}  // namespace zantor
