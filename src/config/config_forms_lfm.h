// The two dialogs as Lazarus forms (text format), for hosts that show forms:
// the same items, arrangement and wording as the Win32 resources.
#pragma once
#include <cstdint>

#include "config/config_form.h"

namespace zantor {

// The name of each ConfigItem's control in the form.
extern const char* const kConfigItemNames[kConfigItemCount];
// Names of the other items the views fill.
constexpr char kAboutItem[] = "About";
constexpr char kConfigPathItem[] = "ConfigPath";
constexpr char kMessageItem[] = "Message";
constexpr char kOkItem[] = "OK";
constexpr char kTestBlocksItem[] = "TestBlocks";
extern const char* const kScanFieldNames[ScanForm::kFieldCount];

// The form text into out (size bytes); its length, or 0 when it does not fit.
uint32_t ConfigFormText(char* out, uint32_t size);
uint32_t ScanFormText(const char* caption, char* out, uint32_t size);

}  // namespace zantor
