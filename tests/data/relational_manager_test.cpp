// The scenarios the 1.5 and 2.0 databases share, run for each version: the
// header, missing and truncated files, releases copied bit for bit, the
// version dispatch and the settings the manager reads.
#include "data/legacy/records/relational_manager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "convert/convert_database.h"
#include "relational_test_util.h"

namespace {

using relationaltest::Carrier;
using relationaltest::database2_5_7;
using relationaltest::kFormatError;
using relationaltest::kReadError;
using relationaltest::list;
using testutil::le32;
using testutil::str;

double fromBits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

template <class Version>
class RelationalManagerTest : public relationaltest::LegacyTest<Version> {};

using Versions = ::testing::Types<relationaltest::Version1_5, relationaltest::Version2_0>;
// Failures name the version: "RelationalManagerTest/Version1_5.…".
struct VersionName {
  template <class Version>
  static std::string GetName(int) {
    std::string name = std::string("Version") + Version::kVersion;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
  }
};
TYPED_TEST_SUITE(RelationalManagerTest, Versions, VersionName);

// ---- The file --------------------------------------------------------------

TYPED_TEST(RelationalManagerTest, HeaderOnlyFileConvertsToEmptyDatabase) {
  ASSERT_EQ(TypeParam::kHeader.size(), TypeParam::kHeaderSize);
  testutil::writeFile(this->input, TypeParam::kHeader);
  EXPECT_EQ(this->convert(), "");
  std::string out = testutil::readFile(this->output);
  EXPECT_EQ(out.size(), 68u);
  EXPECT_EQ(out, database2_5_7({}));
}

TYPED_TEST(RelationalManagerTest, WrongOrShortHeaderIsRejectedAndWritesNothing) {
  const std::string& header = TypeParam::kHeader;
  std::string lowerCase = header;
  lowerCase[1] = 'a';  // "[application:..."
  std::string upperCase = header;
  upperCase[13] = 'v';  // "[Application:vosko..."
  for (const std::string& bytes :
       {header.substr(0, header.size() - 1), std::string(), lowerCase + list({}), upperCase + list({}),
        TypeParam::kOtherHeader + list({}) + list({}) + list({}) + list({})}) {
    testutil::writeFile(this->input, bytes);
    EXPECT_EQ(this->convert(), kFormatError) << bytes;
    EXPECT_FALSE(testutil::exists(this->output));
  }
}

TYPED_TEST(RelationalManagerTest, TruncatedFileFailsAtEveryPoint) {
  this->describe(TypeParam::kWholeSample);
  const std::string whole = testutil::readFile(this->input);
  typename TypeParam::Manager manager("");
  const std::string cut = this->dir.file("cut.vsk");
  for (size_t size = TypeParam::kHeader.size() + 1; size < whole.size(); ++size) {
    testutil::writeFile(cut, whole.substr(0, size));
    EXPECT_EQ(this->loadFailure(manager, cut), kReadError) << size;
  }
  EXPECT_EQ(this->loadFailure(manager, this->input), "");
  EXPECT_EQ(manager.carriers().size(), 1);

  testutil::writeFile(this->input, whole.substr(0, whole.size() - 1));
  EXPECT_EQ(this->convert(), kReadError);
  EXPECT_FALSE(testutil::exists(this->output));

  // What follows the last list is never read.
  testutil::writeFile(this->input, whole + le32(INT32_MAX));
  EXPECT_EQ(this->convert(), "");

  testutil::writeFile(this->input, TypeParam::kHeader + le32(INT32_MAX) + le32(1) + str("Einer"));
  EXPECT_EQ(this->convert(), kReadError);
}

TYPED_TEST(RelationalManagerTest, MissingInputFileGivesEmptyDatabase) {
  EXPECT_EQ(this->convert(), "");
  EXPECT_EQ(testutil::readFile(this->output), database2_5_7({}));
}

// ---- The conversion ----------------------------------------------------------

TYPED_TEST(RelationalManagerTest, ReleaseIsCopiedBitForBit) {
  const std::vector<double> releases = {0.0,
                                        -0.0,
                                        std::numeric_limits<double>::denorm_min(),
                                        fromBits(0x7FF4000000000ABC),  // NaNs with a payload
                                        fromBits(0x7FF8DEADBEEF0001),
                                        36525.999999999,
                                        -693593.5,
                                        1e300};
  std::vector<std::string> records;
  std::vector<Carrier> expected;
  for (size_t i = 0; i < releases.size(); ++i) {
    records.push_back(TypeParam::releaseRecord(static_cast<int32_t>(i), releases[i]));
    expected.push_back({"C", "", "", TypeParam::kReleaseRecordType, releases[i], "", "Album", {}});
  }
  testutil::writeFile(this->input, TypeParam::kHeader + list({}) + list({}) + list({}) + list(records));
  EXPECT_EQ(this->convert(), "");
  EXPECT_EQ(testutil::readFile(this->output), database2_5_7(expected));
}

TYPED_TEST(RelationalManagerTest, DispatchConvertsTheVersion) {
  this->describe("carrier 1 \"Eins\"");
  EXPECT_EQ(this->failureOf([this] { convertDatabase(TypeParam::kVersion, this->input, this->output); }), "");
  EXPECT_EQ(testutil::readFile(this->output), database2_5_7({{"Eins", "", "", "", 0, "", "Album", {}}}));
}

// ---- Settings ----------------------------------------------------------------

TYPED_TEST(RelationalManagerTest, FreshSettingsFileGetsDefaultsAfterWarning) {
  ASSERT_EQ(::unlink(this->registryPath().c_str()), 0);
  EXPECT_EQ(this->convertSettingsSample(), "");
  EXPECT_EQ(this->notices, relationaltest::kRestoreNotice);
  EXPECT_TRUE(testutil::exists(this->output));

  platform::Registry registry = this->productKey();
  EXPECT_EQ(registry.readString("database"), "mylib.vsk");
  EXPECT_EQ(registry.readString("columnOrder"), TypeParam::kDefaultColumnOrder);
  for (const auto& [name, value] : TypeParam::kDefaultNumbers)
    EXPECT_EQ(registry.readInteger(name), value) << name;
  for (const std::string& name : TypeParam::kAbsent) EXPECT_FALSE(registry.valueExists(name)) << name;

  // Now complete: the next run is silent.
  EXPECT_EQ(this->convert(), "");
  EXPECT_EQ(this->notices, "");
}

TYPED_TEST(RelationalManagerTest, CompleteSettingsConvertSilentlyAndStayUntouched) {
  const std::string before = testutil::readFile(this->registryPath());
  EXPECT_EQ(this->convertSettingsSample(), "");
  EXPECT_EQ(this->notices, "");
  EXPECT_EQ(testutil::readFile(this->registryPath()), before);

  typename TypeParam::Config config("");
  EXPECT_EQ(config.database, "eigene.vsk");
  EXPECT_EQ(config.columnOrder, "Titel:80.");
  EXPECT_EQ(config.urlColumnWidth, 100);
  if constexpr (requires { config.artistColumnWidth; }) {
    EXPECT_EQ(config.artistColumnWidth, 100);
  }
  EXPECT_TRUE(config.exitFlag);
  EXPECT_EQ(typename TypeParam::Manager("").getFileName(), "eigene.vsk");
}

TYPED_TEST(RelationalManagerTest, StringWhereANumberBelongsRestoresDefaults) {
  const auto& [name, value] = TypeParam::kBrokenNumber;
  this->productKey().writeString(name, std::to_string(value));
  EXPECT_EQ(this->convertSettingsSample(), "");
  EXPECT_EQ(this->notices, relationaltest::kRestoreNotice);
  EXPECT_TRUE(testutil::exists(this->output));
  platform::Registry registry = this->productKey();
  EXPECT_EQ(registry.readInteger(name), value);
  EXPECT_EQ(registry.readString("database"), "mylib.vsk");
  EXPECT_EQ(registry.readInteger("exitFlag"), 0);
  typename TypeParam::Config config("");
  EXPECT_EQ(config.database, "mylib.vsk");
  EXPECT_FALSE(config.exitFlag);
}

}  // namespace
