// Helpers of the 1.5 and 2.0 reader tests: the expected 2.5.7 output built
// field by field from its documented layout (independently of the model's
// writer), the settings store of each test, running a conversion with its
// failure message, and a description of each version (Version1_5,
// Version2_0) for the fixture LegacyTest<Version> that the scenarios both
// versions share are typed over.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/legacy/v1_5/config_1_5.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/config_2_0.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "legacy_sample.h"
#include "platform/exception.h"
#include "platform/registry.h"
#include "test_util.h"

namespace relationaltest {

using testutil::block;
using testutil::dbl;
using testutil::le32;
using testutil::object;
using testutil::str;

const std::string kHeader2_0 = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.0]";
const std::string kHeader1_5 = "[Application:Vosko.Type:SoundCarrier-Database]";
const std::string kReadError = "Fehler beim Lesen der Datenbasis.";
const std::string kFormatError =
    "Fehler beim Lesen der Datenbasis: Die angegebene Datei entspricht nicht dem g\xFCltigen Format.";
// The warning box as standard error shows it (UTF-8).
const std::string kRestoreNotice =
    "[Warning] Die Windows-Registrierdatenbank enth\xC3\xA4lt ung\xC3\xBCltige Werte. "
    "Es werden die Standardeinstellungen restauriert.\n";

struct Title {
  std::string name;
  std::string artist;
  std::string url;
  int32_t track;
};

struct Carrier {
  std::string name;
  std::string label;
  std::string artist;
  std::string type;
  double release;
  std::string notes;
  std::string contentType;
  std::vector<Title> titles;
};

// A 2.5.7 database of these carriers: the header and the root block holding
// each carrier as the object "TSoundCarrier" with an empty "TTOCList" and its
// titles as "TTitle" objects ("Original", no remix or film, disc 0).
inline std::string database2_5_7(const std::vector<Carrier>& carriers) {
  std::string root = le32(static_cast<int64_t>(carriers.size()));
  for (const Carrier& c : carriers) {
    std::string content = str(c.name) + str(c.label) + str(c.artist) + str(c.type) + dbl(c.release) +
                          str(c.notes) + str(c.contentType) + str("") + str("") +
                          object("TTOCList", le32(0)) + le32(static_cast<int64_t>(c.titles.size()));
    for (const Title& t : c.titles) {
      content += object("TTitle", str(t.name) + str(t.artist) + str(t.url) + le32(t.track) + str("Original") +
                                      str("") + str("") + le32(0));
    }
    root += object("TSoundCarrier", content);
  }
  return "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]" + block(root);
}

// A stored list: its count, then its records.
inline std::string list(const std::vector<std::string>& records) {
  std::string r = le32(static_cast<int64_t>(records.size()));
  for (const std::string& record : records) r += record;
  return r;
}

// Every test works on its own settings file in its own directory.
class RelationalTest : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VOSKO_REGISTRY", registryPath().c_str(), 1);
    input = dir.file("in.vsk");
    output = dir.file("out.vsk");
  }
  void TearDown() override { ::unsetenv("VOSKO_REGISTRY"); }

  std::string registryPath() const { return dir.file("registry.reg"); }

  // The settings store with the product key open, where 1.5 and 2.0 keep
  // their settings; the key is made when missing.
  static platform::Registry productKey() {
    platform::Registry registry;
    EXPECT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko", true));
    return registry;
  }

  // Settings at the product key that a manager reads without complaint:
  // the two texts, these numbers (all 100) and exitFlag true.
  void writeCompleteSettings(const std::vector<std::string>& numbers) {
    platform::Registry registry = productKey();
    registry.writeString("database", "eigene.vsk");
    registry.writeString("columnOrder", "Titel:80.");
    for (const std::string& name : numbers) registry.writeInteger(name, 100);
    registry.writeBool("exitFlag", true);
  }

  // Runs the conversion and returns the message it fails with ("" for none),
  // capturing what it shows on standard error.
  std::string failureOf(const std::function<void()>& conversion) {
    testing::internal::CaptureStderr();
    std::string message;
    failureClass.clear();
    try {
      conversion();
    } catch (const std::exception& e) {
      message = platform::exceptionMessage(e);
      failureClass = platform::exceptionClassName(e);
    }
    notices = testing::internal::GetCapturedStderr();
    return message;
  }

  testutil::TempDir dir;
  std::string input;
  std::string output;
  std::string notices;       // standard error of the last failureOf
  std::string failureClass;  // class of the exception failureOf caught
};

