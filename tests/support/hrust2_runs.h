// Test-only runs of the Hrust 2 routines on exactly-sized heap copies, so
// that AddressSanitizer sees any access outside the packed data or output.
#pragma once
#include <cstdint>
#include <ostream>
#include <vector>

#include "codec/decoder_state.h"

namespace zantor::test {

struct Hrust2Outcome {
  uint32_t error = 0;
  uint32_t consumed = 0;
  uint32_t produced = 0;
  uint32_t status = 0;          // FinishStatus
  std::vector<uint8_t> output;  // decoding only: the first produced bytes

  bool operator==(const Hrust2Outcome& o) const {
    return error == o.error && consumed == o.consumed && produced == o.produced && status == o.status;
  }
};
std::ostream& operator<<(std::ostream& out, const Hrust2Outcome& o);

// DecodeHrust2 into a buffer of exactly expectedSize bytes.
Hrust2Outcome DecodeHrust2Exact(const std::vector<uint8_t>& packed, uint32_t expectedSize);
// A checker (CheckHrust2 or CheckHrust2Tight) without output.
Hrust2Outcome CheckHrust2With(void (*check)(DecoderState&), const std::vector<uint8_t>& packed,
                              uint32_t expectedSize);

}  // namespace zantor::test
