#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // Byte round trips pass under any code page; only this catches a wrong set-up.
  if (GetACP() != 1250) {
    fprintf(stderr, "ANSI code page is %u, expected 1250 (run with LC_ALL=cs_CZ.UTF-8)\n",
            static_cast<unsigned>(GetACP()));
    return 1;
  }
#endif
  return RUN_ALL_TESTS();
}
