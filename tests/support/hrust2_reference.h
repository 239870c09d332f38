// A test-only Hrust 2 decoder written the plainest way: one bit, one byte at
// a time, every step checked. It is the oracle for the product decoder's
// fast paths, on damaged data as much as on valid data.
#pragma once
#include <cstdint>
#include <vector>

#include "support/hrust2_runs.h"

namespace zantor::test {

Hrust2Outcome ReferenceDecodeHrust2(const std::vector<uint8_t>& packed, uint32_t expectedSize);

}  // namespace zantor::test
