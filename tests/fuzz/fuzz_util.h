#ifndef TRAMO_TESTS_FUZZ_FUZZ_UTIL_H_
#define TRAMO_TESTS_FUZZ_FUZZ_UTIL_H_

#include <cstdio>
#include <cstdlib>

// A property the harness checks; a broken one aborts, which libFuzzer (and
// the replay of kept inputs) reports with the input that broke it.
#define FUZZ_CHECK(condition)                                                 \
  do {                                                                        \
    if (!(condition)) {                                                       \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                               \
      std::abort();                                                           \
    }                                                                         \
  } while (0)

#endif  // TRAMO_TESTS_FUZZ_FUZZ_UTIL_H_
