#include <windows.h>

#include "plugin/file.h"

namespace zantor {

uint32_t DosDateTime(uint64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local;
  WORD date;
  WORD time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
  return static_cast<uint32_t>(date) << 16 | time;
}

}  // namespace zantor
