// Open time and memory on crafted images (hostile_images.h). Each case runs
// in a child process of its own, so its peak memory is its own: the peak
// resident size during the analysis minus the resident size before it, the
// image already in memory (it stands for the file mapping). Settings: the
// defaults, and all seven passes with every size limit at its maximum.
//
//   hostile_bench [MiB]            the table (default 1 MiB images)
//   hostile_bench --work FILE...   work per byte of genuine files: all passes, defaults
//   hostile_bench --ceiling [MiB]  the slowest crafted images, far larger than
//                                  the ceiling of work allows (default 256 MiB)
//   hostile_bench --memory [MiB]   peak memory of a file of 1,000,000 entries
//                                  opened through the cache, then of six such
//                                  files opened and closed in turn (default 11 MiB)
//   hostile_bench --checkers [MiB] each stream checker at every offset of each
//                                  image (default 1/16 MiB), as the exhaustive
//                                  search runs it: ns per packed byte walked
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
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
#include "scan/analysis_cache.h"
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

const HostileCase& Case(const char* name) {
  for (const HostileCase& c : HostileCases())
    if (std::strcmp(c.name, name) == 0) return c;
  std::abort();
}

// A case far beyond the ceiling: the whole time and work of one analysis.
void RunCeiling(const char* name, size_t size) {
  const Bytes image = Case(name).make(size);
  const std::clock_t start = std::clock();
  Outcome o = Scan(image, AllPassesAtMaximum());
  const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
  std::printf("| %-32s | %6.1f | all, max | %6.1f | %6.1f | %10llu | %7u | %s |\n", name,
              image.size() / 1048576.0, cpu, o.seconds, static_cast<unsigned long long>(o.work), o.entries,
              o.stopped ? "stopped" : "");
  std::fflush(stdout);
}

// Opens (analyses through the cache) and closes files of many entries, as a
// file manager browsing a folder does.
void RunMemory(size_t size) {
  const Bytes image = Case("\"Hrst2\" header every 11 bytes").make(size);
  const Settings settings = AllPassesAtMaximum();
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKib("VmRSS:");
  std::printf("| step | entries | peak MiB | bytes per entry | now MiB | cache MiB |\n|---|---|---|---|---|---|\n");
  for (int file = 0; file <= 6; ++file) {
    Analysis analysis{};
    analysis.settings = settings;
    analysis.image = image.data();
    analysis.imageSize = static_cast<uint32_t>(image.size());
    const std::string path = "file" + std::to_string(file) + ".bin";
    if (Analyse(analysis, path.c_str(), 1).failed()) std::printf("analysis failed\n");
    const uint32_t entries = analysis.entries.count;
    const long peak = StatusKib("VmHWM:") - before;
    const long open = StatusKib("VmRSS:") - before;
    ClearAnalysis(analysis);
    const long closed = StatusKib("VmRSS:") - before;
    std::printf("| %s %d | %u | %.1f | %.0f | %.1f open, %.1f closed | %.1f |\n", file == 0 ? "one file" : "file",
                file, entries, peak / 1024.0, open * 1024.0 / entries, open / 1024.0, closed / 1024.0,
                CachedAnalysisBytes() / 1048576.0);
    std::fflush(stdout);
  }
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
  if (argc > 1 && std::strcmp(argv[1], "--ceiling") == 0) {
    const size_t size = static_cast<size_t>((argc > 2 ? std::atof(argv[2]) : 256.0) * 1048576);
    std::printf("| input | MiB | settings | CPU s | clock s | work | entries | budget |\n"
                "|---|---|---|---|---|---|---|---|\n");
    for (const char* name : {"0x8F repeated", "\"abc\" repeated", "hrip member of deep blocks"}) RunCeiling(name, size);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--memory") == 0) {
    RunMemory(static_cast<size_t>((argc > 2 ? std::atof(argv[2]) : 11.0) * 1048576));
    return 0;
  }
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
