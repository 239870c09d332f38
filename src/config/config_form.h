// What the configuration dialog and the advanced scan settings dialog do,
// apart from any windowing system: the state of every item, what a click
// changes, how entries are validated and what OK yields. A view (Win32
// controls, or a form shown by the host) shows this state after every event
// and reports the user's clicks and entries back.
#pragma once
#include <cstdint>

#include "config/settings.h"

namespace zantor {

// The about text, the restart note and the advanced dialogs' caption suffix,
// as every view shows them.
extern const char kAboutText[];
extern const char kRestartNote[];
extern const char kScanCaptionSuffix[];

// The items of the configuration dialog that hold a state or act on a click.
enum class ConfigItem : uint8_t {
  kNumberingNone,
  kNumberingHex,
  kNumberingDec,
  kDrelmo,
  kSmartLength,
  kExtendedExtension,
  kShowDeleted,
  kDetectHobeta,
  kExtractHobeta,
  kHrust1Basic,
  kHrust1Deep,
  kHrust1Exhaustive,
  kHrust2Basic,
  kHrust2Deep,
  kHrust2Exhaustive,
  kHrust1DeepAdvanced,
  kHrust1ExhaustiveAdvanced,
  kHrust2DeepAdvanced,
  kHrust2ExhaustiveAdvanced,
  kHrust1Defaults,
  kHrust2Defaults,
};
constexpr int kConfigItemCount = static_cast<int>(ConfigItem::kHrust2Defaults) + 1;

// One "Advanced..." button: the record it edits and what its dialog allows.
struct AdvancedEdit {
  ScanParams* params;  // the working copy, inside the ConfigForm
  const char* title;
  bool allowMinBlockSize;
  bool allowBadBlockTest;
};

class ConfigForm {
 public:
  // The dialog opened over the settings in force.
  explicit ConfigForm(const Settings& inForce);

  bool Checked(ConfigItem item) const { return checked_[Index(item)]; }
  bool Enabled(ConfigItem item) const;
  // The restart note while the items differ from the settings in force, else "".
  const char* Message() const;

  // The user clicked item; checked is the state the view shows for it now
  // (check boxes and radio buttons toggle before the view reports them).
  // Returns the advanced edit to run when item is an "Advanced..." button,
  // else a null params.
  AdvancedEdit Click(ConfigItem item, bool checked);
  // What OK saves.
  Settings Edited() const;

 private:
  static int Index(ConfigItem item) { return static_cast<int>(item); }
  void ShowLevel(int format, int level);
  int Level(int format) const;
  void RestoreDefaults(int format);

  Settings inForce_;
  bool checked_[kConfigItemCount] = {};
  ScanParams advanced_[4] = {};
};

// The advanced scan settings dialog of one record.
class ScanForm {
 public:
  explicit ScanForm(const AdvancedEdit& edit);

  // The caption: the title and the suffix, cut to 47 bytes.
  const char* Caption() const { return caption_; }
  // The initial texts of the three fields and their longest entries.
  enum Field { kMaxFileSize, kScanFirst, kMinBlockSize, kFieldCount };
  const char* Text(Field field) const { return text_[field]; }
  static uint32_t MaxLength(Field field) { return field == kMinBlockSize ? 5 : 6; }
  bool TestBlocks() const { return (edit_.params->TestBlocks & 0xFF) != 0; }
  bool Enabled(Field field) const { return field != kMinBlockSize || edit_.allowMinBlockSize; }
  bool TestBlocksEnabled() const { return edit_.allowBadBlockTest; }

  // OK with the fields' texts: a field holding a number within its limit
  // replaces the value; an empty field, or one with anything else in it,
  // leaves the value as it was. Disabled fields are read too: they still
  // hold the values they started with.
  void Accept(const char* const (&texts)[kFieldCount], bool testBlocks);
  // Whether Accept takes text for field.
  static bool Valid(Field field, const char* text);

 private:
  AdvancedEdit edit_;
  char caption_[48] = {};
  char text_[kFieldCount][11] = {};
};

}  // namespace zantor
