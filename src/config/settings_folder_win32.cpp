#include <windows.h>

#include "base/utf16.h"
#include "config/settings_folder.h"

namespace zantor {

bool SettingsFolderElsewhere(const char*, uint32_t, char*, uint32_t) { return false; }

void HostTextToUtf8(const char* text, char* out, uint32_t size) {
  wchar_t wide[1024];
  const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof wide / sizeof wide[0]);
  if (units <= 0 || !Utf16ToUtf8(wide, static_cast<uint32_t>(units - 1), out, size)) out[0] = 0;
}

}  // namespace zantor
