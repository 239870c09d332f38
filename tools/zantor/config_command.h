// zantor config: what the plugin's settings are.
#pragma once
#include <cstdio>

#include "config/settings.h"
#include "zantor/plugin_module.h"

namespace zantor {

// Without operands: runs the plugin's ConfigurePacker (a dialog on Windows,
// nothing elsewhere), then prints the configuration file of the module at
// pluginPath, why it is that one, the settings the plugin takes from it and
// the names `set` takes. "set NAME VALUE" changes one setting in that file,
// "reset" puts back the defaults. Returns the exit status.
int ConfigCommand(const PluginModule& plugin, const char* pluginPath, const char* const* operands, int count);

// The configuration file path ("" for none) and every setting, with the
// derived values in effect.
void PrintSettings(std::FILE* out, const char* configPath, const Settings& s);

}  // namespace zantor
