// The test main runs the program's start-up sequence before any test, as main does.
#include <gtest/gtest.h>

#include "app/start_up.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  startUp();
  int result = RUN_ALL_TESTS();
  shutDown();
  return result;
}
