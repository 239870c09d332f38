// Writes the seeds of the Hrust 1 fuzz programs below ZANTOR_FUZZ_SEEDS (see
// support/fuzz_seeds.h); skipped when it is unset. The decoder and the
// differential checker take the expected size (two bytes, little-endian) and
// then packed data; the checker alone takes packed data only.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/fuzz_seeds.h"
#include "support/hrust1_writer.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

void WriteSeed(const std::string& name, uint32_t expectedSize, const Bytes& packed) {
  Bytes sized{uint8_t(expectedSize), uint8_t(expectedSize >> 8)};
  sized.insert(sized.end(), packed.begin(), packed.end());
  SaveFuzzSeed("hrust1_decode", name, sized);
  SaveFuzzSeed("hrust1_check_diff", name, sized);
  SaveFuzzSeed("hrust1_check", name, packed);
}

TEST(Hrust1FuzzSeeds, WrittenWhenAsked) {
  const char* dir = std::getenv("ZANTOR_FUZZ_SEEDS");
  if (dir == nullptr || *dir == 0) GTEST_SKIP() << "set ZANTOR_FUZZ_SEEDS to write the fuzz seeds";

  const Bytes tail{'t', 'a', 'i', 'l', '6', '!'};
  Hrust1Writer endOnly(tail, 'F');
  endOnly.End();
  WriteSeed("end_only", 7, endOnly.packed());

  // Every kind of code once: literals, near copies, a gap copy, a run, a
  // width step, long and far copies.
  Hrust1Writer codes(tail, 'F');
  for (int i = 0; i < 40; ++i) codes.Literal(uint8_t(i));
  codes.Copy1(3);
  codes.Copy2Near(20);
  codes.Copy2(40);
  codes.GapCopyNear(9, 0x55);
  codes.LiteralRun(Bytes(30, 7));
  codes.WidthStep();
  codes.Copy(200, 40);
  codes.Copy(5, 70);
  codes.End();
  WriteSeed("codes", 40 + 1 + 2 + 2 + 3 + 30 + 200 + 5 + 7, codes.packed());

  if (!CorpusPresent()) return;
  for (const std::string& name : CorpusNamesBySize()) {
    Bytes file = ReadCorpusFile("hrust1/" + name + ".hr1");
    if (file.size() > 6) WriteSeed("corpus_" + name, file[2] | file[3] << 8, Bytes(file.begin() + 6, file.end()));
  }
}

}  // namespace
}  // namespace zantor::test
