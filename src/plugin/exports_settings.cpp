// PackSetDefaultParams: the host names its settings folder, which the user can
// always write; the settings go there when the module's folder cannot take
// them.
#include "config/settings.h"
#include "plugin/exports.h"
#include "plugin/wcx_settings.h"

ZANTOR_EXPORT void WCX_API PackSetDefaultParams(wcx::PackDefaultParamStruct* dps) {
  if (dps == nullptr || dps->size < static_cast<int>(sizeof *dps)) return;
  char name[sizeof dps->DefaultIniName + 1];
  for (size_t i = 0; i < sizeof dps->DefaultIniName; ++i) name[i] = dps->DefaultIniName[i];
  name[sizeof dps->DefaultIniName] = 0;  // a host may fill all 260 bytes
  zantor::SetHostSettingsFile(name);
}
