// Open time and memory on crafted images (hostile_images.h). Each case runs
// in a child process of its own, so its peak memory is its own: the peak
// resident size during the analysis minus the resident size before it, the
// image already in memory (it stands for the file mapping). Settings: the
// defaults, and all seven passes with every size limit at its maximum.
//
//   hostile_bench [MiB]            the table (default 1 MiB images)
//   hostile_bench --work FILE...   work per byte of genuine files: all passes, defaults
//   hostile_bench --checkers [MiB] each stream checker at every offset of each
//                                  image (default 1/16 MiB), as the exhaustive
//                                  search runs it: ns per packed byte walked
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "codec/hrust1.h"
#include "codec/hrust2.h"
#include "config/settings.h"
#include "hostile_images.h"
#include "scan/analyse.h"
#include "scan/analysis.h"
#include "scan/entry.h"

namespace {

using namespace zantor;
using namespace zantor::bench;

Settings AllPassesAtMaximum() {
  Settings s = DefaultSettings();
  s.MaxEntries = kMaxMaxEntries;
  for (ScanParams* p : {&s.BasicScanParams_Hrust1, &s.DeepScanParams_Hrust1, &s.ExhaustiveScanParams_Hrust1,
                        &s.BasicScanParams_Hrust2, &s.DeepScanParams_Hrust2, &s.ExhaustiveScanParams_Hrust2}) {
    p->Enabled = 1;
    p->MaxFileSize = kMaxScanBytes;
    p->ScanFirst = kMaxScanBytes;
  }
  return s;
}

// A /proc/self/status field in KiB.
long StatusKib(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, std::strlen(field), field) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
  return -1;
}

struct Outcome {
  double seconds;
  uint64_t work;
  uint32_t entries;
  bool stopped;
};

Outcome Scan(const Bytes& image, const Settings& settings) {
  Analysis analysis{};
  analysis.settings = settings;
  analysis.image = image.data();
  analysis.imageSize = static_cast<uint32_t>(image.size());
  WorkBudget budget = AnalysisBudget(settings, analysis.imageSize);
  const uint64_t granted = budget.left;
  auto start = std::chrono::steady_clock::now();
  Result r = ScanImageWithin(analysis, budget);
  Outcome o{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            granted - budget.left, analysis.entries.count, budget.exhausted != 0};
  if (r.failed()) std::printf("analysis failed (host code %d)\n", r.hostCode);
  ClearAnalysis(analysis);
  return o;
}

void RunCase(const HostileCase& c, size_t size, const char* label, const Settings& settings) {
  std::fflush(stdout);
  pid_t child = fork();
  if (child != 0) {
    int status = 0;
    waitpid(child, &status, 0);
    return;
  }
  const Bytes image = c.make(size);
  std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from here
  const long before = StatusKib("VmRSS:");
  Outcome o = Scan(image, settings);
  const long peak = StatusKib("VmHWM:");
  const double mib = image.size() / 1048576.0;
  std::printf("| %-32s | %5.2f | %-9s | %8.3f | %7.1f | %7u | %s |\n", c.name, mib, label, o.seconds / mib,
              (peak - before) / 1024.0, o.entries, o.stopped ? "stopped" : "");
  std::fflush(stdout);
  std::_Exit(0);
}

// Nanoseconds per packed byte walked by check at every offset of image.
double CheckerCost(const Bytes& image, void (*check)(DecoderState&), uint32_t expectedSize) {
  uint64_t walked = 0;
  auto start = std::chrono::steady_clock::now();
  for (size_t p = 0; p < image.size(); ++p) {
    DecoderState state{image.data() + p, uint32_t(image.size() - p), nullptr, expectedSize};
    check(state);
    walked += state.consumed;
  }
  const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
  return ns / double(walked ? walked : 1);
}

// The exhaustive search's expected sizes: the largest a format allows. The
// four checkers take turns, five times; the fastest turn of each counts, as
// other work on the machine only ever slows a turn down.
void RunCheckers(size_t size) {
  struct Checker {
    void (*check)(DecoderState&);
    uint32_t expectedSize;
  };
  const Checker checkers[4] = {{CheckHrust1, 65280}, {CheckHrust1Tight, 65280}, {CheckHrust2, 40960},
                               {CheckHrust2Tight, 40960}};
  std::printf("| input | Hrust 1 | tight | Hrust 2 | tight |\n|---|---|---|---|---|\n");
  for (const HostileCase& c : HostileCases()) {
    const Bytes image = c.make(size);
    double best[4] = {1e9, 1e9, 1e9, 1e9};
    for (int turn = 0; turn < 5; ++turn)
      for (int i = 0; i < 4; ++i) best[i] = std::min(best[i], CheckerCost(image, checkers[i].check, checkers[i].expectedSize));
    std::printf("| %-32s | %6.2f | %6.2f | %6.2f | %6.2f |\n", c.name, best[0], best[1], best[2], best[3]);
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--work") == 0) {
    const Settings all = AllPassesAtMaximum();
    for (int i = 2; i < argc; ++i) {
      Bytes image = ReadFile(argv[i]);
      if (image.empty()) continue;
      Outcome d = Scan(image, DefaultSettings());
      Outcome o = Scan(image, all);
      std::printf("%8.3f %8.3f work/byte %9zu bytes %s%s\n", double(o.work) / image.size(),
                  double(d.work) / image.size(), image.size(), argv[i], o.stopped || d.stopped ? " STOPPED" : "");
    }
    for (const char* name : {"random", "blocks"}) {
      Bytes image = std::strcmp(name, "random") == 0 ? RandomImage() : BlocksImage();
      Outcome d = Scan(image, DefaultSettings());
      Outcome o = Scan(image, all);
      std::printf("%8.3f %8.3f work/byte %9zu bytes (benchmark image %s)%s\n", double(o.work) / image.size(),
                  double(d.work) / image.size(), image.size(), name, o.stopped || d.stopped ? " STOPPED" : "");
    }
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--checkers") == 0) {
    RunCheckers(static_cast<size_t>((argc > 2 ? std::atof(argv[2]) : 0.0625) * 1048576));
    return 0;
  }
  const size_t size = static_cast<size_t>((argc > 1 ? std::atof(argv[1]) : 1.0) * 1048576);
  std::printf("| input | MiB | settings | s/MiB | peak MiB | entries | budget |\n|---|---|---|---|---|---|---|\n");
  for (const HostileCase& c : HostileCases()) {
    RunCase(c, size, "defaults", DefaultSettings());
    RunCase(c, size, "all, max", AllPassesAtMaximum());
  }
  return 0;
}
