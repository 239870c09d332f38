// The analysis when memory runs short, provoked in a child process whose
// address space is capped: a member too large to unpack for its attributes
// still lists, and a Hrip reader that runs out of memory fails the analysis.
#include <gtest/gtest.h>

#include "scan/analyse_support.h"
#include "support/image_builder.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZANTOR_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZANTOR_SANITIZED 1
#endif

#if !defined(_WIN32) && !defined(ZANTOR_SANITIZED)
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace zantor {
namespace {

using test::AnalysedImage;
using test::Bytes;

// Caps the address space at what the process uses now plus headroom.
void LimitAddressSpace(size_t headroom) {
  unsigned long pages = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm || std::fscanf(statm, "%lu", &pages) != 1) std::_Exit(90);
  std::fclose(statm);
  rlimit limit{};
  limit.rlim_cur = limit.rlim_max = pages * sysconf(_SC_PAGESIZE) + headroom;
  if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(91);
}

// "Hrst2" block header: flags, unpacked, packed 0, no extension.
Bytes EmptyBlockHeader(uint8_t flags, uint16_t unpacked) {
  return Bytes{'H', 'r', 's', 't', '2', flags, uint8_t(unpacked), uint8_t(unpacked >> 8), 0, 0, 0};
}

TEST(AnalyseMemory, AMemberTooLargeToUnpackKeepsItsSizeAndTheOpenSucceeds) {
  // 32767 blocks of 65535 declared bytes: a member of almost 2 GB in 360 KB.
  test::HripArchive archive;
  archive.catalogue = false;
  for (int i = 0; i < 32766; ++i) archive.body.push_back(EmptyBlockHeader(0, 65535));
  archive.body.push_back(EmptyBlockHeader(test::kFlagLast, 65535));
  test::Hrst2Options described;
  described.descriptor = test::Descriptor("small", 'C', 0, 512, 2);
  archive.body.push_back(test::Hrst2Block(test::StoredPayload(test::Filler(512)), described));
  AnalysedImage a(test::BuildHripArchive(archive));
  EXPECT_EXIT(
      {
        LimitAddressSpace(256u << 20);
        bool ok = a.Scan().ok() && a.Count() == 2 && a.At(0).listedSize == 32767u * 65535u &&
                  a.At(0).bad == 0 && a.At(0).attributeMark == 0 && a.At(1).attributeMark == 1;
        std::_Exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(AnalyseMemory, AHripReaderOutOfMemoryFailsTheAnalysis) {
  // 200000 members of one empty block each need far more than the cap.
  test::HripArchive archive;
  archive.catalogue = false;
  for (int i = 0; i < 200000; ++i) archive.body.push_back(EmptyBlockHeader(test::kFlagLast, 0));
  Settings settings = DefaultSettings();
  settings.MaxEntries = 1000000;
  AnalysedImage a(test::BuildHripArchive(archive), settings);
  EXPECT_EXIT(
      {
        LimitAddressSpace(8u << 20);
        Result r = a.Scan();
        std::_Exit(r.failed() && r.systemCode == NoMemory.systemCode ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zantor
#endif
