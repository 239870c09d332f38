// Writes the seeds of the Hrust 2 fuzz programs below ZANTOR_FUZZ_SEEDS
// (see support/fuzz_seeds.h); skipped when it is unset. Every Hrust 2 target
// takes the same input: the expected size (two bytes, little-endian), then
// packed data. The seeds are hand-made streams that reach every code and
// fault, and the corpus streams.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/fuzz_seeds.h"
#include "support/hrust2_writer.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

void WriteSeed(const std::string& name, uint32_t expectedSize, const Bytes& packed) {
  Bytes seed{uint8_t(expectedSize), uint8_t(expectedSize >> 8)};
  seed.insert(seed.end(), packed.begin(), packed.end());
  for (const char* target : {"hrust2_decode", "hrust2_check", "hrust2_check_tight", "hrust2_check_diff"})
    SaveFuzzSeed(target, name, seed);
}

void WriteStream(const std::string& name, const Hrust2Writer& w) {
  WriteSeed(name, uint32_t(w.produced()), w.packed());
}

TEST(Hrust2FuzzSeeds, WrittenWhenAsked) {
  const char* dir = std::getenv("ZANTOR_FUZZ_SEEDS");
  if (dir == nullptr || *dir == 0) GTEST_SKIP() << "set ZANTOR_FUZZ_SEEDS to write the fuzz seeds";

  for (uint32_t seed = 1; seed <= 24; ++seed)
    WriteStream("random_" + std::to_string(seed), RandomHrust2Stream(seed, seed * seed));

  Hrust2Writer endOnly;
  endOnly.End();
  WriteStream("end_only", endOnly);

  Hrust2Writer escapes;
  escapes.Literal(1);
  escapes.Copy(4095, 1);
  escapes.CopyEscaped(3, 226, 7);
  escapes.CopyEscaped(3, 227, 7);
  escapes.End();
  WriteStream("escapes", escapes);

  Hrust2Writer row;
  for (int i = 0; i < 12; ++i) row.Literal(uint8_t(i));
  row.LiteralRun(Bytes(42, 9));
  row.End();
  WriteStream("literal_row", row);
  Bytes cut(row.packed().begin(), row.packed().end() - 1);
  WriteSeed("run_at_end", uint32_t(row.produced()), cut);

  if (!CorpusPresent()) return;
  for (const std::string& name : CorpusNamesBySize()) {
    Bytes file = ReadCorpusFile("hrust2/" + name + ".hr21");
    if (file.size() > 8) WriteSeed("corpus_" + name, file[4] | file[5] << 8, Bytes(file.begin() + 8, file.end()));
  }
}

}  // namespace
}  // namespace zantor::test
