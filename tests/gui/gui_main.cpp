// One application for all the window tests of a program.
#include <gtest/gtest.h>

#include "fw/application.h"
#include "fw/testing.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  fw::RuntimeInit(argc, argv);
  fw::testing::KeepRunningWithoutWindows();
  const int status = RUN_ALL_TESTS();
  fw::RuntimeExit();
  return status;
}