// What the shared scenarios need to know of a version.
struct Version1_5 {
  using Manager = TManager1_5;
  using Config = TConfig1_5;
  static constexpr const char* kVersion = "1.5";
  static inline const std::string kHeader = kHeader1_5;
  static constexpr size_t kHeaderSize = 46;
  static inline const std::string kOtherHeader = kHeader2_0;
  // The numbers a complete settings key holds.
  static inline const std::vector<std::string> kNumbers = {
      "nameColumnWidth", "height", "width", "detailsWidth", "titleColumnWidth", "urlColumnWidth"};
  static void convert(const std::string& input, const std::string& output) {
    convert1_5(std::make_unique<TManager1_5>(""), input, output);
  }
  // A sample that ends on a record's last byte.
  static inline const std::string kWholeSample = R"(artist 1 "Die Ärzte"
              label 2 "Hot Action"
              title 3 "Schrei nach Liebe" url "u" carriers 4 4
              carrier 4 "Die Bestie" artist 1 label 2 notes "a\r\nb" type "Compact Disc")";
  // The input converted in the settings scenarios ("" for none).
  static inline const std::string kSettingsSample = "";
  // A carrier with nothing but this release, and the type it converts with.
  static std::string releaseRecord(int32_t, double release) {
    return le32(1) + str("C") + le32(-1) + le32(-1) + dbl(release) + str("") + str("");
  }
  static inline const std::string kReleaseRecordType = "";
  // The settings a fresh store gets; the values named in kAbsent are not written.
  static inline const std::string kDefaultColumnOrder = "K\xFCnstler:106.Release:106.";
  static inline const std::vector<std::pair<std::string, int32_t>> kDefaultNumbers = {
      {"nameColumnWidth", 107}, {"detailsWidth", 270},    {"width", 604},        {"height", 496},
      {"exitFlag", 0},          {"titleColumnWidth", 98}, {"urlColumnWidth", 98}};
  static inline const std::vector<std::string> kAbsent = {"artistColumnWidth"};
  // A number the scenario stores as a string, and its default.
  static inline const std::pair<std::string, int32_t> kBrokenNumber = {"urlColumnWidth", 98};
};

struct Version2_0 {
  using Manager = TManager2_0;
  using Config = TConfig2_0;
  static constexpr const char* kVersion = "2.0";
  static inline const std::string kHeader = kHeader2_0;
  static constexpr size_t kHeaderSize = 58;
  static inline const std::string kOtherHeader = kHeader1_5;
  static inline const std::vector<std::string> kNumbers = {
      "nameColumnWidth",   "height",        "width", "detailsWidth", "titleColumnWidth",
      "artistColumnWidth", "urlColumnWidth"};
  static void convert(const std::string& input, const std::string& output) {
    convert2_0(std::make_unique<TManager2_0>(""), input, output);
  }
  static inline const std::string kWholeSample = R"(artist 1 "Die Ärzte"
              label 2 "Hot Action"
              title 3 "Schrei nach Liebe" url "u" artist 1 carriers 4
              carrier 4 "Die Bestie" label 2 notes "a\r\nb" type "Compact Disc")";
  static inline const std::string kSettingsSample = "carrier 1 \"Eins\"";
  static std::string releaseRecord(int32_t id, double release) {
    return le32(id) + str("C") + dbl(0) + le32(-1) + dbl(release) + str("") + str("Compact Disc");
  }
  static inline const std::string kReleaseRecordType = "Compact Disc";
  static inline const std::string kDefaultColumnOrder = "K\xFCnstler:138.";
  static inline const std::vector<std::pair<std::string, int32_t>> kDefaultNumbers = {
      {"nameColumnWidth", 165},  {"detailsWidth", 270}, {"width", 613},
      {"height", 560},           {"exitFlag", 0},       {"titleColumnWidth", 73},
      {"artistColumnWidth", 73}, {"urlColumnWidth", 50}};
  static inline const std::vector<std::string> kAbsent = {};
  static inline const std::pair<std::string, int32_t> kBrokenNumber = {"width", 613};
};

// A test of one version, whose settings are complete unless it changes them.
template <class Version>
class LegacyTest : public RelationalTest {
 protected:
  void SetUp() override {
    RelationalTest::SetUp();
    writeCompleteSettings(Version::kNumbers);
  }

  // Writes the input from a description of the sample writer.
  void describe(const std::string& records) {
    sample::writeLegacyDatabase(std::string("format ") + Version::kVersion + "\n" + records, input);
  }

  // The message the conversion of `input` fails with; "" when it succeeds.
  std::string convert() {
    return failureOf([this] { Version::convert(input, output); });
  }

  // Converts the input the settings scenarios use, as convert() does.
  std::string convertSettingsSample() {
    if (!Version::kSettingsSample.empty()) describe(Version::kSettingsSample);
    return convert();
  }

  // The message that loading `path` fails with; "" when it succeeds.
  std::string loadFailure(typename Version::Manager& manager, const std::string& path) {
    manager.setFileName(path);
    return failureOf([&] { manager.load(); });
  }
};

}  // namespace relationaltest
