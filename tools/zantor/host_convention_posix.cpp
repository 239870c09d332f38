#include <time.h>

#include <cstdio>

#include "zantor/host_convention.h"

namespace zantor {

void FormatFileTime(int fileTime, char (&out)[20]) {
  const time_t seconds = fileTime;
  struct tm local;
  if (localtime_r(&seconds, &local) == nullptr || strftime(out, sizeof out, "%Y-%m-%d %H:%M:%S", &local) == 0) {
    std::snprintf(out, sizeof out, "?");
  }
}

bool IsFolder(int fileAttr) { return (fileAttr & 0xF000) == 0x4000; }

}  // namespace zantor
