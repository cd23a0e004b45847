// TConfig2_5_5, TConfig2_5_3 and TConfig2_5: the eleven values of the older
// configurations, their defaults and their messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "config_test_util.h"
#include "data/config.h"
#include "data/legacy/v2_5/config_2_5.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "data/legacy/v2_5_3/config_2_5_3.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "data/legacy/v2_5_5/config_2_5_5.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "platform/registry.h"

using configtest::Captured;
using configtest::captureOutput;
using configtest::storeWith;
using testing::HasSubstr;

namespace {

template <class T>
class LegacyConfigTest : public configtest::RegistryFixture {
 protected:
  static std::string prefix(const char* operation) {
    return std::string(T::kClassName) + "." + operation + ": ";
  }

  template <class F>
  static void expectIllegalState(F f, const std::string& message) {
    try {
      f();
      ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const IllegalStateException& e) {
      EXPECT_EQ(e.message(), message);
    }
  }

  static void expectDefaults(const T& c) {
    EXPECT_EQ(c.database, "mylib.vsk");
    EXPECT_EQ(c.artistsDatabase, "untitled.art");
    EXPECT_EQ(c.columnOrder, "K\xFCnstler:138.");
    EXPECT_EQ(c.nameColumnWidth, 165);
    EXPECT_EQ(c.detailsWidth, 270);
    EXPECT_EQ(c.width, 613);
    EXPECT_EQ(c.height, 560);
    EXPECT_FALSE(c.exitFlag);
    EXPECT_EQ(c.titleColumnWidth, 73);
    EXPECT_EQ(c.artistColumnWidth, 73);
    EXPECT_EQ(c.urlColumnWidth, 50);
  }
};

using LegacyConfigs = testing::Types<TConfig2_5_5, TConfig2_5_3, TConfig2_5>;
TYPED_TEST_SUITE(LegacyConfigTest, LegacyConfigs);

TYPED_TEST(LegacyConfigTest, FirstCreateStoresOnlyTheElevenValuesOfTheVersion) {
  std::unique_ptr<TypeParam> config;
  Captured c = captureOutput([&] { config = std::make_unique<TypeParam>("Old"); });
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(config->keyName, "Old");
  this->expectDefaults(*config);
  const std::string stored = storeWith("Old", configtest::kSharedDefaultLines);
  EXPECT_EQ(this->storeText(), stored);

  TypeParam again("Old");
  this->expectDefaults(again);
  EXPECT_EQ(this->storeText(), stored);
}

TYPED_TEST(LegacyConfigTest, ReadsTheKeyOfTheCurrentConfigurationWithoutTouchingIt) {
  TConfig current("Shared");
  current.width = 1024;
  current.exitFlag = true;
  current.toRegistry();
  const std::string stored = this->storeText();
  TypeParam old("Shared");
  EXPECT_EQ(old.width, 1024);
  EXPECT_TRUE(old.exitFlag);
  EXPECT_EQ(this->storeText(), stored);
}

TYPED_TEST(LegacyConfigTest, BadValueDeletesOnlyTheVersionsValuesAndWarnsWithItsName) {
  TConfig current("Shared");
  this->configKey("Shared").writeString("width", "wide");
  std::unique_ptr<TypeParam> config;
  Captured c = captureOutput([&] { config = std::make_unique<TypeParam>("Shared"); });
  const std::string warning = this->prefix("fromRegistry") + "Illegal registry values. Restore defaults.";
  EXPECT_THAT(c.out, HasSubstr("vosko: WARNING: " + warning + "\n"));
  EXPECT_THAT(c.out, HasSubstr("\tmessage: Invalid data type for 'width'\n"));
  EXPECT_THAT(c.err, HasSubstr("WARNING: " + warning));
  this->expectDefaults(*config);
  // The current configuration's own values stay; the eleven follow them anew.
  EXPECT_EQ(this->storeText(), storeWith("Shared", std::string(configtest::kCurrentExtraDefaultLines) +
                                                       configtest::kSharedDefaultLines));
}

TYPED_TEST(LegacyConfigTest, MessagesCarryTheClassName) {
  TypeParam config("Old");
  const std::string stored = this->storeText();
  config.height = 0;
  this->expectIllegalState([&] { config.toRegistry(); },
                           this->prefix("toRegistry") + "Try to store illegal registry values.");
  config.height = 1;
  config.keyName = "two\nlines";
  this->expectIllegalState([&] { config.toRegistry(); },
                           this->prefix("toRegistry") + "Illegal registry structure.");
  EXPECT_EQ(this->storeText(), stored);

  testutil::writeFile(this->dir.file("plain"), "");
  this->useStore(this->dir.file("plain") + "/registry.reg");
  this->expectIllegalState([] { TypeParam("Old"); },
                           this->prefix("fromRegistry") + "Illegal registry structure.");
}

}  // namespace

namespace {

template <class Db>
class LegacyDatabaseConfigTest : public configtest::RegistryFixture {};

using LegacyDatabases = testing::Types<TSoundCarriers2_5_5, TSoundCarriers2_5_3, TSoundCarriers2_5>;
TYPED_TEST_SUITE(LegacyDatabaseConfigTest, LegacyDatabases);

TYPED_TEST(LegacyDatabaseConfigTest, DatabaseWithAConfigurationNameOwnsItsConfiguration) {
  TypeParam plain;
  EXPECT_EQ(plain.getConfig(), nullptr);
  TypeParam configured("living room");
  ASSERT_NE(configured.getConfig(), nullptr);
  EXPECT_EQ(configured.getConfig()->keyName, "living room");
  EXPECT_EQ(configured.size(), 0);
  platform::Registry registry;
  EXPECT_TRUE(registry.keyExists("Software\\Tarquo\\Vosko\\living room"));
}

}  // namespace
