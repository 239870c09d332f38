// Hand-made Hrust 1 streams: the bit layout (eager word fetch, the end code
// at the end of a word), every kind of code, and the checker's rejections.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "codec/hrust1.h"
#include "support/hrust1_writer.h"

namespace zantor {
namespace {

using test::Hrust1Writer;
using Bytes = std::vector<uint8_t>;

const Bytes kTail = {'T', 'A', 'I', 'L', '!', '?'};

struct Outcome {
  int status;  // a DecodeStatus, as a number in messages
  uint32_t consumed;
  uint32_t produced;
  Bytes output;
};

// Runs on exactly sized copies of the data and of the output.
Outcome Decode(const Bytes& data, uint32_t expectedSize) {
  std::unique_ptr<uint8_t[]> packed(new uint8_t[data.size()]);
  std::copy(data.begin(), data.end(), packed.get());
  std::unique_ptr<uint8_t[]> output(new uint8_t[expectedSize]);
  DecoderState state{packed.get(), uint32_t(data.size()), output.get(), expectedSize};
  DecodeHrust1(state);
  return {FinishStatus(state), state.consumed, state.produced,
          Bytes(output.get(), output.get() + state.produced)};
}

Outcome Check(const Bytes& data, uint32_t expectedSize) {
  std::unique_ptr<uint8_t[]> packed(new uint8_t[data.size()]);
  std::copy(data.begin(), data.end(), packed.get());
  DecoderState state{packed.get(), uint32_t(data.size()), nullptr, expectedSize};
  CheckHrust1(state);
  return {FinishStatus(state), state.consumed, state.produced, {}};
}

// The writer together with the bytes its codes stand for.
struct Stream {
  Hrust1Writer writer{kTail, 'a'};
  Bytes plain{'a'};

