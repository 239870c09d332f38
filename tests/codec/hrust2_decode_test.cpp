// Hand-made Hrust 2 streams: the corners of the code table and of the
// checked byte access, run through the decoder and both checkers.
#include <gtest/gtest.h>

#include "codec/hrust2.h"
#include "codec/hrust2_bits.h"
#include "support/fatal.h"
#include "support/hrust2_reference.h"
#include "support/hrust2_runs.h"
#include "support/hrust2_writer.h"

namespace zantor::test {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Size(const Hrust2Writer& w) { return uint32_t(w.produced()); }
uint32_t PackedSize(const Hrust2Writer& w) { return uint32_t(w.packed().size()); }

// Decodes a finished stream against its own size and expects the writer's
// output; both checkers must agree on status 0.
void ExpectRoundTrip(const Hrust2Writer& w) {
  Hrust2Outcome decoded = DecodeHrust2Exact(w.packed(), Size(w));
  EXPECT_EQ(decoded.status, kDecodeOk) << decoded;
  EXPECT_EQ(decoded.output, w.Unpacked());
  EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), Size(w)).status, kDecodeOk);
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, w.packed(), Size(w)).status, kDecodeOk);
}

TEST(Hrust2Decode, SevenBytesOrFewerAreTruncated) {
  Hrust2Writer w;
  w.End();
  for (uint32_t n = 0; n <= 7; ++n) {
    Bytes cut(w.packed().begin(), w.packed().begin() + n);
    Hrust2Outcome decoded = DecodeHrust2Exact(cut, 7);
    EXPECT_EQ(decoded.error, kPackedExhausted) << n;
    EXPECT_EQ(decoded.consumed, n);
    EXPECT_EQ(decoded.produced, n == 7 ? 1u : 0u);  // the first byte is written before the bits
    Hrust2Outcome checked = CheckHrust2With(CheckHrust2, cut, 7);
    EXPECT_EQ(checked, (Hrust2Outcome{kPackedExhausted, 7, 1, kPackedExhausted, {}})) << n;
    EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, cut, 7), checked) << n;
  }
}

TEST(Hrust2Decode, EndCodeFirstGivesFirstByteAndTail) {
  Hrust2Writer w({1, 2, 3, 4, 5, 6}, 9);
  w.End();
  ASSERT_EQ(w.packed(), (Bytes{1, 2, 3, 4, 5, 6, 9, 0x64, 0}));  // 0 11 00 1 then x = 0
  Hrust2Outcome decoded = DecodeHrust2Exact(w.packed(), 7);
  EXPECT_EQ(decoded, (Hrust2Outcome{0, 9, 7, kDecodeOk, {}}));
  EXPECT_EQ(decoded.output, (Bytes{9, 1, 2, 3, 4, 5, 6}));
  ExpectRoundTrip(w);
}

TEST(Hrust2Decode, ExpectedSizeZeroOverflowsAtTheFirstByte) {
  Hrust2Writer w;
  w.End();
  EXPECT_EQ(DecodeHrust2Exact(w.packed(), 0), (Hrust2Outcome{kOutputOverflow, 7, 0, kOutputOverflow, {}}));
  EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), 0).error, kOutputOverflow);
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, w.packed(), 0).error, kOutputOverflow);
}

TEST(Hrust2Decode, OverlappingAndBoundaryCopies) {
  Hrust2Writer w;
  w.Literal('a');
  w.Copy(20, 1);  // repeats the previous byte
  w.CopyPair(1);  // byte 255
  for (int i = 0; i < 300; i += 2) w.CopyPair(2);
  w.CopyPair(256);  // byte 0
  for (uint32_t d = 1; d <= 8; ++d) w.CopyShort(d);
  w.Copy(4095, 3);
  w.Copy(256, 4000);
  w.End();
  Bytes out = w.Unpacked();
  EXPECT_EQ(Bytes(out.begin() + 1, out.begin() + 23), Bytes(22, 'a'));
  ExpectRoundTrip(w);
}

TEST(Hrust2Decode, EveryLengthAndFarOffsetForm) {
  Hrust2Writer w;
  for (int i = 0; i < 40; ++i) w.LiteralRun(Bytes(12 + 2 * (i % 16), uint8_t(i * 7)));
  for (int i = 0; i < 16; ++i) w.Copy(4095, 1000);  // enough output for every distance
  // distances: byte form, each width (2-3, 4-7, 8-15, 16-30 high parts),
  // the high part -31 with its escape, and escapes down to 65536
  const uint32_t distances[] = {1, 256, 257, 768, 769, 1792, 1793, 3840, 3841, 7680, 7681, 7936, 7937, 65536};
  uint32_t length = 3;
  for (uint32_t d : distances) {
    for (uint32_t l : {length, length + 1, 16u, 255u, 256u, 4095u}) w.Copy(l, d);
    length = length % 13 + 3;
  }
  for (uint32_t l = 3; l <= 15; ++l) w.Copy(l, 300);
  w.End();
  ExpectRoundTrip(w);
}

