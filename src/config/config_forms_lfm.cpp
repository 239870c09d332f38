#include "config/config_forms_lfm.h"

#include <cstdarg>
#include <cstdio>

namespace zantor {

const char* const kConfigItemNames[kConfigItemCount] = {
    "NumberingNone",   "NumberingHex",      "NumberingDec",     "Drelmo",
    "SmartLength",     "ExtendedExtension", "ShowDeleted",      "DetectHobeta",
    "ExtractHobeta",   "Hrust1Basic",       "Hrust1Deep",       "Hrust1Exhaustive",
    "Hrust2Basic",     "Hrust2Deep",        "Hrust2Exhaustive", "Hrust1DeepAdvanced",
    "Hrust1ExhaustiveAdvanced", "Hrust2DeepAdvanced", "Hrust2ExhaustiveAdvanced", "Hrust1Defaults",
    "Hrust2Defaults",
};

const char* const kScanFieldNames[ScanForm::kFieldCount] = {"MaxFileSize", "ScanFirst", "MinBlockSize"};

namespace {

enum Kind : uint8_t { kGroup, kButton, kLabel, kEdit, kRadio, kCheck };
enum Flag : uint8_t { kOk = 1, kCancel = 2, kReadOnly = 4, kBold = 8, kCentered = 16, kNumbers = 32 };

// One control, placed in the Win32 resource's dialog units.
struct Control {
  Kind kind;
  const char* name;  // null: a name is made up
  const char* caption;
  int x, y, width, height;
  uint8_t flags;
  uint8_t maxLength;
};

const char* Item(ConfigItem item) { return kConfigItemNames[static_cast<int>(item)]; }

using I = ConfigItem;

// In the order of the resource script.
const Control kConfigControls[] = {
    {kGroup, nullptr, "", 7, 2, 340, 348, 0, 0},
    {kGroup, nullptr, "", 7, 2, 340, 94, 0, 0},
    {kButton, kOkItem, "OK", 124, 329, 60, 14, kOk, 0},
    {kButton, "Cancel", "Cancel", 195, 329, 55, 14, kCancel, 0},
    {kLabel, kAboutItem, "", 15, 12, 324, 55, kCentered, 0},
    {kLabel, nullptr, "Config file path:", 15, 78, 62, 8, 0, 0},
    {kEdit, kConfigPathItem, "", 81, 75, 257, 14, kReadOnly, 0},
    {kLabel, kMessageItem, "", 15, 278, 322, 44, kCentered | kBold, 0},
    {kGroup, nullptr, "File naming", 14, 102, 96, 32, 0, 0},
    {kGroup, nullptr, "Numbering", 109, 102, 229, 32, 0, 0},
    {kRadio, Item(I::kNumberingNone), "None", 121, 116, 36, 10, 0, 0},
    {kRadio, Item(I::kNumberingHex), "Hex", 162, 116, 28, 10, 0, 0},
    {kRadio, Item(I::kNumberingDec), "Dec", 196, 116, 28, 10, 0, 0},
    {kCheck, Item(I::kDrelmo), "Drelmo compatible", 26, 116, 74, 10, 0, 0},
    {kGroup, nullptr, "Miscellaneous", 14, 138, 324, 45, 0, 0},
    {kCheck, Item(I::kSmartLength), "Smart file length detection", 25, 152, 110, 10, 0, 0},
    {kCheck, Item(I::kExtendedExtension), "3-symbol extension support", 25, 166, 110, 10, 0, 0},
    {kCheck, Item(I::kShowDeleted), "Show deleted files", 220, 152, 76, 10, 0, 0},
    {kCheck, Item(I::kExtractHobeta), "Extract hobeta", 143, 166, 69, 10, 0, 0},
    {kCheck, Item(I::kDetectHobeta), "Detect hobeta", 143, 152, 69, 10, 0, 0},
    {kGroup, nullptr, "Hrust 1 blocks search intensity", 14, 187, 158, 84, 0, 0},
    {kCheck, Item(I::kHrust1Basic), "Basic scan", 25, 201, 50, 10, 0, 0},
    {kCheck, Item(I::kHrust1Deep), "Deep scan", 25, 215, 50, 10, 0, 0},
    {kCheck, Item(I::kHrust1Exhaustive), "Exhaustive search", 25, 230, 74, 10, 0, 0},
    {kButton, Item(I::kHrust1DeepAdvanced), "Advanced...", 109, 214, 50, 12, 0, 0},
    {kButton, Item(I::kHrust1ExhaustiveAdvanced), "Advanced...", 109, 229, 50, 12, 0, 0},
    {kGroup, nullptr, "Hrust 2 blocks search intensity", 179, 187, 158, 84, 0, 0},
    {kCheck, Item(I::kHrust2Basic), "Basic scan", 189, 201, 50, 10, 0, 0},
    {kCheck, Item(I::kHrust2Deep), "Deep scan", 189, 215, 50, 10, 0, 0},
    {kCheck, Item(I::kHrust2Exhaustive), "Exhaustive search", 189, 230, 74, 10, 0, 0},
    {kButton, Item(I::kHrust2DeepAdvanced), "Advanced...", 274, 214, 50, 12, 0, 0},
    {kButton, Item(I::kHrust2ExhaustiveAdvanced), "Advanced...", 274, 229, 50, 12, 0, 0},
    {kButton, Item(I::kHrust1Defaults), "Defaults", 24, 248, 50, 14, 0, 0},
    {kButton, Item(I::kHrust2Defaults), "Defaults", 188, 248, 50, 14, 0, 0},
};

const Control kScanControls[] = {
    {kGroup, nullptr, "Static", 7, 4, 206, 119, 0, 0},
    {kButton, kOkItem, "OK", 54, 99, 50, 14, kOk, 0},
    {kButton, "Cancel", "Cancel", 113, 99, 50, 14, kCancel, 0},
    {kLabel, nullptr, "Scan only files up to", 18, 20, 69, 8, 0, 0},
    {kLabel, nullptr, "Kbytes long", 146, 20, 44, 8, 0, 0},
    {kLabel, nullptr, "Scan only first", 17, 40, 53, 8, 0, 0},
    {kLabel, nullptr, "Kbytes", 131, 40, 22, 8, 0, 0},
    {kCheck, kTestBlocksItem, "Skip bad blocks (test block before adding to list)", 17, 58, 173, 10, 0, 0},
    {kLabel, nullptr, "Skip blocks smaller than", 17, 79, 82, 8, 0, 0},
    {kLabel, nullptr, "bytes", 156, 79, 18, 8, 0, 0},
    {kEdit, kScanFieldNames[ScanForm::kMaxFileSize], "", 91, 17, 46, 14, kNumbers, 6},
    {kEdit, kScanFieldNames[ScanForm::kScanFirst], "", 74, 37, 48, 14, kNumbers, 6},
    {kEdit, kScanFieldNames[ScanForm::kMinBlockSize], "", 103, 76, 47, 14, kNumbers, 5},
};

// Dialog units to pixels: room for the host's fonts, larger than Windows'.
int X(int units) { return units * 2; }
int Y(int units) { return units * 15 / 8; }

class Writer {
 public:
  Writer(char* out, uint32_t size) : out_(out), size_(size) {}
  void Put(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (failed_) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(out_ + length_, size_ - length_, format, args);
    va_end(args);
    if (n < 0 || static_cast<uint32_t>(n) >= size_ - length_) {
      failed_ = true;
    } else {
      length_ += static_cast<uint32_t>(n);
    }
  }
  // A string property: quoted, quotes doubled, control characters as #n.
  void PutString(const char* name, const char* text) {
    Put("  %s = ", name);
    if (*text == 0) return Put("''\n");
    bool quoted = false;
    for (const char* p = text; *p != 0; ++p) {
      const bool plain = static_cast<unsigned char>(*p) >= 0x20;
      if (plain != quoted) Put("'");
      quoted = plain;
      if (plain) Put(*p == '\'' ? "''" : "%c", *p);
      if (!plain) Put("#%d", *p);
    }
    Put(quoted ? "'\n" : "\n");
  }
  uint32_t Length() const { return failed_ ? 0 : length_; }

