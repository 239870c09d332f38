// Where the configuration file lives when not beside the module, and the
// platform's path text.
#pragma once
#include <cstdint>

namespace zantor {

// The Linux module installed in ZANTOR_INSTALLED_MODULE_FOLDER, which users
// cannot write, keeps its settings in the user's configuration folder
// ($XDG_CONFIG_HOME/zantor/, by default ~/.config/zantor/). moduleFolder holds
// folderLength bytes: the module's folder with its separator. Returns false
// when the file belongs beside the module (always on Windows); true when it
// belongs in another folder, written into out with a trailing separator, or
// "" when there is none that fits in size bytes.
bool SettingsFolderElsewhere(const char* moduleFolder, uint32_t folderLength, char* out, uint32_t size);

// A path in the host's character set (ANSI on Windows) as UTF-8; "" when it
// does not fit.
void HostTextToUtf8(const char* text, char* out, uint32_t size);

// The separator put between a folder and a file name.
#if defined(_WIN32)
constexpr char kFolderSeparator = '\\';
#else
constexpr char kFolderSeparator = '/';
#endif

}  // namespace zantor
