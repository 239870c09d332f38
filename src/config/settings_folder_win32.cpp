#include "config/settings_folder.h"

namespace zantor {

bool SettingsFolderElsewhere(const char*, uint32_t, char*, uint32_t) { return false; }

}  // namespace zantor
