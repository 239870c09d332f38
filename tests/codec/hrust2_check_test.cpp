// The stream checkers: where they are stricter than decoding, and both
// checkers against the careful walk on many valid, damaged and random inputs.
#include <random>

#include <gtest/gtest.h>

#include "codec/hrust2.h"
#include "codec/hrust2_walk.h"
#include "support/hrust2_runs.h"
#include "support/hrust2_writer.h"

namespace zantor::test {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Hrust2Check, OutputBeyondTheExpectedSizeIsCaughtBeforeTheNextCode) {
  Hrust2Writer w;
  for (int i = 0; i < 3; ++i) w.Literal(uint8_t(i));
  w.Copy(100, 1);
  uint32_t afterCopy = uint32_t(w.packed().size());
  w.Literal(9);
  w.End();
  // The check counts the whole copy and stops before the literal.
  Hrust2Outcome checked = CheckHrust2With(CheckHrust2, w.packed(), 50);
  EXPECT_EQ(checked, (Hrust2Outcome{kOutputOverflow, afterCopy, 104, kOutputOverflow, {}}));
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, w.packed(), 50), checked);
  // Decoding writes what fits and stops inside the copy.
  EXPECT_EQ(DecodeHrust2Exact(w.packed(), 50), (Hrust2Outcome{kOutputOverflow, afterCopy, 50, 2, {}}));

  // A stream whose last code fills the expected size exactly passes; the tail
  // then overflows it.
  uint32_t size = uint32_t(w.produced());
  EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), size - 6).error, kOutputOverflow);
  EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), size).error, 0u);
}

TEST(Hrust2Check, LiteralRunNeedsAByteAfterIt) {
  Hrust2Writer w;
  w.LiteralRun(Bytes(12, 4));
  w.End();
  uint32_t size = uint32_t(w.produced());
  EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), size).status, kDecodeOk);
  // Without the end code's byte, the run reaches the end of the data. The
  // position advances over the run all the same.
  Bytes cut(w.packed().begin(), w.packed().end() - 1);
  Hrust2Outcome checked = CheckHrust2With(CheckHrust2, cut, size);
  EXPECT_EQ(checked, (Hrust2Outcome{kPackedExhausted, uint32_t(cut.size()), 13, 1, {}}));
  // A run that runs past the end of the data.
  Bytes shorter(w.packed().begin(), w.packed().end() - 4);
  EXPECT_EQ(CheckHrust2With(CheckHrust2, shorter, size),
            (Hrust2Outcome{kPackedExhausted, uint32_t(cut.size()), 13, 1, {}}));
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, shorter, size), CheckHrust2With(CheckHrust2, shorter, size));
}

TEST(Hrust2Check, TightCheckerMatchesThePlainOneEverywhere) {
  std::mt19937 random(2024);
  size_t passed = 0;
  for (const Bytes& input : DamagedHrust2Inputs(2024)) {
    for (uint32_t expected : {40960u, uint32_t(input.size() * 3), uint32_t(random() % 64)}) {
      Hrust2Outcome plain = CheckHrust2With(CheckHrust2Careful, input, expected);
      Hrust2Outcome tight = CheckHrust2With(CheckHrust2Tight, input, expected);
      ASSERT_EQ(tight, plain) << "input of " << input.size() << " bytes, expected size " << expected;
      ASSERT_EQ(CheckHrust2With(CheckHrust2, input, expected), plain);
      if (plain.error != 0) continue;
      // A stream the checker accepts decodes to the same sizes.
      Hrust2Outcome decoded = DecodeHrust2Exact(input, plain.produced);
      ASSERT_EQ(decoded.error, 0u);
      ASSERT_EQ(decoded.consumed, plain.consumed);
      ASSERT_EQ(decoded.produced, plain.produced);
      ++passed;
    }
  }
  EXPECT_GT(passed, 400u);  // the valid streams among them
}

}  // namespace
}  // namespace zantor::test