TEST(Hrust2Decode, EscapeByteAbove226IsInvalid) {
  Hrust2Writer legal;
  legal.LiteralRun(Bytes(42, 1));
  for (int i = 0; i < 200; ++i) legal.LiteralRun(Bytes(42, uint8_t(i)));
  legal.CopyEscaped(5, 226, 0);  // high part -30, written the long way
  legal.End();
  ExpectRoundTrip(legal);

  Hrust2Writer bad;
  bad.Literal(1);
  bad.CopyEscaped(3, 227, 0);
  bad.Literal(2);
  bad.End();
  // head 7, bit byte, literal, bit byte, then the escape byte: the low byte
  // is not read
  Hrust2Outcome expected{kInvalidCode, 11, 2, kInvalidCode, {}};
  EXPECT_EQ(DecodeHrust2Exact(bad.packed(), Size(bad)), expected);
  EXPECT_EQ(CheckHrust2With(CheckHrust2, bad.packed(), Size(bad)), expected);
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, bad.packed(), Size(bad)), expected);
}

TEST(Hrust2Decode, BackReferenceBeforeTheStart) {
  Hrust2Writer shortCopy;
  shortCopy.CopyShort(2);  // only the first byte exists
  shortCopy.End();
  EXPECT_EQ(DecodeHrust2Exact(shortCopy.packed(), 10), (Hrust2Outcome{kBeforeOutputStart, 8, 1, 4, {}}));

  Hrust2Writer far;
  far.Literal(1);
  far.Copy(10, 2);  // reaches produced exactly
  far.Copy(3, 13);  // one byte too far
  far.End();
  Hrust2Outcome decoded = DecodeHrust2Exact(far.packed(), 100);
  EXPECT_EQ(decoded.error, kBeforeOutputStart);
  EXPECT_EQ(decoded.produced, 12u);
  EXPECT_EQ(CheckHrust2With(CheckHrust2, far.packed(), 100), decoded);
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, far.packed(), 100), decoded);
}

TEST(Hrust2Decode, SizesThatDoNotMatchTheStream) {
  Hrust2Writer w;
  w.LiteralRun(Bytes(20, 5));
  w.Copy(30, 7);
  w.End();
  uint32_t size = Size(w);
  // One short: everything but the last tail byte is written.
  EXPECT_EQ(DecodeHrust2Exact(w.packed(), size - 1),
            (Hrust2Outcome{kOutputOverflow, PackedSize(w), size - 1, kOutputOverflow, {}}));
  EXPECT_EQ(DecodeHrust2Exact(w.packed(), size + 1).status, kSizeMismatch);
  Bytes longer = w.packed();
  longer.push_back(0);
  EXPECT_EQ(DecodeHrust2Exact(longer, size).status, kPackedLeftOver);
  // Both faults at once: the size mismatch wins.
  EXPECT_EQ(DecodeHrust2Exact(longer, size + 1).status, kSizeMismatch);
}

TEST(Hrust2Decode, OutputEndsInsideACopyOrLiteralRun) {
  Hrust2Writer copy;
  copy.Literal(1);
  copy.Copy(10, 1);
  copy.End();
  Hrust2Outcome cut = DecodeHrust2Exact(copy.packed(), 5);
  EXPECT_EQ(cut.error, kOutputOverflow);
  EXPECT_EQ(cut.output, (Bytes{'F', 1, 1, 1, 1}));  // what fits is written

  Hrust2Writer run;
  run.LiteralRun(Bytes(12, 3));
  run.End();
  // Room for 5 of the 12 bytes: the sixth is read, then cannot be written.
  uint32_t runStart = 7 + 2;  // first byte, then two bit bytes
  EXPECT_EQ(DecodeHrust2Exact(run.packed(), 6), (Hrust2Outcome{kOutputOverflow, runStart + 6, 6, 2, {}}));
  // Data for 4 of the 12 bytes.
  Bytes truncated(run.packed().begin(), run.packed().begin() + runStart + 4);
  EXPECT_EQ(DecodeHrust2Exact(truncated, 100), (Hrust2Outcome{kPackedExhausted, runStart + 4, 5, 1, {}}));
}

