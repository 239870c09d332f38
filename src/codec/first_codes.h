// What the first codes of a stream decide before any walk: at chance
// positions of an image most checks fail within them.
#pragma once
#include <cstdint>

namespace zantor {

struct FirstCodesFailure {
  uint32_t consumed;  // packed bytes the check walked; 0: the codes do not decide
  uint32_t produced;
  uint32_t error;     // of a failing check
};

}  // namespace zantor
