#include <cstdlib>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // Byte round trips pass under any code page; only this catches a wrong set-up.
  // A run on purpose under another code page names it in TEST_CODE_PAGE.
  const char* wanted = getenv("TEST_CODE_PAGE");
  const unsigned expected = wanted != nullptr ? static_cast<unsigned>(atoi(wanted)) : 1250;
  if (GetACP() != expected) {
    fprintf(stderr, "ANSI code page is %u, expected %u (run with LC_ALL=cs_CZ.UTF-8)\n",
            static_cast<unsigned>(GetACP()), expected);
    return 1;
  }
#endif
  return RUN_ALL_TESTS();
}
