// Where a channel finds debug.properties: beside the program, else in the
// installation's configuration directory, else nowhere (the built-in defaults).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "channel_fixture.h"

namespace {

class ConfigurationFileTest : public ChannelFixture {
 protected:
  void installed(const std::string& text) {
    mkdir(dir.file("etc").c_str(), 0755);
    testutil::writeFile(dir.file("etc/debug.properties"), text);
  }
};

TEST_F(ConfigurationFileTest, FileBesideTheProgramWinsOverTheInstalledOne) {
  configure("system.debug.errorlevel = 2\n");
  installed("system.debug.errorlevel = 3\n");
  EXPECT_EQ(platform::configurationFile("debug.properties"), dir.file("debug.properties"));
  TChannel* vosko = nullptr;
  EXPECT_EQ(captureOutput([&] { vosko = channel("vosko"); }).out, "");
  EXPECT_EQ(vosko->getErrorLevel(), 2);
}

TEST_F(ConfigurationFileTest, InstalledFileIsReadWhenNoneIsBesideTheProgram) {
  installed("system.debug.errorlevel = 3\nsystem.debug.errorsystemout = false\n");
  EXPECT_EQ(platform::configurationFile("debug.properties"), dir.file("etc/debug.properties"));
  TChannel* vosko = nullptr;
  EXPECT_EQ(captureOutput([&] { vosko = channel("vosko"); }).out, "");
  EXPECT_EQ(vosko->getErrorLevel(), 3);
  EXPECT_EQ(vosko->getErrorWriters().size(), 0);
}

TEST_F(ConfigurationFileTest, WithoutEitherTheMissingFileIsNamedBesideTheProgram) {
  // A directory of that name is no configuration file.
  mkdir(dir.file("etc").c_str(), 0755);
  mkdir(dir.file("etc/debug.properties").c_str(), 0755);
  EXPECT_EQ(platform::configurationFile("debug.properties"), dir.file("debug.properties"));
  TChannel* vosko = nullptr;
  Captured c = captureOutput([&] { vosko = channel("vosko"); });
  EXPECT_NE(c.out.find("TProperty: Textfile: " + dir.file("debug.properties") + " does not exist."),
            std::string::npos)
      << c.out;
  EXPECT_EQ(vosko->getErrorLevel(), 4);
}

TEST(ConfigurationDirectoryTest, IsTheBuiltInstallationsDirectoryUnlessATestMovesIt) {
  const std::string real = platform::configurationDirectory();
  EXPECT_EQ(real.substr(real.size() - 7), "/vosko/");
  platform::setConfigurationDirectoryForTesting("/some/where");
  EXPECT_EQ(platform::configurationDirectory(), "/some/where/");
  platform::setConfigurationDirectoryForTesting("");
  EXPECT_EQ(platform::configurationDirectory(), real);
}

}  // namespace
