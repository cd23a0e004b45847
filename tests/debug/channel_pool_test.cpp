// The diagnostics module: the shared writers, start-up and shutdown, and
// the configuration read once per channel until shutdown.
#include "debug/channel_pool.h"

#include <gtest/gtest.h>

#include "channel_fixture.h"
#include "debug/debug_entries.h"
#include "debug/list_writer.h"

namespace {

class ChannelPoolTest : public ChannelFixture {};

TEST_F(ChannelPoolTest, StartUpMakesTheSharedWriters) {
  EXPECT_NE(dialogWriter(), nullptr);
  EXPECT_NE(systemOutWriter(), nullptr);
  ASSERT_NE(listWriter(), nullptr);
  EXPECT_EQ(listWriter()->getEntries()->size(), 0);
}

TEST_F(ChannelPoolTest, ShutdownTwiceIsHarmlessAndClearsEveryReference) {
  configure("");
  TChannelPool::getChannel("vosko");
  shutdownDebug();
  shutdownDebug();
  EXPECT_EQ(dialogWriter(), nullptr);
  EXPECT_EQ(systemOutWriter(), nullptr);
  EXPECT_EQ(listWriter(), nullptr);
}

TEST_F(ChannelPoolTest, ConfigurationIsReadOncePerChannelUntilShutdown) {
  configure("system.debug.errorlevel = 1\n");
  EXPECT_EQ(TChannelPool::getChannel("vosko")->getErrorLevel(), 1);
  configure("system.debug.errorlevel = 3\n");
  EXPECT_EQ(TChannelPool::getChannel("vosko")->getErrorLevel(), 1);
  EXPECT_EQ(TChannelPool::getChannel("other")->getErrorLevel(), 3);
  shutdownDebug();
  EXPECT_EQ(TChannelPool::getChannel("vosko")->getErrorLevel(), 3);
}

}  // namespace
