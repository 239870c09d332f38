// The configuration dialog that the host opens through ConfigurePacker.
#pragma once

namespace zantor {

// Runs the configuration dialog modally over parent; OK replaces and saves
// the settings. module is the plugin's module handle (for its dialog
// resources).
void ConfigurePacker(void* parent, void* module);

}  // namespace zantor