TEST(Hrust2Decode, LiteralRunEndingThePackedDataIsTruncated) {
  Hrust2Writer w;
  w.LiteralRun(Bytes(14, 8));
  w.End();  // its bits share the run's second bit byte
  Bytes cut(w.packed().begin(), w.packed().end() - 1);
  EXPECT_EQ(DecodeHrust2Exact(cut, Size(w)), (Hrust2Outcome{kPackedExhausted, PackedSize(w) - 1, 15, 1, {}}));
  // the checker fails already at the run, which must leave a byte behind
  Hrust2Outcome checked = CheckHrust2With(CheckHrust2, cut, Size(w));
  EXPECT_EQ(checked, (Hrust2Outcome{kPackedExhausted, PackedSize(w) - 1, 15, 1, {}}));
  EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, cut, Size(w)), checked);
}

TEST(Hrust2Decode, LiteralRowsLongerThanElevenFailOnlyTheCheck) {
  for (int row : {11, 12}) {
    Hrust2Writer w;
    for (int i = 0; i < row; ++i) w.Literal(uint8_t(i));
    w.CopyShort(1);
    for (int i = 0; i < 11; ++i) w.Literal(uint8_t(i));
    w.End();
    EXPECT_EQ(DecodeHrust2Exact(w.packed(), Size(w)).output, w.Unpacked());
    uint32_t expected = row == 11 ? kDecodeOk : kInvalidCode;
    EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), Size(w)).status, expected) << row;
    EXPECT_EQ(CheckHrust2With(CheckHrust2Tight, w.packed(), Size(w)).status, expected) << row;
  }
}

TEST(Hrust2Decode, BitBytesInterleaveWithDataBytesInRequestOrder) {
  // Eight literal flags use up one bit byte; the literal after the eighth
  // flag comes before the next bit byte (0 00 000, then the end code's 0 1).
  Hrust2Writer w({0, 0, 0, 0, 0, 0}, 0);
  for (int i = 1; i <= 8; ++i) w.Literal(uint8_t(i));
  w.CopyShort(8);
  w.End();
  EXPECT_EQ(Bytes(w.packed().begin() + 7, w.packed().begin() + 17), (Bytes{0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 0x01}));
  ExpectRoundTrip(w);
}

TEST(Hrust2Decode, RandomStreamsMatchTheWriter) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    Hrust2Writer w = RandomHrust2Stream(seed, 5 + seed * 3);
    SCOPED_TRACE(seed);
    ExpectRoundTrip(w);
    EXPECT_EQ(CheckHrust2With(CheckHrust2, w.packed(), Size(w)),
              (Hrust2Outcome{0, PackedSize(w), Size(w), kDecodeOk, {}}));
  }
}

TEST(Hrust2Decode, MatchesTheReferenceOnValidDamagedAndRandomData) {
  uint32_t round = 0;
  for (const Bytes& input : DamagedHrust2Inputs(77)) {
    uint32_t full = ReferenceDecodeHrust2(input, 1u << 20).produced;
    // the stream's own size, sizes near it, and small ones
    for (uint32_t expected : {full, full > 0 ? full - 1 : 0, full + 1, full / 2, ++round % 40}) {
      Hrust2Outcome want = ReferenceDecodeHrust2(input, expected);
      Hrust2Outcome got = DecodeHrust2Exact(input, expected);
      ASSERT_EQ(got, want) << "input of " << input.size() << " bytes, expected size " << expected;
      ASSERT_EQ(got.output, want.output);
    }
  }
}

TEST(Hrust2Decode, UnpackRunsAFreshDecode) {
  Hrust2Writer w;
  w.Literal(7);
  w.Copy(12, 2);
  w.End();
  std::vector<uint8_t> out(Size(w));
  EXPECT_EQ(UnpackHrust2(w.packed().data(), PackedSize(w), out.data(), Size(w)), kDecodeOk);
  EXPECT_EQ(out, w.Unpacked());
  EXPECT_EQ(UnpackHrust2(w.packed().data(), PackedSize(w) - 1, out.data(), Size(w)), kPackedExhausted);
}

TEST(Hrust2Decode, BitRequestsOutsideTheirRangeAreFatal) {
  Bytes data(4, 0);
  DecoderState state{};
  state.packed = data.data();
  state.packedSize = 4;
  Hrust2Bits bits;
  EXPECT_FATAL(ReadBits(state, bits, 5), "DH21_RB");
  EXPECT_FATAL(ReadBits(state, bits, 1), "DH21_RB");
  EXPECT_FATAL(ReadBitsNeg(state, bits, 0), "DH21_RBN");
  EXPECT_FATAL(ReadBitsNeg(state, bits, 5), "DH21_RBN");
}

}  // namespace
}  // namespace zantor::test
