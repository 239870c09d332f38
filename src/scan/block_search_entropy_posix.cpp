#include <time.h>

#include "scan/block_search_entropy.h"

namespace zantor {

void ReadEntropySeeds(uint64_t* systemTime, uint64_t* counter) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  *systemTime = static_cast<uint64_t>(now.tv_sec) * 10000000u + static_cast<uint64_t>(now.tv_nsec) / 100u;
  clock_gettime(CLOCK_MONOTONIC, &now);
  *counter = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace zantor