  void Literal(uint8_t b) {
    writer.Literal(b);
    plain.push_back(b);
  }
  void Repeat(uint32_t length, uint32_t distance) {
    for (uint32_t i = 0; i < length; ++i) plain.push_back(plain[plain.size() - distance]);
  }
  void Gap(uint32_t distance, uint8_t middle) {
    Repeat(1, distance);
    plain.push_back(middle);
    Repeat(1, distance);
  }
  // Literal runs of distinct bytes (so that every copy is checked), with
  // fewer than twelve literals after the last run.
  void Fill(uint32_t n) {
    while (n >= 12) {
      uint32_t run = (n < 42 ? n : 42) & ~1u;
      Bytes bytes;
      for (uint32_t i = 0; i < run; ++i) bytes.push_back(uint8_t((plain.size() + i) * 7));
      writer.LiteralRun(bytes);
      plain.insert(plain.end(), bytes.begin(), bytes.end());
      n -= run;
    }
    while (n-- > 0) Literal(uint8_t(plain.size() * 7));
  }
  Bytes Unpacked() const {
    Bytes all = plain;
    all.insert(all.end(), kTail.begin(), kTail.end());
    return all;
  }
  uint32_t size() const { return uint32_t(plain.size() + kTail.size()); }
};

// Decoding yields the model's bytes, and the checker agrees on the sizes.
void ExpectGood(const Stream& s) {
  const Bytes& data = s.writer.packed();
  Outcome d = Decode(data, s.size());
  EXPECT_EQ(d.status, kDecodeOk);
  EXPECT_EQ(d.output, s.Unpacked());
  Outcome c = Check(data, s.size());
  EXPECT_EQ(c.status, kDecodeOk);
  EXPECT_EQ(c.consumed, data.size());
  EXPECT_EQ(c.produced, s.size());
}

// Decodes as the model says, but the checker rejects it with the code.
void ExpectDecodedButRejected(const Stream& s, int checkStatus) {
  Outcome d = Decode(s.writer.packed(), s.size());
  EXPECT_EQ(d.status, kDecodeOk);
  EXPECT_EQ(d.output, s.Unpacked());
  EXPECT_EQ(Check(s.writer.packed(), s.size()).status, checkStatus);
}

TEST(Hrust1Stream, EndCodeFirstGivesFirstByteAndTail) {
  Stream s;
  s.writer.End();
  EXPECT_EQ(s.writer.packed().size(), 9u);
  ExpectGood(s);
  EXPECT_EQ(Decode(s.writer.packed(), 7).output, (Bytes{'a', 'T', 'A', 'I', 'L', '!', '?'}));
  // The two bits after it are padding: the checker wants zeros.
  Stream padded;
  padded.writer.End(0b10);
  ExpectDecodedButRejected(padded, kInvalidCode);
}

TEST(Hrust1Stream, EndCodeAsLastSevenBitsOfAWordFetchesNoFurtherWord) {
  Stream s;
  s.Literal('b');
  s.Literal('c');
  ASSERT_EQ(s.writer.bitsLeftInWord(), 14u);  // the end code's 14 bits fill the word
  s.writer.End();
  // Nothing after the word: reading another one would run out of data.
  EXPECT_EQ(s.writer.packed().size(), 6u + 2 + 3);
  ExpectGood(s);
}

TEST(Hrust1Stream, SevenBitFieldAtTheEndOfAWordFetchesTheNextWord) {
  // Length 16 in the last seven bits of a word is no end code: the next word
  // is fetched at once, before the offset byte.
  Stream s;
  s.Fill(20);
  s.writer.Copy1(1);
  s.Repeat(1, 1);
  s.Literal('x');
  ASSERT_EQ(s.writer.bitsLeftInWord(), 14u);
  s.writer.LongLength(16);
  s.writer.OffsetNear(20);
  s.Repeat(16, 20);
  s.writer.End();
  ExpectGood(s);
}

TEST(Hrust1Stream, EndCodeAcrossTwoWordsPadsTheSecond) {
  Stream s;
  for (uint8_t b : {'b', 'c', 'd', 'e'}) s.Literal(b);
  s.writer.End();
  ExpectGood(s);
  // Padding after the end code decodes, but the checker wants zeros.
  Stream padded;
  for (uint8_t b : {'b', 'c', 'd', 'e'}) padded.Literal(b);
  padded.writer.End(1);
  ExpectDecodedButRejected(padded, kInvalidCode);
}

TEST(Hrust1Stream, LiteralFlagTakingTheLastBitIsFollowedByTheNextWord) {
  Stream s;
  s.Literal('b');
  s.writer.Copy1(1);
  s.Repeat(1, 1);
  s.Literal('c');
  s.writer.Copy1(2);
  s.Repeat(1, 2);
  s.Literal('d');
  s.Literal('e');  // the sixteenth bit
  s.writer.End();
  const Bytes& data = s.writer.packed();
  // tail, word, a b c d, next word, then e
  ASSERT_GT(data.size(), 14u);
  EXPECT_EQ(data[11], 'd');
  EXPECT_EQ(data[14], 'e');
  ExpectGood(s);
  EXPECT_EQ(Decode(data, s.size()).output,
            (Bytes{'a', 'b', 'b', 'c', 'b', 'd', 'e', 'T', 'A', 'I', 'L', '!', '?'}));
}

TEST(Hrust1Stream, EveryCopyForm) {
  Stream s;
  s.Fill(900);
  s.writer.Copy1(8);
  s.Repeat(1, 8);
  s.writer.Copy2Near(32);
  s.Repeat(2, 32);
  for (uint32_t d : {33u, 256u, 257u, 512u, 513u, 768u}) {
    s.writer.Copy2(d);
    s.Repeat(2, d);
  }
  for (uint32_t length = 3; length <= 15; ++length) {
    s.writer.Copy(length, length * 50);  // byte, middle and far offsets
    s.Repeat(length, length * 50);
  }
  s.writer.Copy(127, 1);
  s.Repeat(127, 1);
  s.writer.Copy(3839, 700);
  s.Repeat(3839, 700);
  s.writer.Copy(4, 1024);  // the widest high part at the start: 2 bits
  s.Repeat(4, 1024);
  s.writer.GapCopyNear(16, 'g');
  s.Gap(16, 'g');
  s.writer.GapCopyNear(1, 'h');
  s.Gap(1, 'h');
  s.writer.End();
  ExpectGood(s);
}

TEST(Hrust1Stream, SpecialCodesGiveGapCopies) {
  Stream s;
  s.Fill(100);
  s.writer.Copy2Byte(2, 224);  // 0 01 10 with byte 224
  s.writer.Byte('m');
  s.Gap(76, 'm');
  s.writer.Copy2Byte(2, 255);
  s.writer.Byte('n');
  s.Gap(18, 'n');
  s.writer.LengthPrefix(3);  // 0 10, then 01 with byte 224
  s.writer.OffsetByte(224);
  s.writer.Byte('o');
  s.Gap(77, 'o');
  s.writer.LengthPrefix(3);
  s.writer.OffsetByte(254);
  s.writer.Byte('p');
  s.Gap(17, 'p');
  s.writer.End();
  ExpectGood(s);
}

TEST(Hrust1Stream, WidthStepsGrowToEightThenWrapToOne) {
  // Past the old limit of 6 bits the width keeps growing, and after 8 it
  // starts again at 1; neither the decoder nor the checker objects.
  Stream s;
  s.Fill(1100);
  for (uint32_t width = 3; width <= 8; ++width) {
    s.writer.WidthStep();
    ASSERT_EQ(s.writer.highWidth(), width);
    s.writer.Copy(5, 1030 + width);  // high part -5, written with width bits
    s.Repeat(5, 1030 + width);
    s.Literal(uint8_t(width));
  }
  s.writer.WidthStep();
  ASSERT_EQ(s.writer.highWidth(), 1u);
  s.writer.Copy(6, 100);  // no far copy fits one bit: the checker wants -3 or less
  s.Repeat(6, 100);
  s.writer.WidthStep();
  ASSERT_EQ(s.writer.highWidth(), 2u);
  s.writer.Copy(7, 1000);
  s.Repeat(7, 1000);
  s.writer.End();
  ExpectGood(s);
}

TEST(Hrust1Stream, FarHighPartsOfMinusOneAndMinusTwoDecodeButFailTheCheck) {
  for (int32_t high : {-1, -2}) {
    SCOPED_TRACE(high);
    Stream s;
    s.Fill(600);
    s.writer.LengthPrefix(4);
    s.writer.OffsetFar(high, 0);
    s.Repeat(4, uint32_t(-high * 256));
    s.writer.End();
    ExpectDecodedButRejected(s, kInvalidCode);
  }
  // At width 1 those are the only high parts there are.
  Stream s;
  s.Fill(600);
  for (int i = 0; i < 7; ++i) s.writer.WidthStep();
  ASSERT_EQ(s.writer.highWidth(), 1u);
  s.writer.LengthPrefix(5);
  s.writer.OffsetFar(-2, 10);
  s.Repeat(5, 502);
  s.writer.End();
  ExpectDecodedButRejected(s, kInvalidCode);
}

TEST(Hrust1Stream, SpecialCodeWithOtherLengthsDecodesButFailsTheCheck) {
  Stream s;
  s.Fill(100);
  s.writer.LengthPrefix(4);  // x = (193 ^ 4) + 1 = 198: gap copy from 74
  s.writer.OffsetByte(224);
  s.writer.Byte('q');
  s.Gap(74, 'q');
  s.writer.End();
  ExpectDecodedButRejected(s, kInvalidCode);
}

TEST(Hrust1Stream, GapCopyFromDistance256IsInvalid) {
  // Length 206 meets the special code as x = 16, the gap offset -256.
  Stream s;
  s.Fill(300);
  s.writer.LongLength(206);
  s.writer.OffsetByte(224);
  s.writer.Byte(0);
  s.writer.End();
  EXPECT_EQ(Decode(s.writer.packed(), s.size() + 3).status, kInvalidCode);
  EXPECT_EQ(Check(s.writer.packed(), s.size() + 3).status, kInvalidCode);
}

TEST(Hrust1Stream, LengthOneCopiesFromOneDistanceNeedSomethingBetween) {
  Stream twice;
  twice.Fill(5);
  twice.writer.Copy1(3);
  twice.writer.Copy1(3);
  twice.Repeat(1, 3);
  twice.Repeat(1, 3);
  twice.writer.End();
  ExpectDecodedButRejected(twice, kInvalidCode);

  Stream apart;
  apart.Fill(5);
  apart.writer.Copy1(3);
  apart.Repeat(1, 3);
  apart.Literal('z');
  apart.writer.Copy1(3);
  apart.Repeat(1, 3);
  apart.writer.Copy1(2);  // another distance is fine right away
  apart.Repeat(1, 2);
  apart.writer.End();
  ExpectGood(apart);
}

TEST(Hrust1Stream, TwelveLiteralFlagsInARowFailTheCheck) {
  Stream eleven;
  for (int i = 0; i < 11; ++i) eleven.Literal(uint8_t('b' + i));
  eleven.writer.Copy1(1);
  eleven.Repeat(1, 1);
  for (int i = 0; i < 11; ++i) eleven.Literal(uint8_t('B' + i));
  eleven.writer.End();
  ExpectGood(eleven);

  Stream twelve;
  for (int i = 0; i < 12; ++i) twelve.Literal(uint8_t('b' + i));
  twelve.writer.End();
  ExpectDecodedButRejected(twelve, kInvalidCode);
}

TEST(Hrust1Stream, ShortLongLengthsDecodeButFailTheCheck) {
  Stream s;
  s.Fill(20);
  s.writer.LongLength(100, true);  // v = 0 and byte 100
  s.writer.OffsetNear(1);
  s.Repeat(100, 1);
  s.writer.End();
  ExpectDecodedButRejected(s, kInvalidCode);

  Stream zero;
  zero.Fill(20);
  zero.writer.LongLength(0, true);
  zero.writer.OffsetNear(1);
  zero.writer.End();
  EXPECT_EQ(Decode(zero.writer.packed(), zero.size()).status, kZeroLength);
  EXPECT_EQ(Check(zero.writer.packed(), zero.size()).status, kInvalidCode);

  Stream shortest;  // 128 is the shortest the checker takes in that form
  shortest.Fill(20);
  shortest.writer.LongLength(128);
  shortest.writer.OffsetNear(3);
  shortest.Repeat(128, 3);
  shortest.writer.End();
  ExpectGood(shortest);
}

TEST(Hrust1Stream, LiteralRunAtTheVeryEndPassesOnlyTheDecoder) {
  // The end code fits in the current word, so the decoder needs nothing
  // after the run; the checker insists on at least one more byte.
  Stream s;
  s.Fill(5);
  s.Fill(12);  // its code takes the last bit of the word
  ASSERT_EQ(s.writer.bitsLeftInWord(), 16u);
  s.writer.End();
  ASSERT_EQ(s.writer.packed().back(), s.plain.back());
  Outcome d = Decode(s.writer.packed(), s.size());
  EXPECT_EQ(d.status, kDecodeOk);
  EXPECT_EQ(d.output, s.Unpacked());
  EXPECT_EQ(Check(s.writer.packed(), s.size()).status, kPackedExhausted);
}

TEST(Hrust1Stream, TruncatedData) {
  Stream s;
  s.Fill(30);
  s.writer.Copy(10, 20);
  s.Repeat(10, 20);
  s.writer.End();
  const Bytes& full = s.writer.packed();
  for (size_t size = 0; size < full.size(); ++size) {
    SCOPED_TRACE(size);
    Bytes cut(full.begin(), full.begin() + size);
    EXPECT_EQ(Decode(cut, s.size()).status, kPackedExhausted);
    EXPECT_EQ(Check(cut, s.size()).status, kPackedExhausted);
  }
  // A word needs two bytes: with one left, nothing is consumed.
  EXPECT_EQ(Decode(Bytes(full.begin(), full.begin() + 7), s.size()).consumed, 6u);
}

TEST(Hrust1Stream, SizesThatDoNotMatch) {
  Stream s;
  s.Fill(30);
  s.writer.Copy(10, 20);
  s.Repeat(10, 20);
  s.writer.End();
  Bytes data = s.writer.packed();
  Outcome small = Decode(data, s.size() - 1);
  EXPECT_EQ(small.status, kOutputOverflow);
  EXPECT_EQ(small.produced, s.size() - 1);  // stopped at the last tail byte
  EXPECT_EQ(Check(data, s.size() - 1).status, kOutputOverflow);
  EXPECT_EQ(Decode(data, s.size() + 1).status, kSizeMismatch);
  EXPECT_EQ(Check(data, s.size() + 1).status, kSizeMismatch);
  data.push_back(0);
  EXPECT_EQ(Decode(data, s.size()).status, kPackedLeftOver);
  EXPECT_EQ(Check(data, s.size()).status, kPackedLeftOver);
  // A long copy into a small buffer stops at its end.
  Outcome tiny = Decode(data, 35);
  EXPECT_EQ(tiny.status, kOutputOverflow);
  EXPECT_EQ(tiny.produced, 35u);
}

TEST(Hrust1Stream, CopiesBeforeTheStartFail) {
  Stream s;
  s.writer.Copy1(2);
  s.writer.End();
  EXPECT_EQ(Decode(s.writer.packed(), 10).status, kBeforeOutputStart);
  EXPECT_EQ(Check(s.writer.packed(), 10).status, kBeforeOutputStart);

  Stream gap;
  gap.Literal('b');
  gap.writer.GapCopyNear(3, 'c');
  gap.writer.End();
  EXPECT_EQ(Decode(gap.writer.packed(), 12).status, kBeforeOutputStart);
  EXPECT_EQ(Check(gap.writer.packed(), 12).status, kBeforeOutputStart);
}

}  // namespace
}  // namespace zantor
