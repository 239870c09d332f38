// Writes the seeds of the whole-image fuzz programs (the analysis, the Hrip
// reader, the host sequence) below ZANTOR_FUZZ_SEEDS; skipped when it is
// unset. Each takes a file image: small archives and blocks of every kind
// made from short corpus streams, so the fuzzers start from inputs the
// passes accept.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/fuzz_seeds.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

void WriteImage(const std::string& name, const Bytes& image) {
  for (const char* target : {"analyse", "hrip", "host_sequence"}) SaveFuzzSeed(target, name, image);
}

TEST(ImageFuzzSeeds, WrittenWhenAsked) {
  const char* dir = std::getenv("ZANTOR_FUZZ_SEEDS");
  if (dir == nullptr || *dir == 0) GTEST_SKIP() << "set ZANTOR_FUZZ_SEEDS to write the fuzz seeds";
  ZANTOR_REQUIRE_CORPUS();

  const Payload a = Hrust2Sample("ziutek_shock7__1992_.stc");
  const Payload b = Hrust2Sample("imp_vibrations_outro__1996_.stc");
  Hrst2Options named;
  named.descriptor = Descriptor("shock7", 'C', 0x8000, uint16_t(a.unpacked.size()), 10);

  HripArchive archive;
  archive.body = {Hrst2Block(a, named), DirectoryRecord("DIR"), Hrst2Block(b)};
  archive.records = {CatalogueRecord("shock7", 'C', 0x8000), CatalogueRecord("DIR", 'D', 0),
                     CatalogueRecord("vibes", 'C', 0xC000)};
  const Bytes hrip = BuildHripArchive(archive);
  WriteImage("archive", hrip);

  HripArchive bare;
  bare.body = {Hrst2Block(b)};
  bare.catalogue = false;
  WriteImage("archive_no_catalogue", BuildHripArchive(bare));

  Bytes blocks = Filler(300, 3);
  blocks = Concat(blocks, Hrust1Block("ziutek_shock7__1992_.stc"));
  blocks = Concat(blocks, Filler(100, 4));
  blocks = Concat(blocks, Hr21Block(a));
  blocks = Concat(blocks, Hrst2Block(b, named));
  blocks = Concat(blocks, Filler(64, 5));
  blocks = Concat(blocks, hrip);
  WriteImage("blocks", blocks);

  // The same blocks without their headers, for the exhaustive passes.
  WriteImage("raw_streams", Concat(Concat(Filler(50, 6), a.packed), Concat(Filler(20, 7), b.packed)));
  WriteImage("hobeta", Concat(HobetaHeaderBytes("shock7", 'C', 0x8000, uint16_t(blocks.size()), 1), blocks));
}

}  // namespace
}  // namespace zantor::test
