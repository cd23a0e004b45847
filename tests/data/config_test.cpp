// TConfig: the application configuration in the settings store, and the
// database that owns one.
#include "data/config.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "config_test_util.h"
#include "data/sound_carriers.h"
#include "platform/registry.h"

using configtest::Captured;
using configtest::captureOutput;
using configtest::storeWith;
using testing::HasSubstr;

namespace {

const std::string kDefaultLines =
    std::string(configtest::kSharedDefaultLines) + configtest::kCurrentExtraDefaultLines;

const char* const kWarning = "TConfig.fromRegistry: Illegal registry values. Restore defaults.";
const char* const kIllegalValues = "TConfig.toRegistry: Try to store illegal registry values.";

void expectDefaults(const TConfig& c) {
  EXPECT_EQ(c.database, "mylib.vsk");
  EXPECT_EQ(c.artistsDatabase, "untitled.art");
  EXPECT_EQ(c.columnOrder, "K\xFCnstler:138.");
  EXPECT_EQ(c.columnOrder.size(), 13u);
  EXPECT_EQ(c.nameColumnWidth, 165);
  EXPECT_EQ(c.detailsWidth, 270);
  EXPECT_EQ(c.width, 613);
  EXPECT_EQ(c.height, 560);
  EXPECT_FALSE(c.exitFlag);
  EXPECT_EQ(c.titleColumnWidth, 73);
  EXPECT_EQ(c.artistColumnWidth, 73);
  EXPECT_EQ(c.urlColumnWidth, 50);
  EXPECT_EQ(c.cddbHost, "gnudb.gnudb.org");
  EXPECT_EQ(c.cddbPort, 80);
  EXPECT_TRUE(c.buildTitleIndex);
}

// The warning of a failed read: one console record and one message box.
void expectWarning(const Captured& c, const std::string& message, const std::string& cause) {
  EXPECT_THAT(c.out, HasSubstr("vosko: WARNING: " + message + "\n"));
  EXPECT_THAT(c.out, HasSubstr("\tclass: ERegistryException\n"));
  EXPECT_THAT(c.out, HasSubstr("\tmessage: " + cause + "\n"));
  EXPECT_THAT(c.err, HasSubstr("[Error] "));
  EXPECT_THAT(c.err, HasSubstr("WARNING: " + message));
}

template <class E, class F>
void expectThrowMessage(F f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.message(), message);
  }
}

class ConfigTest : public configtest::RegistryFixture {};

TEST_F(ConfigTest, FirstCreateStoresAllFourteenDefaultsAndLaterCreatesReadThem) {
  std::unique_ptr<TConfig> config;
  Captured c = captureOutput([&] { config = std::make_unique<TConfig>("Home"); });
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(c.err, "");
  EXPECT_EQ(config->keyName, "Home");
  expectDefaults(*config);
  const std::string stored = storeWith("Home", kDefaultLines);
  EXPECT_EQ(storeText(), stored);

  // The key exists now: read, not rewritten.
  TConfig again("Home");
  expectDefaults(again);
  EXPECT_EQ(storeText(), stored);
}

TEST_F(ConfigTest, ChangedValuesReadBackAsWritten) {
  TConfig config("Home");
  config.database = "C:\\Musik\\\"meine\" Sammlung.vsk";
  config.artistsDatabase = "K\xFCnstler.art";
  config.columnOrder = "Titel:90.K\xFCnstler:138.";
  config.nameColumnWidth = -7;
  config.setSizes(1, 0x7FFFFFFF, 2);
  config.exitFlag = true;
  config.titleColumnWidth = 0;
  config.artistColumnWidth = -2147483647 - 1;
  config.urlColumnWidth = 12;
  config.cddbHost = "";
  config.cddbPort = 8880;
  config.buildTitleIndex = false;
  config.toRegistry();

  TConfig read("Home");
  EXPECT_EQ(read.database, config.database);
  EXPECT_EQ(read.artistsDatabase, config.artistsDatabase);
  EXPECT_EQ(read.columnOrder, config.columnOrder);
  EXPECT_EQ(read.nameColumnWidth, -7);
  EXPECT_EQ(read.detailsWidth, 1);
  EXPECT_EQ(read.width, 0x7FFFFFFF);
  EXPECT_EQ(read.height, 2);
  EXPECT_TRUE(read.exitFlag);
  EXPECT_EQ(read.titleColumnWidth, 0);
  EXPECT_EQ(read.artistColumnWidth, -2147483647 - 1);
  EXPECT_EQ(read.urlColumnWidth, 12);
  EXPECT_EQ(read.cddbHost, "");
  EXPECT_EQ(read.cddbPort, 8880);
  EXPECT_FALSE(read.buildTitleIndex);
  // Values keep their places when written again.
  EXPECT_THAT(storeText(), HasSubstr("\"database\"=\"C:\\\\Musik\\\\\\\"meine\\\" Sammlung.vsk\"\n"
                                     "\"artistsDatabase\"=\"K\xC3\xBCnstler.art\"\n"));
  EXPECT_THAT(storeText(), HasSubstr("\"exitFlag\"=dword:00000001\n"));
  EXPECT_THAT(storeText(), HasSubstr("\"artistColumnWidth\"=dword:80000000\n"));
}

