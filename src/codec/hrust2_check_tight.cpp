// CheckHrust2Tight: CheckHrust2 for the exhaustive search, which starts a
// check at every byte of an image. It ends at the first fault, keeps the read
// position as a negative distance from the end of the packed data (one sign
// test tells whether a byte is left) and the bit register in one byte with a
// marker bit. It leaves the same error, consumed and produced as CheckHrust2.
#include "codec/hrust2.h"

namespace zantor {
namespace {

constexpr uint32_t kMaxLiteralRow = 11;
constexpr uint32_t kTail = 6;

struct TightReader {
  // Unread bits from bit 7 down, followed by a marker bit.
  static constexpr uint32_t kEmpty = 0x80;

  const uint8_t* end;  // one past the packed data
  int64_t pos;         // the next byte is end[pos]; none is left when pos >= 0
  uint32_t bits;

  bool ReadByte(uint32_t& value) {
    if (pos >= 0) return false;
    value = end[pos++];
    return true;
  }

  // n bytes in one step; at least one byte must follow them.
  bool Skip(uint32_t n) {
    pos += n;
    return pos < 0;
  }

  bool TakeBit(uint32_t& bit) {
    if (bits == kEmpty) {
      uint32_t byte;
      if (!ReadByte(byte)) return false;
      bit = byte >> 7;
      bits = (byte << 1 | 1) & 0xFF;
      return true;
    }
    bit = bits >> 7;
    bits = (bits << 1) & 0xFF;
    return true;
  }

  bool TakeBits(uint32_t n, uint32_t& value) {
    if (((bits << n) & 0xFF) != 0) {  // the marker survives: n bits at hand
      value = bits >> (8 - n);
      bits = (bits << n) & 0xFF;
      return true;
    }
    value = 0;
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t bit;
      if (!TakeBit(bit)) return false;
      value = value << 1 | bit;
    }
    return true;
  }

  // The distance of a copy of three or more bytes (1 to 65536); 0 when the
  // escape byte is 227 or more.
  bool FarDistance(uint32_t& distance) {
    uint32_t v;
    if (!TakeBit(v)) return false;
    if (v) {
      if (!ReadByte(v)) return false;
      distance = 256 - v;
      return true;
    }
    if (!TakeBits(2, v)) return false;
    uint32_t width = 4 - v;  // 1 to 4
    if (!TakeBits(width, v)) return false;
    // high part of the distance: 2^(width+1) - 1 - v, from 2 to 31
    uint32_t high = (2u << width) - 1 - v;
    if (high == 31) {
      if (!ReadByte(v)) return false;
      if (v >= 227) {
        distance = 0;
        return true;
      }
      high = 256 - v;
    }
    if (!ReadByte(v)) return false;
    distance = high * 256 - v;
    return true;
  }
};

}  // namespace

void CheckHrust2Tight(DecoderState& state) {
  TightReader in{state.packed + state.packedSize, -int64_t(state.packedSize), TightReader::kEmpty};
  const uint32_t expected = state.expectedSize;
  uint32_t produced = 1;
  uint32_t literalRow = 0;
  uint32_t error = 0;
  uint32_t v;
  uint32_t length;
  uint32_t distance;

  if (!in.Skip(kTail + 1)) goto exhausted;  // the tail and the first byte
  for (;;) {
    if (produced > expected) goto overflow;
    if (!in.TakeBit(v)) goto exhausted;
    if (v) {
      if (++literalRow > kMaxLiteralRow) goto invalid;
      if (!in.ReadByte(v)) goto exhausted;
      ++produced;
      continue;
    }
    literalRow = 0;
    length = 1;
    do {
      if (!in.TakeBits(2, v)) goto exhausted;
      length += v;
    } while (v == 3 && length < 16);

    if (length == 1) {
      if (!in.TakeBits(3, v)) goto exhausted;
      distance = 8 - v;
    } else if (length == 2) {
      if (!in.ReadByte(v)) goto exhausted;
      distance = 256 - v;
    } else {
      if (length == 4) {
        if (!in.TakeBit(v)) goto exhausted;
        if (!v) {
          if (!in.TakeBits(4, v)) goto exhausted;
          produced += 2 * v + 12;
          if (!in.Skip(2 * v + 12)) goto exhausted;
          continue;
        }
        if (!in.ReadByte(length)) goto exhausted;
        if (length == 0) break;  // the end code
        if (length < 16) {
          if (!in.ReadByte(v)) goto exhausted;
          length = length << 8 | v;
        }
      } else if (length > 4) {
        length -= 1;
      }
      if (!in.FarDistance(distance)) goto exhausted;
      if (distance == 0) goto invalid;
    }
    if (distance > produced) goto before_start;
    produced += length;
  }
  produced += kTail;
  if (produced > expected) goto overflow;
  goto done;

exhausted:
  error = kPackedExhausted;
  goto done;
overflow:
  error = kOutputOverflow;
  goto done;
before_start:
  error = kBeforeOutputStart;
  goto done;
invalid:
  error = kInvalidCode;
done:
  state.consumed = static_cast<uint32_t>(in.pos + int64_t(state.packedSize));
  state.produced = produced;
  state.error = error;
  state.stopped = error != 0;
}

}  // namespace zantor
