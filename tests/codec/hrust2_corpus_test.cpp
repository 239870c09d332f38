// Every stream of the reference corpus, packed by an independent packer,
// unpacks byte-exactly and passes both checkers.
#include <gtest/gtest.h>

#include "codec/hrust2.h"
#include "support/hrust2_runs.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

struct Hr21File {
  std::string name;
  Bytes packed;
  uint32_t unpackedSize;
  Bytes plain;
};

// The corpus pairs hrust2/NAME.hr21 ("hr21", u16 unpacked, u16 packed,
// stream) with plain/NAME.
std::vector<Hr21File> LoadCorpus() {
  std::vector<Hr21File> files;
  for (const std::string& name : CorpusNamesBySize()) {
    Bytes file = ReadCorpusFile("hrust2/" + name + ".hr21");
    EXPECT_GE(file.size(), 8u) << name;
    if (file.size() < 8) continue;
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "hr21") << name;
    uint32_t unpacked = file[4] | file[5] << 8;
    uint32_t packed = file[6] | file[7] << 8;
    EXPECT_EQ(packed, file.size() - 8) << name;
    files.push_back({name, Bytes(file.begin() + 8, file.end()), unpacked, ReadCorpusFile("plain/" + name)});
  }
  return files;
}

TEST(Hrust2Corpus, EveryStreamUnpacksExactlyAndPassesBothCheckers) {
  ZANTOR_REQUIRE_CORPUS();
  auto files = LoadCorpus();
  ASSERT_FALSE(files.empty());
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    ASSERT_EQ(f.unpackedSize, f.plain.size());
    Hrust2Outcome decoded = DecodeHrust2Exact(f.packed, f.unpackedSize);
    EXPECT_EQ(decoded.status, kDecodeOk);
    EXPECT_EQ(decoded.output, f.plain);

    Hrust2Outcome whole{0, uint32_t(f.packed.size()), f.unpackedSize, kDecodeOk, {}};
    EXPECT_EQ(CheckHrust2With(CheckHrust2, f.packed, f.unpackedSize), whole);
    EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, f.packed, f.unpackedSize), whole);
    // The exhaustive search measures a headerless stream against its limit.
    Hrust2Outcome measured = CheckHrust2With(CheckHrust2Tight, f.packed, 40960);
    if (f.unpackedSize <= 40960) {
      EXPECT_EQ(measured.error, 0u);
      EXPECT_EQ(measured.consumed, f.packed.size());
      EXPECT_EQ(measured.produced, f.unpackedSize);
    } else {
      EXPECT_EQ(measured.error, kOutputOverflow);
    }
  }
}

TEST(Hrust2Corpus, WrongSizesAndTruncationAreDetected) {
  ZANTOR_REQUIRE_CORPUS();
  for (const auto& f : LoadCorpus()) {
    SCOPED_TRACE(f.name);
    // One byte short: the last tail byte does not fit.
    Hrust2Outcome small = DecodeHrust2Exact(f.packed, f.unpackedSize - 1);
    EXPECT_EQ(small.status, kOutputOverflow);
    EXPECT_EQ(small.produced, f.unpackedSize - 1);
    EXPECT_EQ(CheckHrust2With(CheckHrust2, f.packed, f.unpackedSize - 1).status, kOutputOverflow);
    EXPECT_EQ(DecodeHrust2Exact(f.packed, f.unpackedSize + 1).status, kSizeMismatch);
    EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, f.packed, f.unpackedSize + 1).status, kSizeMismatch);

    // The last byte is the end code's own byte.
    Bytes cut(f.packed.begin(), f.packed.end() - 1);
    EXPECT_EQ(DecodeHrust2Exact(cut, f.unpackedSize).status, kPackedExhausted);
    EXPECT_EQ(CheckHrust2With(CheckHrust2, cut, f.unpackedSize).status, kPackedExhausted);

    Bytes longer = f.packed;
    longer.push_back(0);
    EXPECT_EQ(DecodeHrust2Exact(longer, f.unpackedSize).status, kPackedLeftOver);
    EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, longer, f.unpackedSize).status, kPackedLeftOver);
  }
}

}  // namespace
}  // namespace zantor::test
