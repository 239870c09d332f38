#include "scan/dispatch.h"

#include <cstring>

#include "codec/crc16.h"
#include "codec/hrst2_header.h"
#include "codec/hrust1.h"
#include "codec/hrust2.h"

namespace zantor {
namespace {

// The extension length an "Hrst2" header reads now must still be the one
// listed: otherwise its CRC fields may lie beyond the header.
bool ExtensionMatches(const uint8_t* blockStart, const BlockInfo& info) {
  return info.headerLength >= kHrst2FixedLength &&
         blockStart[10] == info.headerLength - kHrst2FixedLength;
}

// The packed bytes a check read, for *walked when it is given.
void ReportWalked(const DecoderState& state, const BlockInfo& info, uint32_t* walked) {
  if (walked) *walked = state.consumed < info.packed ? state.consumed : info.packed;
}

Result RunHrust1(const uint8_t* packed, uint8_t* output, const BlockInfo& info, bool check, uint32_t* walked) {
  DecoderState state{};
  state.packed = packed;
  state.packedSize = info.packed;
  state.output = output;
  state.expectedSize = info.unpacked;
  if (check) {
    CheckHrust1(state);
  } else {
    DecodeHrust1(state);
  }
  ReportWalked(state, info, walked);
  return FinishStatus(state) == kDecodeOk ? kSuccess : kBadData;
}

}  // namespace

Result UnpackHrustBlock(const uint8_t* blockStart, uint8_t* output, const BlockInfo& info) {
  if (info.truncated) return kBadData;
  const uint8_t* packed = blockStart + info.headerLength;
  if (info.format == kFormatHrust1) return RunHrust1(packed, output, info, false, nullptr);
  if (info.format != kFormatHr21 && info.format != kFormatHrst2) FatalError("UHB02");

  if (info.stored) {
    if (info.packed != info.unpacked) FatalError("Internal error UHB01");
    std::memcpy(output, packed, info.packed);
  } else if (UnpackHrust2(packed, info.packed, output, info.unpacked) != kDecodeOk) {
    return kBadData;
  }
  // Only stored "Hrst2" blocks have their CRCs checked here; compressed ones
  // proved themselves by decoding to the exact size.
  if (info.format == kFormatHrst2 && info.stored) {
    if (!ExtensionMatches(blockStart, info)) return kBadData;
    uint32_t n = blockStart[10];
    if (n >= 4) {
      if (Crc16(output, info.unpacked) != Hrst2UnpackedCrc(blockStart)) return kBadData;
    } else if (n >= 2) {
      if (Crc16(packed, info.packed) != Hrst2PackedCrc(blockStart)) return kBadData;
    }
  }
  return kSuccess;
}

Result TestHrustBlock(const uint8_t* blockStart, const BlockInfo& info, uint32_t* walked) {
  if (walked) *walked = 0;
  if (info.truncated) return kBadData;
  const uint8_t* packed = blockStart + info.headerLength;
  if (info.format == kFormatHrust1) return RunHrust1(packed, nullptr, info, true, walked);
  if (info.format != kFormatHr21 && info.format != kFormatHrst2) FatalError("THB02");

  if (info.stored) {
    if (info.packed != info.unpacked) FatalError("Internal error THB01");
  } else {
    DecoderState state{};
    state.packed = packed;
    state.packedSize = info.packed;
    state.expectedSize = info.unpacked;
    CheckHrust2(state);
    ReportWalked(state, info, walked);
    if (FinishStatus(state) != kDecodeOk) return kBadData;
  }
  if (info.format == kFormatHrst2 && info.stored) {
    if (!ExtensionMatches(blockStart, info)) return kBadData;
    if (walked) *walked = info.packed;
    if (blockStart[10] >= 2 && Crc16(packed, info.packed) != Hrst2PackedCrc(blockStart)) return kBadData;
  }
  return kSuccess;
}

Result UnpackHripBlock(const uint8_t* header, uint8_t* output, bool verifyPacked) {
  Hrst2Fields h = Hrst2Fields::Read(header);
  if (h.flags & kHrst2Directory) FatalError("H_UB1");
  const uint8_t* packed = header + h.HeaderLength();

  if (h.extension >= 2 && (verifyPacked || h.extension < 4) &&
      Crc16(packed, h.packed) != Hrst2PackedCrc(header))
    return kBadData;
  if (h.flags & kHrst2Stored) {
    if (h.packed != h.unpacked) return kBadData;
    std::memcpy(output, packed, h.packed);
  } else if (UnpackHrust2(packed, h.packed, output, h.unpacked) != kDecodeOk) {
    return kBadData;
  }
  if (h.extension >= 4 && Crc16(output, h.unpacked) != Hrst2UnpackedCrc(header)) return kBadData;
  return kSuccess;
}

namespace {

// Unpacks the member's blocks one after another, into consecutive parts of
// output or, with an allowance to pay them from or a sink to hand them to,
// each into output's first bytes.
Result UnpackMemberBlocks(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* output,
                          bool verifyPacked, uint64_t* allowance, bool* unpaid, const MemberSink* sink) {
  if (member.bad) FatalError("UE01");
  if (member.kind != kArchiveMember) FatalError("UE02");

  const List<uint32_t>& blocks = member.member.blockPositions;
  const uint32_t total = member.member.unpackedSize;
  uint32_t position = 0;
  for (uint32_t i = 0; i < blocks.count; ++i) {
    // The image may no longer be the one the entry was made from: every
    // header is checked again before anything is read through it.
    const uint64_t at = blocks.At(i);
    if (at + kHrst2FixedLength > imageSize) return kBadData;
    const uint8_t* header = image + at;
    if (!IsHrst2Signature(header)) return kBadData;
    Hrst2Fields h = Hrst2Fields::Read(header);
    if (h.flags & kHrst2Directory) return kBadData;
    if (at + h.HeaderLength() + h.packed > imageSize) return kBadData;
    if (h.unpacked > total - position) return kBadData;

    if (allowance) {
      if (h.unpacked > *allowance) {
        *unpaid = true;
        return kBadData;
      }
      *allowance -= h.unpacked;
    }
    const bool windowed = allowance != nullptr || sink != nullptr;
    Result r = UnpackHripBlock(header, windowed ? output : output + position, verifyPacked);
    if (r.ok() && sink != nullptr) r = sink->take(sink->context, output, h.unpacked);
    if (r.failed()) return r;
    position += h.unpacked;
  }
  return position == total ? kSuccess : kBadData;
}

}  // namespace

Result UnpackHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* output,
                        bool verifyPacked) {
  return UnpackMemberBlocks(image, imageSize, member, output, verifyPacked, nullptr, nullptr, nullptr);
}

Result StreamHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* window,
                        bool verifyPacked, const MemberSink& sink) {
  return UnpackMemberBlocks(image, imageSize, member, window, verifyPacked, nullptr, nullptr, &sink);
}

Result VerifyHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* window,
                        uint64_t* allowance, bool* unpaid) {
  *unpaid = false;
  return UnpackMemberBlocks(image, imageSize, member, window, false, allowance, unpaid, nullptr);
}

}  // namespace zantor
