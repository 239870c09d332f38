// Decoder and checker speed over the whole reference corpus, as bytes of
// unpacked output per second, each block once (Cold) and repeatedly (Hot),
// beside a plain memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/hrust1.h"
#include "codec/hrust2.h"

namespace zantor {
namespace {

using Bytes = std::vector<uint8_t>;

struct Block {
  Bytes packed;
  uint32_t unpackedSize;
};

struct Corpus {
  std::vector<Block> hrust1;
  std::vector<Block> hrust2;
  std::vector<Bytes> plain;
  size_t plainBytes = 0;
  uint32_t largest = 0;
};

Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }

// hrust1/NAME.hr1: "HR", u16 unpacked, u16 size with the 6-byte header.
// hrust2/NAME.hr21: "hr21", u16 unpacked, u16 packed, then the stream.
const Corpus& LoadCorpus() {
  static const Corpus corpus = [] {
    Corpus c;
    std::error_code error;
    const std::filesystem::path root(ZANTOR_CORPUS);
    for (const auto& item : std::filesystem::directory_iterator(root / "plain", error)) {
      const std::string name = item.path().filename().string();
      Bytes plain = ReadAll(item.path());
      Bytes hr1 = ReadAll(root / "hrust1" / (name + ".hr1"));
      Bytes hr21 = ReadAll(root / "hrust2" / (name + ".hr21"));
      if (hr1.size() >= 6 && Le16(hr1, 4) <= hr1.size())
        c.hrust1.push_back({Bytes(hr1.begin() + 6, hr1.begin() + Le16(hr1, 4)), Le16(hr1, 2)});
      if (hr21.size() >= 8) c.hrust2.push_back({Bytes(hr21.begin() + 8, hr21.end()), Le16(hr21, 4)});
      c.plainBytes += plain.size();
      if (plain.size() > c.largest) c.largest = uint32_t(plain.size());
      c.plain.push_back(std::move(plain));
    }
    return c;
  }();
  return corpus;
}

// Runs one routine over every block of a format; the routine must succeed.
// Cold: each block once per pass over the corpus, as real entries are decoded
// (the tables and branch history are those another block left). Hot: each
// block kHotRepeats times in a row, its own history warm.
constexpr int kHotRepeats = 16;

void RunOver(benchmark::State& bench, const std::vector<Block>& blocks, void (*routine)(DecoderState&),
             bool withOutput, int repeats) {
  if (blocks.empty()) return bench.SkipWithError("corpus folder " ZANTOR_CORPUS " is absent");
  Bytes output(LoadCorpus().largest);
  size_t bytes = 0;
  for (const Block& b : blocks) bytes += b.unpackedSize;
  for (auto _ : bench) {
    for (const Block& b : blocks) {
      for (int r = 0; r < repeats; ++r) {
        DecoderState state{};
        state.packed = b.packed.data();
        state.packedSize = uint32_t(b.packed.size());
        state.output = withOutput ? output.data() : nullptr;
        state.expectedSize = b.unpackedSize;
        routine(state);
        if (FinishStatus(state) != kDecodeOk) return bench.SkipWithError("a corpus block failed");
        benchmark::DoNotOptimize(state.produced);
      }
    }
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(bytes) * repeats);
}

#define ZANTOR_CODEC_BENCH(name, format, routine, withOutput)                                              \
  void name##Cold(benchmark::State& s) { RunOver(s, LoadCorpus().format, routine, withOutput, 1); }           \
  void name##Hot(benchmark::State& s) { RunOver(s, LoadCorpus().format, routine, withOutput, kHotRepeats); } \
  BENCHMARK(name##Cold);                                                                                     \
  BENCHMARK(name##Hot)

ZANTOR_CODEC_BENCH(Hrust2Decode, hrust2, DecodeHrust2, true);
ZANTOR_CODEC_BENCH(Hrust2Check, hrust2, CheckHrust2, false);
ZANTOR_CODEC_BENCH(Hrust2CheckTight, hrust2, CheckHrust2Tight, false);
ZANTOR_CODEC_BENCH(Hrust1Decode, hrust1, DecodeHrust1, true);
ZANTOR_CODEC_BENCH(Hrust1Check, hrust1, CheckHrust1, false);
ZANTOR_CODEC_BENCH(Hrust1CheckTight, hrust1, CheckHrust1Tight, false);

void MemcpyReference(benchmark::State& bench) {
  const Corpus& c = LoadCorpus();
  if (c.plain.empty()) return bench.SkipWithError("corpus folder " ZANTOR_CORPUS " is absent");
  Bytes output(c.largest);
  for (auto _ : bench) {
    for (const Bytes& p : c.plain) {
      std::memcpy(output.data(), p.data(), p.size());
      benchmark::ClobberMemory();
    }
  }
  bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(c.plainBytes));
}

BENCHMARK(MemcpyReference);

}  // namespace
}  // namespace zantor

BENCHMARK_MAIN();
