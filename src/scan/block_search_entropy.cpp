#include "scan/block_search_entropy.h"

#include <atomic>

namespace zantor {
namespace {

std::atomic<uint32_t> g_register{0xFFFFFFFFu};
std::atomic<uint32_t> g_calls{0};

// Reflected CRC-32 (0xEDB88320), bit by bit, without final inversion.
uint32_t AbsorbByte(uint32_t crc, uint8_t byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  return crc;
}

uint32_t AbsorbValue(uint32_t crc, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) crc = AbsorbByte(crc, static_cast<uint8_t>(value >> (8 * i)));
  return crc;
}

// Moves the call counter on and absorbs it; returns the register.
uint32_t AdvanceCounter(uint32_t crc) {
  uint32_t calls = g_calls.fetch_add(1, std::memory_order_relaxed) + 1;
  return AbsorbValue(crc, calls, 4);
}

}  // namespace

uint64_t EntropyPoolDraw(uint8_t salt) {
  uint64_t systemTime = 0;
  uint64_t counter = 0;
  ReadEntropySeeds(&systemTime, &counter);
  uint32_t crc = g_register.load(std::memory_order_relaxed);
  crc = AbsorbValue(crc, systemTime, 8);
  crc = AbsorbValue(crc, counter, 8);
  crc = AdvanceCounter(crc);
  crc = AbsorbByte(crc, salt);
  uint64_t high = crc;
  crc = AdvanceCounter(crc);
  uint64_t low = crc;
  crc = AdvanceCounter(crc);
  g_register.store(crc, std::memory_order_relaxed);
  return (high << 32) | low;
}

}  // namespace zantor
