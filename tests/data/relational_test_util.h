// Helpers of the 1.5 and 2.0 reader tests: the expected 2.5.7 output built
// field by field from its documented layout (independently of the model's
// writer), the settings store of each test, and running a conversion with
// its failure message.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/registry.h"
#include "test_util.h"

namespace relationaltest {

using testutil::block;
using testutil::dbl;
using testutil::le32;
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
                          str(c.notes) + str(c.contentType) + str("") + str("") + str("TTOCList") +
                          block(le32(0)) + le32(static_cast<int64_t>(c.titles.size()));
    for (const Title& t : c.titles) {
      content += str("TTitle") + block(str(t.name) + str(t.artist) + str(t.url) + le32(t.track) +
                                       str("Original") + str("") + str("") + le32(0));
    }
    root += str("TSoundCarrier") + block(content);
  }
  return "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]" + block(root);
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

  // Settings at the product key that a manager reads without complaint:
  // the two texts, these numbers (all 100) and exitFlag true.
  void writeCompleteSettings(const std::vector<std::string>& numbers) {
    platform::Registry registry;
    ASSERT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko", true));
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

}  // namespace relationaltest
