// voskodb upgrade against convertVOSKO given the right version: the same
// output bytes, the same report lines, the same exit code, on the samples
// and on broken files, and the same file left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

const std::vector<std::string> kBanner = {"", "vosko - database converter version 1.2.2",
                                          "Copyright (c) 1999-2026 Tarquo. All rights reserved.", ""};

class UpgradeTest : public VoskodbTest {
 protected:
  // Runs both programs on `input`, each into a target of its own that holds
  // `existing` first (none when empty), and expects the same of both.
  void expectSameAsConverter(const std::string& version, const std::string& input,
                             const std::string& existing, int expectedExitCode) {
    SCOPED_TRACE(input);
    const std::string byConverter = dir_.file("by-converter.vsk"), byUpgrade = dir_.file("by-upgrade.vsk");
    for (const std::string& target : {byConverter, byUpgrade}) {
      unlink(target.c_str());
      if (!existing.empty()) testutil::writeFile(target, existing);
    }
    testutil::RunResult converter = run(kConverter, {version, input, byConverter});
    testutil::RunResult upgrade = voskodb({"upgrade", input, byUpgrade});

    EXPECT_EQ(expectedExitCode, converter.exitCode) << converter.out;
    EXPECT_EQ(converter.exitCode, upgrade.exitCode);
    EXPECT_EQ(testutil::exists(byConverter), testutil::exists(byUpgrade));
    EXPECT_EQ(testutil::readFile(byConverter), testutil::readFile(byUpgrade));
    if (!existing.empty() && expectedExitCode != 0) {
      EXPECT_EQ(existing, testutil::readFile(byUpgrade));
    }

    std::vector<std::string> converterLines = lines(converter.out);
    ASSERT_GE(converterLines.size(), kBanner.size());
    EXPECT_EQ(kBanner, std::vector<std::string>(converterLines.begin(), converterLines.begin() + 4));
    converterLines.erase(converterLines.begin(), converterLines.begin() + 4);
    // voskodb reports on standard error, after the notices the converter's
    // standard error holds too.
    std::vector<std::string> upgradeLines = lines(upgrade.out);
    if (upgrade.exitCode == 0) {
      ASSERT_FALSE(upgradeLines.empty());
      EXPECT_EQ("upgraded " + input + " (old format " + version + ") to " + byUpgrade + " (format 2.5.7)",
                upgradeLines.back());
      upgradeLines.pop_back();
    }
    EXPECT_EQ(std::vector<std::string>(), upgradeLines);
    std::vector<std::string> converterReport = lines(converter.err);
    converterReport.insert(converterReport.end(), converterLines.begin(), converterLines.end());
    EXPECT_EQ(converterReport, lines(upgrade.err));
    EXPECT_THAT(dir_.entries(), testing::Each(testing::Not(HasSubstr(".tmp"))));
  }
};

TEST_F(UpgradeTest, SamplesConvertAsTheConverterConvertsThem) {
  for (const std::string& version : kOldVersions) {
    expectSameAsConverter(version, sample(version), "", 0);
    expectSameAsConverter(version, sample(version), "an older file", 0);
  }
}

TEST_F(UpgradeTest, BrokenFilesFailAsTheConverterFails) {
  for (const std::string& version : kOldVersions) {
    const std::string whole = testutil::readFile(sample(version));
    const size_t header = version == "1.5" ? 46 : (version.size() == 3 ? 58 : 60);
    // A header alone is an empty database in the record formats 1.5 and 2.0
    // and a damaged one in the object formats, which need their block; a
    // header and a few bytes, half a file or a file without its last byte
    // are damaged.
    const int headerAlone = version == "1.5" || version == "2.0" ? 0 : 1;
    const std::vector<std::pair<size_t, int>> cuts = {
        {header, headerAlone}, {header + 2, 1}, {whole.size() / 2, 1}, {whole.size() - 1, 1}};
    int n = 0;
    for (const auto& [length, exitCode] : cuts) {
      std::string input =
          write("cut-" + version + "-" + std::to_string(++n) + ".vsk", whole.substr(0, length));
      expectSameAsConverter(version, input, "", exitCode);
      expectSameAsConverter(version, input, "an older file", exitCode);
    }
  }
  const std::string garbage =
      write("garbage-2.5.5.vsk", "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.5]" +
                                     testutil::le32(12) + testutil::le32(1) + testutil::str("TNix"));
  expectSameAsConverter("2.5.5", garbage, "", 1);
}

TEST_F(UpgradeTest, AnUnwritableTargetFailsAsTheConverterFails) {
  const std::string input = sample("2.5.3");
  const std::string target = dir_.file("no-such-dir/out.vsk");
  testutil::RunResult converter = run(kConverter, {"2.5.3", input, target});
  testutil::RunResult upgrade = voskodb({"upgrade", input, target});
  EXPECT_EQ(1, converter.exitCode);
  EXPECT_EQ(1, upgrade.exitCode);
  EXPECT_NE("", reportLine(upgrade.err));
  EXPECT_EQ(reportLine(converter.out), reportLine(upgrade.err));
  EXPECT_FALSE(testutil::exists(target));
}

TEST_F(UpgradeTest, OnlyOldDatabasesAreUpgraded) {
  const std::string target = dir_.file("out.vsk");
  const std::string current = converted("2.5.5");
  testutil::RunResult r = voskodb({"upgrade", current, target});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ(
      "vosko: FATAL ERROR: voskodb: upgrade: " + current +
          " is a sound-carrier database, current format 2.5.7; upgrade takes an old sound-carrier database "
          "(1.5, 2.0, 2.5, 2.5.3 or 2.5.5).",
      reportLine(r.err));
  EXPECT_FALSE(testutil::exists(target));

  std::string unknown = write("notes.txt", "nothing to see");
  testutil::RunResult u = voskodb({"upgrade", unknown, target});
  EXPECT_EQ(1, u.exitCode);
  EXPECT_EQ(
      "vosko: FATAL ERROR: voskodb: " + unknown +
          ": not a Vosko file (it starts with \"nothing to see\", neither a database header nor a VOSKO root "
          "element).",
      reportLine(u.err));
  EXPECT_FALSE(testutil::exists(target));
}

}  // namespace
}  // namespace vdbtest
