#include "scan/block_search_signature.h"

#include <cstring>

namespace zantor {
namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "byte i of a loaded word is bits 8i..8i+7");

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

uint64_t Load(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

bool PairAt(const uint8_t* image, uint32_t q, SignaturePair pair) {
  return (image[q] | pair.fold) == pair.first && image[q + 1] == pair.second;
}

}  // namespace

uint32_t FindSignature(const uint8_t* image, uint32_t size, uint32_t from, uint32_t end,
                       SignaturePair pair) {
  if (end > size) end = size;
  const uint64_t fold = kOnes * pair.fold;
  const uint64_t first = kOnes * pair.first;
  const uint64_t second = kOnes * pair.second;
  uint32_t q = from;
  // A word at q and one at q + 1 cover the pairs starting at q .. q + 7; a
  // zero byte in t marks a pair. The lowest flag of the zero-byte test is
  // exact (borrows only produce false flags above a true zero byte).
  while (q < end && uint64_t{q} + 9 <= size) {
    uint64_t t = ((Load(image + q) | fold) ^ first) | (Load(image + q + 1) ^ second);
    uint64_t flags = (t - kOnes) & ~t & kHighs;
    if (flags) {
      uint32_t hit = q + static_cast<uint32_t>(__builtin_ctzll(flags) >> 3);
      return hit < end ? hit : end;
    }
    q += 8;
  }
  for (; q < end && q + 1 < size; ++q)
    if (PairAt(image, q, pair)) return q;
  return end;
}

}  // namespace zantor
