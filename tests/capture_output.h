// Runs a piece of test code with the console captured, for the tests that
// check what the diagnostics and the notices print.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testutil {

struct Captured {
  std::string out;
  std::string err;
};

// What f() writes to standard output and standard error.
template <class F>
Captured captureOutput(F f) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  f();
  Captured c;
  c.out = testing::internal::GetCapturedStdout();
  c.err = testing::internal::GetCapturedStderr();
  return c;
}

}  // namespace testutil
