#include "plugin/host_convention.h"

#include "plugin/session.h"

namespace zantor {

int HostFileTime(const Session& session) { return static_cast<int>(session.analysis.dosTime); }

int HostFileAttr(bool directory) { return directory ? kWindowsDirectory : 0; }

}  // namespace zantor
