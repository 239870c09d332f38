// EntropyPool: the process-wide random source of the span sort. A CRC-32
// register fed with clock readings and a call counter; both are lone atomic
// words, so concurrent searches only interleave their updates.
#pragma once
#include <cstdint>

namespace zantor {

// A 64-bit random number; salt is one more byte to absorb.
uint64_t EntropyPoolDraw(uint8_t salt);

// Platform: the system time (FILETIME units) and a high-resolution counter.
void ReadEntropySeeds(uint64_t* systemTime, uint64_t* counter);

}  // namespace zantor
