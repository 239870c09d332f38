// WorkBudget: how much checking and decoding one analysis may do, so that no
// file, however crafted, holds the host for long. A unit of work is one packed
// byte a stream check walked or one byte a decode wrote (both cost a few
// nanoseconds at worst). It is spent per candidate, never per code. However
// large the file and whatever the settings, one analysis gets at most
// kCeilingWork units.
#pragma once
#include <cstdint>

#include "config/settings.h"

namespace zantor {

struct WorkBudget {
  uint64_t left;
  uint8_t exhausted;    // once set, the search stops and the result says so
  uint64_t unpackLeft;  // the attribute step's own allowance, spent first

  // Takes work from what is left; false (and exhausted) when it was not there.
  bool Spend(uint64_t work) {
    if (work > left) {
      Exhaust();
      return false;
    }
    left -= work;
    return true;
  }
  // Pays for bytes the attribute step unpacks: from its allowance while it
  // lasts, then from what is left.
  bool SpendUnpacked(uint64_t bytes) {
    const uint64_t allowed = bytes < unpackLeft ? bytes : unpackLeft;
    if (!Spend(bytes - allowed)) return false;
    unpackLeft -= allowed;
    return true;
  }
  void Exhaust() {
    left = 0;
    exhausted = 1;
  }
};

// About 30 s of the slowest crafted work on the 2-core development machine
// (hostile_bench --ceiling).
constexpr uint64_t kCeilingWork = uint64_t{4} << 30;

// The budget of one analysis of an image of size bytes with these settings.
WorkBudget AnalysisBudget(const Settings& settings, uint32_t size);

}  // namespace zantor
