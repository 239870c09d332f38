#include "base/processor.h"

#include <cstdlib>
#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace zantor {
namespace {

bool AskProcessor() {
  const char* off = std::getenv("ZANTOR_NO_BMI");
  if (off != nullptr && *off != '\0' && *off != '0') return false;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const bool bmi = (b >> 3) & (b >> 8) & 1;  // BMI1 and BMI2
  if (!__get_cpuid(0x80000001, &a, &b, &c, &d)) return false;
  return bmi && ((c >> 5) & 1);  // LZCNT
#else
  return false;
#endif
}

}  // namespace

bool ProcessorHasBmi() {
  static const bool has = AskProcessor();
  return has;
}

}  // namespace zantor
