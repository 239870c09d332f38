// zantor config: what the plugin's settings are.
#pragma once
#include <cstdio>

#include "config/settings.h"
#include "zantor/plugin_module.h"

namespace zantor {

// Runs the plugin's ConfigurePacker (a dialog on Windows, nothing elsewhere),
// then prints the configuration file beside the module at pluginPath and the
// settings the plugin takes from it. Returns the exit status.
int ConfigCommand(const PluginModule& plugin, const char* pluginPath);

// The configuration file path ("" for none) and every setting, with the
// derived values in effect.
void PrintSettings(std::FILE* out, const char* configPath, const Settings& s);

}  // namespace zantor
