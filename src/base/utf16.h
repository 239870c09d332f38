// UTF-16 and the plugin's own path text, UTF-8. A lone surrogate (legal in a
// Windows file name) is kept as its three-byte form, so that a UTF-16 name
// comes back unchanged. Templates over the code-unit type: WCHAR is wchar_t
// on Windows and char16_t elsewhere.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zantor {

// Code units before the terminator, or limit when there is none before it.
template <class Unit>
uint32_t Utf16Length(const Unit* text, uint32_t limit) {
  uint32_t n = 0;
  while (n < limit && text[n] != 0) ++n;
  return n;
}

// Most UTF-8 bytes one UTF-16 code unit turns into.
constexpr uint32_t kUtf8PerUtf16 = 3;

// The first length units of text as zero-terminated UTF-8 in out (size bytes);
// false when it does not fit.
template <class Unit>
bool Utf16ToUtf8(const Unit* text, uint32_t length, char* out, size_t size) {
  size_t n = 0;
  for (uint32_t i = 0; i < length; ++i) {
    uint32_t c = static_cast<uint16_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < length) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    const size_t bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (n + bytes >= size) return false;
    if (bytes == 1) {
      out[n++] = static_cast<char>(c);
      continue;
    }
    static const uint8_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t k = bytes; k-- > 0;) {
      out[n + k] = static_cast<char>(k == 0 ? kLead[bytes] | c : 0x80 | (c & 0x3F));
      c >>= 6;
    }
    n += bytes;
  }
  out[n] = 0;
  return true;
}

// Zero-terminated UTF-8 as zero-terminated UTF-16 in out (units, terminator
// included), cut at a whole character when it does not fit (false then). A
// byte that starts no valid sequence becomes U+FFFD.
template <class Unit>
bool Utf8ToUtf16(const char* text, Unit* out, size_t units) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  size_t n = 0;
  while (*p != 0) {
    const uint32_t lead = *p;
    // Bytes that follow the lead; 4 marks a byte that leads nothing.
    const uint32_t tail = lead < 0x80 ? 0 : lead < 0xC2 ? 4 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : 4;
    uint32_t c = tail == 0 ? lead : tail == 4 ? 0xFFFD : lead & (0x3F >> tail);
    uint32_t k = 0;
    if (tail < 4) {
      for (; k < tail && (p[k + 1] & 0xC0) == 0x80; ++k) c = c << 6 | (p[k + 1] & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (tail == 4 || k < tail || c < kSmallest[tail] || c > 0x10FFFF) {
      c = 0xFFFD;
      k = 0;
    }
    const size_t need = c >= 0x10000 ? 2 : 1;
    if (n + need >= units) {
      out[n] = 0;
      return false;
    }
    if (need == 2) {
      out[n++] = static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10));
      out[n++] = static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out[n++] = static_cast<Unit>(c);
    }
    p += 1 + k;
  }
  out[n] = 0;
  return true;
}

}  // namespace zantor
