// Hot loops built twice: for any x86 processor, and for those with the bit
// manipulation instructions (BMI1, BMI2 and LZCNT: Intel Core processors
// since 2013, AMD since 2015). Their shifts by a count in any register and
// their leading-zero count in one step take cycles off the chain from one
// code to the next. The processor is asked once; ZANTOR_NO_BMI=1 in the
// environment keeps to the first build, for tests and for ruling it out.
#pragma once
#include <utility>

namespace zantor {

bool ProcessorHasBmi();

#if defined(__x86_64__) || defined(__i386__)
template <auto Loop, typename... Args>
__attribute__((noinline, target("bmi,bmi2,lzcnt"))) auto RunLoopWithBmi(Args&&... args) {
  return Loop(std::forward<Args>(args)...);
}
template <auto Loop, typename... Args>
__attribute__((noinline)) auto RunLoopWithoutBmi(Args&&... args) {
  return Loop(std::forward<Args>(args)...);
}
// Runs Loop, a ZANTOR_FORCE_INLINE function, in the build the processor runs best.
template <auto Loop, typename... Args>
auto RunLoop(Args&&... args) {
  if (ProcessorHasBmi()) return RunLoopWithBmi<Loop>(std::forward<Args>(args)...);
  return RunLoopWithoutBmi<Loop>(std::forward<Args>(args)...);
}
#else
template <auto Loop, typename... Args>
auto RunLoop(Args&&... args) {
  return Loop(std::forward<Args>(args)...);
}
#endif

}  // namespace zantor
