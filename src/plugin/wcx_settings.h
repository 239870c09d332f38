// What hosts tell a plugin about where settings belong and which services
// they offer: the default parameters of the packer interface, and Double
// Commander's extension record (its dialog and message services).
#pragma once
#include <cstdint>

#include "plugin/wcx.h"

namespace wcx {

struct PackDefaultParamStruct {
  int size;
  uint32_t PluginInterfaceVersionLow;
  uint32_t PluginInterfaceVersionHi;
  char DefaultIniName[260];  // a file in the host's settings folder
};

typedef void(WCX_API* PackSetDefaultParamsFn)(PackDefaultParamStruct*);

// Double Commander's record, packed, as far as this plugin reads it.
constexpr size_t kExtensionMaxPath = 16384;

#pragma pack(push, 1)
struct tExtensionStartupInfo {
  uint32_t StructSize;
  char PluginDir[kExtensionMaxPath];
  char PluginConfDir[kExtensionMaxPath];  // the host's configuration folder
  void* InputBox;
  int (*MessageBox)(char* text, char* caption, long flags);
  int (*DialogBoxLFM)(intptr_t data, unsigned long size, intptr_t (*proc)(uintptr_t, char*, intptr_t, intptr_t, intptr_t));
  void* DialogBoxLRS;
  void* DialogBoxLFMFile;
  intptr_t (*SendDlgMsg)(uintptr_t dialog, char* item, intptr_t message, intptr_t wParam, intptr_t lParam);
};
#pragma pack(pop)

typedef void (*ExtensionInitializeFn)(tExtensionStartupInfo*);
typedef void (*ExtensionFinalizeFn)(void*);

constexpr long kMbIconError = 0x10;

}  // namespace wcx
