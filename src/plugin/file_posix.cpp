#include <time.h>

#include "plugin/file.h"
#include "plugin/file_time.h"

namespace zantor {

uint32_t DosDateTime(uint64_t fileTime) {
  int64_t seconds;
  uint32_t nanoseconds;
  UnixFromFileTime(fileTime, &seconds, &nanoseconds);
  time_t unixTime = static_cast<time_t>(seconds);
  struct tm local;
  if (localtime_r(&unixTime, &local) == nullptr) return 0;
  return PackDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                         local.tm_sec);
}

}  // namespace zantor
