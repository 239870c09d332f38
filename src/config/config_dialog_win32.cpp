// The configuration dialog (Windows).
#include "config/config_dialog.h"

namespace zantor {

void ConfigDialog(void*, void*) {}

}  // namespace zantor
