#include "plugin/file_time.h"

namespace zantor {

constexpr uint64_t kTicksPerSecond = 10000000;

uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds) {
  constexpr int64_t kEpochSeconds = static_cast<int64_t>(kUnixEpochFileTime / kTicksPerSecond);
  if (seconds < -kEpochSeconds) return 0;
  return static_cast<uint64_t>(seconds + kEpochSeconds) * kTicksPerSecond + nanoseconds / 100;
}

void UnixFromFileTime(uint64_t fileTime, int64_t* seconds, uint32_t* nanoseconds) {
  *seconds = static_cast<int64_t>(fileTime / kTicksPerSecond) - static_cast<int64_t>(kUnixEpochFileTime / kTicksPerSecond);
  *nanoseconds = static_cast<uint32_t>(fileTime % kTicksPerSecond) * 100;
}

uint32_t PackDosDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1980 || year > 2107) return 0;
  uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return date << 16 | time;
}

}  // namespace zantor
