// What the host prints: one Printer for people, one for scripts (--json).
// Error lines for standard error are written by the walk, not here.
#pragma once
#include <cstdint>

#include "plugin/wcx.h"

namespace zantor {

enum class Action { kList, kTest, kExtract };

const char* ActionName(Action action);

// Totals of one walk over an archive; codes are 0 when the step succeeded
// (headerCode: the ReadHeader code that ended the walk, when not 10).
struct WalkSummary {
  uint32_t entries;
  uint32_t failed;
  uint64_t packed;
  uint64_t unpacked;
  int openCode;
  int headerCode;
  int closeCode;
};

class Printer {
 public:
  virtual ~Printer() = default;
  virtual void Begin(const char* archive, Action action) = 0;
  // result: what ProcessFile returned for the entry.
  virtual void Entry(const wcx::tHeaderData& header, int result) = 0;
  virtual void End(const WalkSummary& summary) = 0;
  virtual void Probe(const char* file, bool handled) = 0;
  virtual void Pack(const char* archive, int result) = 0;
};

// Printers writing to standard output; action decides the columns.
Printer& TextPrinter();
Printer& JsonPrinter();

}  // namespace zantor
