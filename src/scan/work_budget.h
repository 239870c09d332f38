// WorkBudget: how much checking and decoding one analysis may do, so that no
// file, however crafted, holds the host for long. A unit of work is one packed
// byte a stream check walked or one byte a decode wrote (both cost a few
// nanoseconds at worst). It is spent per candidate, never per code.
#pragma once
#include <cstdint>

#include "config/settings.h"

namespace zantor {

struct WorkBudget {
  uint64_t left;
  uint8_t exhausted;  // once set, the search stops and the result says so

  // Takes work from what is left; false (and exhausted) when it was not there.
  bool Spend(uint64_t work) {
    if (work > left) {
      Exhaust();
      return false;
    }
    left -= work;
    return true;
  }
  void Exhaust() {
    left = 0;
    exhausted = 1;
  }
};

// The budget of one analysis of an image of size bytes with these settings.
WorkBudget AnalysisBudget(const Settings& settings, uint32_t size);

}  // namespace zantor
