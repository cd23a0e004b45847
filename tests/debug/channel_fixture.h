// A fixture for tests of configured channels: each test writes its own
// "debug.properties" into a temporary directory that stands for the
// program's directory, and starts with no channels, so that every channel
// reads the test's file. The program's directory and a fresh diagnostics
// module are restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "capture_output.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "platform/system_info.h"
#include "test_util.h"

using testutil::Captured;
using testutil::captureOutput;

class ChannelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    shutdownDebug();
    debugStartUp();
    platform::setApplicationPathForTesting(dir.path());
    // An installed configuration must not leak into the tests.
    platform::setConfigurationDirectoryForTesting(dir.file("etc"));
  }
  void TearDown() override {
    shutdownDebug();
    platform::setApplicationPathForTesting("");
    platform::setConfigurationDirectoryForTesting("");
    debugStartUp();
  }
  void configure(const std::string& text) { testutil::writeFile(dir.file("debug.properties"), text); }
  // The channel of that name; made and configured at its first request.
  static TChannel* channel(const std::string& name) { return TChannelPool::getChannel(name); }

  testutil::TempDir dir;
};