 private:
  char* out_;
  uint32_t size_;
  uint32_t length_ = 0;
  bool failed_ = false;
};

// The host's forms have no radio buttons: check boxes stand in for them, and
// ConfigForm keeps exactly one of them checked.
constexpr const char* kClassOf[] = {"TGroupBox", "TButton", "TLabel", "TEdit", "TCheckBox", "TCheckBox"};

bool Inside(const Control& inner, const Control& outer) {
  return &inner != &outer && inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The smallest group box that holds control, or null: the host's group boxes
// cover their siblings, so controls are placed inside them.
template <size_t N>
const Control* ParentOf(const Control& control, const Control (&controls)[N]) {
  const Control* parent = nullptr;
  for (const Control& group : controls) {
    if (group.kind == kGroup && Inside(control, group) && (parent == nullptr || Inside(group, *parent))) {
      parent = &group;
    }
  }
  return parent;
}

// A group box's client area starts inside its frame, below its caption.
constexpr int kGroupLeft = 2;
int GroupTop(const Control& group) { return group.caption[0] == 0 ? 2 : 16; }
int AtLeastZero(int value) { return value < 0 ? 0 : value; }

template <size_t N>
void PutChildren(Writer& w, const Control* parent, const Control (&controls)[N], int depth) {
  const int left = parent == nullptr ? 0 : X(parent->x) + kGroupLeft;
  const int top = parent == nullptr ? 0 : Y(parent->y) + GroupTop(*parent);
  for (size_t i = 0; i < N; ++i) {
    const Control& c = controls[i];
    if (ParentOf(c, controls) != parent) continue;
    const int indent = 2 * depth;
    if (c.name != nullptr) {
      w.Put("%*sobject %s: %s\n", indent, "", c.name, kClassOf[c.kind]);
    } else {
      w.Put("%*sobject Static%u: %s\n", indent, "", static_cast<unsigned>(i), kClassOf[c.kind]);
    }
    w.Put("  Left = %d\n  Top = %d\n  Width = %d\n  Height = %d\n", AtLeastZero(X(c.x) - left),
          AtLeastZero(Y(c.y) - top), X(c.width), Y(c.height));
    w.PutString(c.kind == kEdit ? "Text" : "Caption", c.caption);
    // Centred labels are the text areas; the others take the width of their text.
    if (c.kind == kLabel && (c.flags & kCentered) != 0) w.Put("  AutoSize = False\n  WordWrap = True\n");
    if ((c.flags & kCentered) != 0) w.Put("  Alignment = taCenter\n");
    if ((c.flags & kBold) != 0) w.Put("  Font.Style = [fsBold]\n  ParentFont = False\n");
    if ((c.flags & kReadOnly) != 0) w.Put("  ReadOnly = True\n");
    if ((c.flags & kNumbers) != 0) w.Put("  NumbersOnly = True\n  MaxLength = %d\n", c.maxLength);
    if ((c.flags & kOk) != 0) w.Put("  Default = True\n  ModalResult = 1\n");
    if ((c.flags & kCancel) != 0) w.Put("  Cancel = True\n  ModalResult = 2\n");
    if (c.kind == kButton || c.kind == kRadio || c.kind == kCheck) w.Put("  OnClick = ButtonClick\n");
    if (c.kind == kGroup) PutChildren(w, &c, controls, depth + 1);
    w.Put("%*send\n", indent, "");
  }
}

template <size_t N>
uint32_t FormText(const char* caption, int width, int height, const Control (&controls)[N], char* out,
                  uint32_t size) {
  Writer w(out, size);
  w.Put("object DialogBox: TDialogBox\n  Left = 0\n  Top = 0\n  Width = %d\n  Height = %d\n", X(width), Y(height));
  w.Put("  ClientWidth = %d\n  ClientHeight = %d\n", X(width), Y(height));
  w.Put("  BorderStyle = bsDialog\n  Position = poScreenCenter\n  OnShow = DialogBoxShow\n");
  w.PutString("Caption", caption);
  PutChildren(w, nullptr, controls, 1);
  w.Put("end\n");
  return w.Length();
}

}  // namespace

uint32_t ConfigFormText(char* out, uint32_t size) {
  return FormText("Zantor config", 354, 357, kConfigControls, out, size);
}

uint32_t ScanFormText(const char* caption, char* out, uint32_t size) {
  return FormText(caption, 220, 130, kScanControls, out, size);
}

}  // namespace zantor
