// Start-up of the shared library: the settings load when the library is
// loaded. The library finds its own path (and so that of "Zantor.cfg")
// without a handle.
#include "config/settings.h"

namespace {

__attribute__((constructor)) void LoadSettingsAtLoad() { zantor::InitSettings(nullptr); }

}  // namespace
