// Inlining that the compiler's own weighing would refuse: hot code parsers
// whose state must stay in registers across a walk's loop.
#pragma once

#define ZANTOR_FORCE_INLINE inline __attribute__((always_inline))
