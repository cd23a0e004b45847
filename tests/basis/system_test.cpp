#include "basis/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "platform/system_info.h"
#include "test_util.h"

namespace {

// Runs the test inside a fresh current directory and returns to the old one.
class SystemTest : public testing::Test {
 protected:
  void SetUp() override {
    char buffer[PATH_MAX];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    oldDirectory = buffer;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(oldDirectory.c_str()), 0); }

  testutil::TempDir dir;
  std::string oldDirectory;
};

TEST_F(SystemTest, MissingSettingsFileGivesEmptyNotDefault) {
  EXPECT_EQ(TSystem::getProperty(TSystem::keyHost(), "unknown"), "");
}

TEST_F(SystemTest, SettingsAreReadAnewOnEveryCall) {
  testutil::writeFile(dir.file("system.properties"), "system.host = alpha\r\n");
  EXPECT_EQ(TSystem::getProperty(TSystem::keyHost(), "unknown"), "alpha");
  EXPECT_EQ(TSystem::getProperty(TSystem::keyHostDisplay(), "unknown"), "unknown");
  testutil::writeFile(dir.file("system.properties"), "system.host = beta\r\n");
  EXPECT_EQ(TSystem::getProperty(TSystem::keyHost(), "unknown"), "beta");
}

TEST_F(SystemTest, KeyNamesAndApplicationPath) {
  EXPECT_EQ(TSystem::keyHostDisplay(), "system.host.display");
  EXPECT_EQ(TSystem::keyHost(), "system.host");
  EXPECT_EQ(TSystem::keyHostEnvironment(), "system.host.environment");
  EXPECT_EQ(TSystem::keySmtpHostAddress(), "system.smtp-host.address");
  EXPECT_EQ(TSystem::keySmtpHostPort(), "system.smtp-host.port");
  EXPECT_EQ(TSystem::keyFromHeader(), "system.from-header");
  EXPECT_EQ(TSystem::keyMailEnabled(), "system.mail-enabled");
  EXPECT_EQ(TSystem::applicationPath(), platform::applicationPath());
  EXPECT_EQ(TSystem::applicationPath().back(), '/');
}

}  // namespace
