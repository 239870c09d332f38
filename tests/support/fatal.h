// Expecting a fatal stop. POSIX writes the box text to standard error, where
// the detail is matched; the Windows box text cannot be read back, so there
// only the exit code is checked.
#pragma once
#include <gtest/gtest.h>

#ifdef _WIN32
#define ZANTOR_FATAL_DETAIL(detail) ""
#else
#define ZANTOR_FATAL_DETAIL(detail) detail
#endif

#define EXPECT_FATAL(statement, detail)                                                           \
  do {                                                                                            \
    GTEST_FLAG_SET(death_test_style, "threadsafe");                                               \
    EXPECT_EXIT(statement, ::testing::ExitedWithCode(3), ZANTOR_FATAL_DETAIL(detail));            \
  } while (0)
