// Splitting one long write into pieces the system takes in one call.
#pragma once
#include <cstdint>

namespace zantor {

// Hands writePiece (data, length) consecutive pieces of at most largestPiece
// bytes, in order; false at the first piece it refuses.
template <class WritePiece>
bool WriteInPieces(const uint8_t* data, uint64_t length, uint32_t largestPiece, WritePiece writePiece) {
  while (length != 0) {
    uint32_t piece = length < largestPiece ? static_cast<uint32_t>(length) : largestPiece;
    if (!writePiece(data, piece)) return false;
    data += piece;
    length -= piece;
  }
  return true;
}

}  // namespace zantor