TEST_F(ConfigTest, NumberStoredAsTextDeletesValuesWarnsAndRestoresDefaults) {
  // The values in another order, "width" as text, and a value that is not the
  // configuration's and must stay.
  setStoreText(storeWith("Home",
                         "\"lastCarrier\"=\"Blue\"\n"
                         "\"buildTitleIndex\"=dword:00000000\n"
                         "\"width\"=\"wide\"\n"
                         "\"database\"=\"other.vsk\"\n"
                         "\"height\"=dword:00000100\n"
                         "\"cddbHost\"=\"example.org\"\n"
                         "\"nameColumnWidth\"=dword:00000001\n"
                         "\"detailsWidth\"=dword:00000001\n"
                         "\"exitFlag\"=dword:00000001\n"));
  std::unique_ptr<TConfig> config;
  Captured c = captureOutput([&] { config = std::make_unique<TConfig>("Home"); });
  expectWarning(c, kWarning, "Invalid data type for 'width'");
  expectDefaults(*config);
  // Every value was deleted and written anew, so they follow in writing order.
  EXPECT_EQ(storeText(), storeWith("Home", "\"lastCarrier\"=\"Blue\"\n" + kDefaultLines));
}

TEST_F(ConfigTest, FailedReadKeepsFieldsReadBeforeTheFailure) {
  TConfig config("Home");
  {
    platform::Registry key = configKey("Home");
    key.writeString("database", "other.vsk");
    key.writeInteger("height", 999);
    key.writeString("width", "wide");
    key.writeString("detailsWidth", "narrow");
  }
  bool result = true;
  Captured c = captureOutput([&] { result = config.fromRegistry("Home"); });
  EXPECT_FALSE(result);
  expectWarning(c, kWarning, "Invalid data type for 'width'");
  EXPECT_EQ(config.database, "other.vsk");
  // The sizes are read as height, width, detailsWidth, so "width" fails
  // first, and they are set together once all of them are read.
  EXPECT_EQ(config.height, 560);
  // fromRegistry alone restores nothing: the key is left empty.
  EXPECT_EQ(storeText(), storeWith("Home", ""));
}

TEST_F(ConfigTest, MissingStringValueReadsEmptyAndCountsAsRead) {
  TConfig("Home");
  configKey("Home").deleteValue("cddbHost");
  const std::string stored = storeText();
  std::unique_ptr<TConfig> config;
  Captured c = captureOutput([&] { config = std::make_unique<TConfig>("Home"); });
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(c.err, "");
  EXPECT_EQ(config->cddbHost, "");
  EXPECT_EQ(config->cddbPort, 80);
  EXPECT_EQ(config->database, "mylib.vsk");
  EXPECT_EQ(storeText(), stored);
  EXPECT_TRUE(config->fromRegistry("Home"));
}

