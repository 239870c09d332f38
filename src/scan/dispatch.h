// The entry points through which the plugin unpacks or tests packed data:
// they pick the decoder from the format, copy stored blocks, verify the CRCs
// of "Hrst2" headers and join the blocks of a Hrip archive member. Every data
// fault is the one bad-data failure (host code 12); the output buffer is the
// caller's and never receives more than the unpacked size.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "scan/entry.h"

namespace zantor {

// The failure of every data fault in this subsystem.
constexpr Result kBadData = HostFailure(12);

// Unpacks a block listed by the search; blockStart is its first header byte
// (first packed byte when raw) inside the image.
Result UnpackHrustBlock(const uint8_t* blockStart, uint8_t* output, const BlockInfo& info);
// Decides whether a candidate block is genuine, without output. *walked (when
// given) receives the packed bytes the check read, the measure of its work.
Result TestHrustBlock(const uint8_t* blockStart, const BlockInfo& info, uint32_t* walked = nullptr);
// Unpacks one Hrip member block whose whole header and packed data the
// caller has checked to lie in the image.
Result UnpackHripBlock(const uint8_t* header, uint8_t* output, bool verifyPacked);
// Unpacks a member's blocks into consecutive parts of output (member
// unpacked size bytes). The image is re-checked before each block, since the
// entry may describe an earlier file of the same size and time.
Result UnpackHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* output,
                        bool verifyPacked);

// Takes each block of a member as it is unpacked, in order; a failure it
// returns ends the run with that failure.
struct MemberSink {
  Result (*take)(void* context, const uint8_t* data, uint32_t length);
  void* context;
};
// UnpackHripMember block by block: each block is unpacked into window
// (kHripBlockWindow bytes) and handed to sink, so memory does not grow with
// the member. The checks and failures are UnpackHripMember's.
Result StreamHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* window,
                        bool verifyPacked, const MemberSink& sink);

// Bytes one Hrip block unpacks to at most (its size field is 16-bit).
constexpr uint32_t kHripBlockWindow = 65536;
// UnpackHripMember's verdict without the member's bytes: every block is
// unpacked into the same window of kHripBlockWindow bytes. Each block's
// unpacked size is taken from *allowance first; a block it cannot pay ends
// the run with kBadData and *unpaid set.
Result VerifyHripMember(const uint8_t* image, uint32_t imageSize, const Entry& member, uint8_t* window,
                        uint64_t* allowance, bool* unpaid);

}  // namespace zantor
