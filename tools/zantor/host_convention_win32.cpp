#include <cstdint>
#include <cstdio>

#include "zantor/host_convention.h"

namespace zantor {

void FormatFileTime(int fileTime, char (&out)[20]) {
  const uint32_t date = static_cast<uint32_t>(fileTime) >> 16;
  const uint32_t time = fileTime & 0xFFFF;
  std::snprintf(out, sizeof out, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (date >> 9), (date >> 5) & 15, date & 31,
                time >> 11, (time >> 5) & 63, (time & 31) * 2);
}

bool IsFolder(int fileAttr) { return (fileAttr & 0x10) != 0; }

}  // namespace zantor
