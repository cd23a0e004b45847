// Recognition of a file's kind from its first bytes: every header, the XML
// roots with their VERSION, and the near misses that must stay unknown.
#include "voskodb/file_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"
#include "voskodb/command_lines.h"

namespace {

struct HeaderCase {
  std::string bytes;
  FileKind kind;
};

TEST(FileKindTest, EachHeaderIsRecognisedWholeAndNearMissesAreNot) {
  const std::string kBase = "[Application:Vosko.Type:SoundCarrier-Database";
  const HeaderCase cases[] = {
      {kBase + "]", FileKind::kDatabase1_5},
      {kBase + "]" + testutil::le32(0), FileKind::kDatabase1_5},
      {kBase + ".Version:2.0]", FileKind::kDatabase2_0},
      {kBase + ".Version:2.5]", FileKind::kDatabase2_5},
      {kBase + ".Version:2.5.3]", FileKind::kDatabase2_5_3},
      {kBase + ".Version:2.5.5]" + testutil::le32(4), FileKind::kDatabase2_5_5},
      {kBase + ".Version:2.5.7]", FileKind::kDatabase2_5_7},
      {"[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]", FileKind::kRelations},
      {"[Application:debug.Type:DebugEntries-Database.Version:1.0]", FileKind::kDebugEntries},
      // A header cut short, differing in letter case or naming another version is none.
      {kBase, FileKind::kUnknown},
      {kBase + ".Version:2.5.5", FileKind::kUnknown},
      {kBase + ".Version:2.5.4]", FileKind::kUnknown},
      {kBase + ".Version:2.50]", FileKind::kUnknown},
      {"[application:vosko.type:soundcarrier-database.version:2.5.7]", FileKind::kUnknown},
      {" " + kBase + ".Version:2.5.7]", FileKind::kUnknown},
      {"", FileKind::kUnknown},
      {"<VOSKO VERSION=\"1.1.0\"/>", FileKind::kUnknown},
  };
  for (const HeaderCase& c : cases) EXPECT_EQ(c.kind, recognizeHeader(c.bytes)) << c.bytes;
}

TEST(FileKindTest, XmlRootsAreTellByVersion) {
  EXPECT_EQ(FileKind::kXmlDatabase, recognizeXmlRoot("VOSKO", true, "1.1.0"));
  EXPECT_EQ(FileKind::kXmlDatabase2_5_5, recognizeXmlRoot("VOSKO", true, "1.0.0"));
  EXPECT_EQ(FileKind::kXmlDatabase2_5_3,
            recognizeXmlRoot("VOSKO", true, "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.3]"));
  EXPECT_EQ(FileKind::kXmlRelations,
            recognizeXmlRoot("VOSKO", true, "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]"));
  EXPECT_EQ(FileKind::kXmlDatabase2_5, recognizeXmlRoot("VOSKO", false, ""));
  EXPECT_EQ(FileKind::kXmlOther, recognizeXmlRoot("VOSKO", true, "1.1.1"));
  EXPECT_EQ(FileKind::kXmlOther, recognizeXmlRoot("VOSKO", true, ""));
  EXPECT_EQ(FileKind::kXmlOther, recognizeXmlRoot("vosko", true, "1.1.0"));
  EXPECT_EQ(FileKind::kXmlOther, recognizeXmlRoot("CARRIER", true, "1.1.0"));
}

struct XmlCase {
  std::string text;
  FileKind kind;
};

TEST(FileKindTest, XmlFilesAreReadUpToTheRootElementOnly) {
  const XmlCase cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VOSKO VERSION=\"1.1.0\"></VOSKO>",
       FileKind::kXmlDatabase},
      {"\xEF\xBB\xBF<VOSKO VERSION='1.0.0'/>", FileKind::kXmlDatabase2_5_5},
      {"  <!-- a note > with a bracket -->\r\n<!DOCTYPE VOSKO [<!ENTITY a \"b\">]><VOSKO\n VERSION = "
       "\"1.1.0\">",
       FileKind::kXmlDatabase},
      {"<?xml version=\"1.0\"?><VOSKO NAME=\"x\">", FileKind::kXmlDatabase2_5},
      {"<VOSKO VERSION=\"[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]\">",
       FileKind::kXmlRelations},
      // The document breaks off after the root element: the root is what counts.
      {"<VOSKO VERSION=\"1.1.0\"><CARRIER", FileKind::kXmlDatabase},
      {"<VOSKO VERSION=\"1.1.0\"", FileKind::kUnknown},
      {"<VOSKO VERSION=1.1.0>", FileKind::kUnknown},
      {"<html><body/></html>", FileKind::kXmlOther},
      {"<!-- no element -->", FileKind::kUnknown},
      {"plain text", FileKind::kUnknown},
  };
  testutil::TempDir dir;
  for (const XmlCase& c : cases) {
    testutil::writeFile(dir.file("f.xml"), c.text);
    EXPECT_EQ(c.kind, recognizeFile(dir.file("f.xml"))) << c.text;
  }
}

TEST(FileKindTest, MissingFileCannotBeRead) {
  testutil::TempDir dir;
  try {
    recognizeFile(dir.file("none.vsk"));
    FAIL() << "nothing raised";
  } catch (const std::exception& e) {
    EXPECT_EQ(dir.file("none.vsk") + ": cannot be read.", std::string(e.what()));
  }
}

TEST(FileKindTest, ShellQuotingLeavesPlainPathsAlone) {
  EXPECT_EQ("samples/sample-2.5.5.vsk", shellQuote("samples/sample-2.5.5.vsk"));
  EXPECT_EQ("'my lib.vsk'", shellQuote("my lib.vsk"));
  EXPECT_EQ("'it'\\''s.vsk'", shellQuote("it's.vsk"));
  EXPECT_EQ("''", shellQuote(""));
  EXPECT_EQ("'$HOME/a.vsk'", shellQuote("$HOME/a.vsk"));
}

}  // namespace