TEST_F(ConfigTest, StringStoredAsNumberOrMissingNumberFailsTheRead) {
  struct Case {
    const char* what;
    const char* cause;
  } cases[] = {{"cddbHost as a number", "Invalid data type for 'cddbHost'"},
               {"cddbPort missing", "Failed to get data for 'cddbPort'"},
               {"buildTitleIndex missing", "Failed to get data for 'buildTitleIndex'"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    setStoreText("");
    TConfig("Home");
    {
      platform::Registry key = configKey("Home");
      if (std::string(k.what) == "cddbHost as a number") {
        key.writeInteger("cddbHost", 1);
      } else if (std::string(k.what) == "cddbPort missing") {
        key.deleteValue("cddbPort");
      } else {
        key.deleteValue("buildTitleIndex");
      }
    }
    std::unique_ptr<TConfig> config;
    Captured c = captureOutput([&] { config = std::make_unique<TConfig>("Home"); });
    expectWarning(c, kWarning, k.cause);
    expectDefaults(*config);
    EXPECT_EQ(storeText(), storeWith("Home", kDefaultLines));
  }
}

TEST_F(ConfigTest, IllegalValuesAreRefusedAndNothingIsWritten) {
  TConfig config("Home");
  config.keyName = "Other";
  config.height = 0;
  const std::string stored = storeText();
  expectThrowMessage<IllegalStateException>([&] { config.toRegistry(); }, kIllegalValues);
  EXPECT_EQ(storeText(), stored);  // not even the key "Other"

  void (*breakers[])(TConfig&) = {
      [](TConfig& c) { c.keyName.clear(); },         [](TConfig& c) { c.database.clear(); },
      [](TConfig& c) { c.artistsDatabase.clear(); }, [](TConfig& c) { c.columnOrder.clear(); },
      [](TConfig& c) { c.detailsWidth = 0; },        [](TConfig& c) { c.width = -1; },
      [](TConfig& c) { c.height = -2147483647 - 1; }};
  for (auto breakIt : breakers) {
    TConfig c("Home");
    breakIt(c);
    EXPECT_FALSE(c.isValid());
    expectThrowMessage<IllegalStateException>([&] { c.toRegistry(); }, kIllegalValues);
    EXPECT_EQ(storeText(), stored);
  }

  // The other widths, the server and the switches do not count.
  TConfig loose("Home");
  loose.nameColumnWidth = loose.titleColumnWidth = loose.artistColumnWidth = loose.urlColumnWidth = 0;
  loose.cddbHost.clear();
  loose.cddbPort = -1;
  EXPECT_TRUE(loose.isValid());
  loose.toRegistry();
  EXPECT_THAT(storeText(), HasSubstr("\"cddbHost\"=\"\"\n\"cddbPort\"=dword:ffffffff\n"));
}

TEST_F(ConfigTest, UnparseableStoreFailsAndIsNeverReplaced) {
  const std::string broken = std::string(configtest::kFileHeader) +
                             "[HKEY_CURRENT_USER\\Software]\n"
                             "\"x\"=bogus\n";
  setStoreText(broken);
  expectThrowMessage<IllegalStateException>(
      [] { TConfig("Home"); },
      "TConfig.fromRegistry: Illegal registry structure. (ERegistryException) Invalid registry file '" +
          storePath + "', line 4: unsupported value type");
  EXPECT_EQ(storeText(), broken);

  // Broken after the configuration was read: writing fails the same way.
  setStoreText("");
  TConfig config("Home");
  setStoreText(broken);
  expectThrowMessage<IllegalStateException>(
      [&] { config.toRegistry(); },
      "TConfig.toRegistry: Illegal registry structure. (ERegistryException) Invalid registry file '" +
          storePath + "', line 4: unsupported value type");
  EXPECT_EQ(storeText(), broken);
}

TEST_F(ConfigTest, KeysThatCannotBeMadeAreIllegalStructure) {
  TConfig config("Home");
  const std::string stored = storeText();
  config.keyName = "two\nlines";
  expectThrowMessage<IllegalStateException>([&] { config.toRegistry(); },
                                            "TConfig.toRegistry: Illegal registry structure.");
  EXPECT_EQ(storeText(), stored);

  // A store whose directory cannot be made: a plain file stands in its way.
  testutil::writeFile(dir.file("plain"), "");
  useStore(dir.file("plain") + "/registry.reg");
  expectThrowMessage<IllegalStateException>([] { TConfig("Home"); },
                                            "TConfig.fromRegistry: Illegal registry structure.");
}

TEST_F(ConfigTest, EmptyNameLeavesTheProductKeyValuesAlone) {
  // The product key holds the settings of the 1.5 and 2.0 applications.
  const std::string legacy = std::string(configtest::kFileHeader) +
                             "[HKEY_CURRENT_USER\\Software]\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Tarquo]\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko]\n"
                             "\"database\"=\"alt.vsk\"\n"
                             "\"width\"=dword:00000100\n\n";
  setStoreText(legacy);
  Captured c =
      captureOutput([] { expectThrowMessage<IllegalStateException>([] { TConfig(""); }, kIllegalValues); });
  EXPECT_EQ(c.out, "");
  EXPECT_EQ(storeText(), legacy);
}

TEST_F(ConfigTest, DatabaseMadeWithANameOwnsItsConfiguration) {
  TSoundCarriers plain;
  EXPECT_EQ(plain.getConfig(), nullptr);
  EXPECT_FALSE(testutil::exists(storePath));

  TSoundCarriers database("Home");
  ASSERT_NE(database.getConfig(), nullptr);
  EXPECT_EQ(database.getConfig()->keyName, "Home");
  expectDefaults(*database.getConfig());
  EXPECT_EQ(database.size(), 0);
  EXPECT_EQ(database.getFileName(), "");
  EXPECT_EQ(storeText(), storeWith("Home", kDefaultLines));

  // A configuration that cannot be made leaves no half-made database behind.
  expectThrowMessage<IllegalStateException>([] { TSoundCarriers(""); }, kIllegalValues);
}

}  // namespace
