#pragma once

#include <cstdio>
#include <cstdlib>

// A property that must hold for every input: libFuzzer and the replay programs
// both stop at the first input that breaks it.
#define FUZZ_CHECK(condition)                                                                       \
    do {                                                                                            \
        if (!(condition)) {                                                                         \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                           \
        }                                                                                           \
    } while (false)
