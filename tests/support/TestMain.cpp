// Shared main of the test executables: starts the executable's units as the plug-in
// would at load, runs the tests, and stops the units in reverse.
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!StartUnits(TestUnits())) {
    fprintf(stderr, "start-up of the units failed\n");
    return 1;
  }
  int result = RUN_ALL_TESTS();
  StopUnits();
  return result;
}
