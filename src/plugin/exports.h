// How the files of exported functions declare them.
#pragma once

#if defined(_WIN32)
#define ZANTOR_EXPORT extern "C"  // exported through zantor.def
#else
#define ZANTOR_EXPORT extern "C" __attribute__((visibility("default")))
#endif
