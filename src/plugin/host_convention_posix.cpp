#include "plugin/host_convention.h"

#include "plugin/file_time.h"
#include "plugin/session.h"

namespace zantor {

int HostFileTime(const Session& session) {
  int64_t seconds;
  uint32_t nanoseconds;
  UnixFromFileTime(session.lastWriteTime, &seconds, &nanoseconds);
  if (seconds < 0) return 0;
  return static_cast<int>(seconds < kLatestUnixTime ? seconds : kLatestUnixTime);
}

int HostFileAttr(bool directory) { return directory ? kUnixDirectory : kUnixFile; }

}  // namespace zantor
