// Analysis throughput on 4 MiB images: random bytes, and random bytes with
// 200 corpus blocks of every kind spread in them; default settings and all
// seven passes. Every run misses the cache (a new last-write time).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_images.h"
#include "config/settings.h"
#include "scan/analyse.h"
#include "scan/analysis.h"
#include "scan/entry.h"

namespace {

using namespace zantor;
using namespace zantor::bench;

Settings AllPasses() {
  Settings s = DefaultSettings();
  s.ExhaustiveScanParams_Hrust1.Enabled = 1;
  s.ExhaustiveScanParams_Hrust2.Enabled = 1;
  return s;
}

void RunAnalysis(benchmark::State& state, const Bytes& image, const Settings& settings) {
  static uint64_t time = 0;
  uint32_t entries = 0;
  for (auto _ : state) {
    Analysis analysis{};
    analysis.settings = settings;
    analysis.image = image.data();
    analysis.imageSize = static_cast<uint32_t>(image.size());
    if (Analyse(analysis, "bench.bin", ++time).failed()) state.SkipWithError("analysis failed");
    entries = analysis.entries.count;
    ClearAnalysis(analysis);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  state.counters["entries"] = entries;
}

const Bytes& Random() {
  static const Bytes image = RandomImage();
  return image;
}

const Bytes& WithBlocks() {
  static const Bytes image = BlocksImage();
  return image;
}

void BM_RandomDefault(benchmark::State& s) { RunAnalysis(s, Random(), DefaultSettings()); }
void BM_RandomAllPasses(benchmark::State& s) { RunAnalysis(s, Random(), AllPasses()); }
void BM_BlocksDefault(benchmark::State& s) { RunAnalysis(s, WithBlocks(), DefaultSettings()); }
void BM_BlocksAllPasses(benchmark::State& s) { RunAnalysis(s, WithBlocks(), AllPasses()); }

BENCHMARK(BM_RandomDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomAllPasses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocksDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlocksAllPasses)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
