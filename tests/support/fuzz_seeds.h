// Seeds for the fuzz programs, made by the tests that build valid inputs.
// The test script sets ZANTOR_FUZZ_SEEDS for the native run and then starts
// each fuzz program <target>_fuzz from the folder <target> below it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zantor::test {

// Writes `bytes` as $ZANTOR_FUZZ_SEEDS/<target>/<name>; `target` is the fuzz
// program's name without "_fuzz". Does nothing when the variable is unset.
void SaveFuzzSeed(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace zantor::test
