#include "convert/convert_database.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "test_util.h"

namespace {

const std::string kProgram = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";

const std::string kBanner =
    "\n"
    "vosko - database converter version 1.2.2\n"
    "Copyright (c) 1999-2026 Tarquo. All rights reserved.\n"
    "\n";
const std::string kUsage =
    "\n"
    "usage: convertVOSKO <version> <input-file> <output-file>\n"
    "\n"
    "Important: <version> is either '1.5', '2.0', '2.5', '2.5.3' or '2.5.5'.\n"
    "\n";

TEST(ConvertDatabaseTest, WrongArgumentCountShowsUsage) {
  testutil::TempDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"2.5.5", "in"}, {"2.5.5", "in", "out", "extra"}}) {
    testutil::RunResult r = testutil::run(kProgram, args, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, kBanner + kUsage);
    EXPECT_EQ(r.err, "");
  }
  EXPECT_TRUE(dir.entries().empty());
}

TEST(ConvertDatabaseTest, HelpAndVersionAloneExitWithZero) {
  testutil::TempDir dir;
  testutil::RunResult help = testutil::run(kProgram, {"--help"}, dir.path());
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out, kBanner + kUsage);
  EXPECT_EQ(help.err, "");
  testutil::RunResult version = testutil::run(kProgram, {"--version"}, dir.path());
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, kBanner);
  EXPECT_EQ(version.err, "");
  // Beside other arguments, or spelt otherwise, they are a wrong argument count.
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help", "in"},
                                               {"--version", "in", "out", "extra"},
                                               {"-h"},
                                               {"--HELP"},
                                               {"--version "}}) {
    testutil::RunResult r = testutil::run(kProgram, args, dir.path());
    EXPECT_EQ(r.exitCode, 2) << args[0];
    EXPECT_EQ(r.out, kBanner + kUsage) << args[0];
  }
  EXPECT_TRUE(dir.entries().empty());
}

TEST(ConvertDatabaseTest, IllegalVersionIsReportedOnceAndCreatesNothing) {
  testutil::TempDir dir;
  testutil::RunResult r = testutil::run(kProgram, {"2.5.4", "in.vsk", "out.vsk"}, dir.path());
  EXPECT_EQ(r.exitCode, 1);
  ASSERT_EQ(r.out.substr(0, kBanner.size()), kBanner);
  std::string report = r.out.substr(kBanner.size());
  // "dd.mm.yyyy hh:nn:ss.zzz " -- the time stamp's shape, digits where digits belong.
  const std::string stamp = "00.00.0000 00:00:00.000 ";
  ASSERT_GT(report.size(), stamp.size());
  for (size_t i = 0; i < stamp.size(); ++i) {
    EXPECT_EQ(stamp[i] == '0', std::isdigit(static_cast<unsigned char>(report[i])) != 0) << report;
  }
  std::string rest = report.substr(stamp.size());
  const std::string lines =
      "vosko: FATAL ERROR: convertVosko.exe: Illegal version parameter: '2.5.4'.\n"
      "\n"
      "\texception\n"
      "\tclass: IllegalArgumentException\n"
      "\tmessage: Illegal version parameter: '2.5.4'.\n";
  ASSERT_EQ(rest.substr(0, lines.size()), lines);
  rest = rest.substr(lines.size());
  // The system's text for its last error, if it has one, then the entry's
  // closing empty line and the console writer's own line end; nothing else.
  if (rest.rfind("\tsystem message: ", 0) == 0) rest = rest.substr(rest.find('\n') + 1);
  EXPECT_EQ(rest, "\n\n");
  EXPECT_TRUE(dir.entries().empty());
}

TEST(ConvertDatabaseTest, VersionIsComparedExactly) {
  for (const std::string version : {"", "2.5 ", "2.50", " 2.5", "2.5.4", "2_5", "V2.5"}) {
    try {
      convertDatabase(version, "in", "out");
      ADD_FAILURE() << version;
    } catch (const IllegalArgumentException& e) {
      EXPECT_EQ(e.message(), "Illegal version parameter: '" + version + "'.");
    }
  }
}

// Files name their classes: a module whose start-up step is left out, or a
// class it leaves unregistered, makes every file naming them fail to load.
TEST(ConvertDatabaseTest, StartUpRegistersTheClassesOfEveryModule) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> modules = {
      {"basis",
       {"TPObject", "TFile", "TTextFile", "TStringCollection", "TArrayList", "TString", "TInteger",
        "TBoolean", "TTDateTime", "THashSet", "TStringSet", "TMapEntry", "THashtable", "TStringtable",
        "TProperties"}},
      {"debug", {"TDebugEntries", "TDebugEntry", "TTraceEntry", "TErrorEntry"}},
      {"data",
       {"TTOCTrack", "TTOCData", "TTitle", "TTOCList", "TSoundCarrier", "TSoundCarriers", "TArtistRelation",
        "TArtistRelations"}},
      {"legacy objects",
       {"TTitle2_5", "TSoundCarriers2_5", "TTitle2_5_3", "TSoundCarriers2_5_3", "TTitle2_5_5",
        "TSoundCarriers2_5_5"}}};
  for (const auto& [module, names] : modules) {
    for (const std::string& name : names) {
      EXPECT_TRUE(ClassRegistry::isRegistered(name)) << module << ": " << name;
      std::unique_ptr<TMappedObject> made = ClassRegistry::create(name);
      ASSERT_NE(made, nullptr) << module << ": " << name;
      EXPECT_EQ(made->className(), name);
    }
  }
}

}  // namespace
