// voskodb run as the user runs it: info, dump, export-xml, import-xml and
// check on the samples and on files of every kind the tests write, their
// usage and help, and what a failure reports and leaves on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "test_util.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::UnorderedElementsAre;

const std::string kCurrentHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]";

// ---- usage ----------------------------------------------------------------------

TEST_F(VoskodbTest, HelpNamesEveryCommandAndEachCommandHasItsOwn) {
  testutil::RunResult r = voskodb({"--help"});
  EXPECT_EQ(0, r.exitCode);
  for (const char* command : {"info", "upgrade", "dump", "export-xml", "import-xml", "check"}) {
    EXPECT_THAT(r.out, HasSubstr(command));
    testutil::RunResult own = voskodb({command, "--help"});
    EXPECT_EQ(0, own.exitCode) << command;
    EXPECT_THAT(own.out, HasSubstr(std::string("voskodb ") + command)) << command;
  }
}

TEST_F(VoskodbTest, VersionAndUnknownCommandsAnswerOnTheirStreams) {
  testutil::RunResult version = voskodb({"--version"});
  EXPECT_EQ(0, version.exitCode);
  EXPECT_THAT(version.out, testing::MatchesRegex("voskodb [0-9]+\\.[0-9]+\\.[0-9]+\n"));
  testutil::RunResult bogus = voskodb({"bogus", "x"});
  EXPECT_EQ(2, bogus.exitCode);
  EXPECT_EQ("", bogus.out);
  EXPECT_EQ("voskodb: 'bogus' is not a command; see 'voskodb --help'\n", bogus.err);
}

TEST_F(VoskodbTest, WrongUsageExitsWithTwoAndReportsNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"frobnicate"}, {"info"}, {"info", "a", "b"}, {"upgrade", "a"}, {"check", "--json", "a"}, {"dump"}};
  for (const auto& args : cases) {
    testutil::RunResult r = voskodb(args);
    EXPECT_EQ(2, r.exitCode) << testing::PrintToString(args);
    EXPECT_EQ("", reportLine(r.err)) << testing::PrintToString(args);
    EXPECT_NE("", r.err) << testing::PrintToString(args);
  }
}

TEST_F(VoskodbTest, FailuresGoWhereDebugPropertiesBesideTheProgramSendThem) {
  // A copy of the program with a configuration of its own: errors only into
  // a binary debug file in the current directory, none on the console.
  testutil::TempDir install;
  const std::string program = install.file("voskodb");
  testutil::writeFile(program, testutil::readFile(kVoskodb));
  ASSERT_EQ(0, chmod(program.c_str(), 0755));
  testutil::writeFile(install.file("debug.properties"),
                      "system.debug.errorsystemout = false\n"
                      "system.debug.tracesystemout = false\n"
                      "system.debug.binary-errorfile = errors.dbg\n");
  const std::string unknown = write("notes.txt", "nothing to see");
  testutil::RunResult r = run(program, {"info", unknown}, dir_.path());
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  ASSERT_TRUE(testutil::exists(dir_.file("errors.dbg")));

  testutil::RunResult dump = voskodb({"dump", dir_.file("errors.dbg")});
  EXPECT_EQ(0, dump.exitCode);
  EXPECT_EQ(
      "vosko: FATAL ERROR: voskodb: " + unknown +
          ": not a Vosko file (it starts with \"nothing to see\", neither a database header nor a VOSKO root "
          "element).",
      reportLine(dump.out));
}

// ---- info -------------------------------------------------------------------------

struct KindCase {
  std::string file;
  std::string kind;
  nlohmann::json counts;
};

TEST_F(VoskodbTest, InfoTellsEveryKindWithItsCounts) {
  std::string database = writeDatabase("db.vsk");
  std::string relations = writeRelations("rel.art");
  ASSERT_EQ(0, voskodb({"export-xml", database, dir_.file("db.xml")}).exitCode);
  ASSERT_EQ(0, voskodb({"export-xml", relations, dir_.file("rel.xml")}).exitCode);
  const std::string oldXmlBody =
      "><CARRIER NAME=\"a\"><TITLES><TITLE NAME=\"t\"/><TITLE NAME=\"u\"/></TITLES>"
      "</CARRIER></VOSKO>\n";
  const std::vector<KindCase> cases = {
      {sample("1.5"), "database-1.5", {{"carriers", 3}, {"titles", 4}, {"artists", 3}, {"labels", 3}}},
      {sample("2.0"), "database-2.0", {{"carriers", 4}, {"titles", 8}, {"artists", 4}, {"labels", 3}}},
      {sample("2.5"), "database-2.5", {{"carriers", 3}, {"titles", 7}}},
      {sample("2.5.3"), "database-2.5.3", {{"carriers", 4}, {"titles", 9}}},
      {sample("2.5.5"), "database-2.5.5", {{"carriers", 5}, {"titles", 14}}},
      {database, "database-2.5.7", {{"carriers", 2}, {"titles", 3}, {"tables_of_contents", 1}}},
      {dir_.file("db.xml"), "database-xml", {{"carriers", 2}, {"titles", 3}, {"tables_of_contents", 1}}},
      {relations, "relations", {{"relations", 2}}},
      {dir_.file("rel.xml"), "relations-xml", {{"relations", 2}}},
      {writeDebugEntries("log.dbg"), "debug-entries", {{"entries", 2}, {"traces", 1}, {"errors", 1}}},
      {write("old25.xml", "<?xml version=\"1.0\"?>\n<VOSKO" + oldXmlBody),
       "database-xml-2.5",
       {{"carriers", 1}, {"titles", 2}}},
      {write("old253.xml",
             "<VOSKO VERSION=\"[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.3]\"" + oldXmlBody),
       "database-xml-2.5.3",
       {{"carriers", 1}, {"titles", 2}}},
      {write("old255.xml", "<VOSKO VERSION=\"1.0.0\"" + oldXmlBody),
       "database-xml-2.5.5",
       {{"carriers", 1}, {"titles", 2}}},
      {write("empty.vsk", kCurrentHeader + testutil::le32(4) + testutil::le32(0)),
       "database-2.5.7",
       {{"carriers", 0}, {"titles", 0}, {"tables_of_contents", 0}}},
  };
  for (const KindCase& c : cases) {
    testutil::RunResult r = voskodb({"info", c.file, "--json"});
    ASSERT_EQ(0, r.exitCode) << c.file << "\n" << r.out;
    nlohmann::json json = nlohmann::json::parse(r.out);
    EXPECT_EQ(c.kind, json["kind"]) << c.file;
    EXPECT_EQ(c.counts, json["counts"]) << c.file;
    EXPECT_EQ(c.file, json["file"]);
    bool old = c.kind.rfind("database-", 0) == 0 && c.kind != "database-2.5.7" &&
               c.kind.find("xml") == std::string::npos;
    EXPECT_EQ(old, json["old"]) << c.file;
    if (old) {
      std::string version = c.kind.substr(std::string("database-").size());
      EXPECT_EQ(version, json["version"]);
      EXPECT_EQ("convertVOSKO " + version + " " + c.file + " <output-file>", json["convert"]);
    } else {
      EXPECT_FALSE(json.contains("convert")) << c.file;
    }
  }
}

TEST_F(VoskodbTest, InfoListsAnOldDatabaseWithTheCommandThatConvertsIt) {
  testutil::RunResult r = voskodb({"info", sample("2.5.5")});
  EXPECT_EQ(0, r.exitCode);
  const std::string path = sample("2.5.5");
  EXPECT_THAT(lines(r.out), ElementsAre("file:               " + path,
                                        "kind:               sound-carrier database, old format 2.5.5",
                                        "carriers:           5", "titles:             14",
                                        "convert:            convertVOSKO 2.5.5 " + path + " <output-file>",
                                        "or:                 voskodb upgrade " + path + " <output-file>"));
}

TEST_F(VoskodbTest, InfoQuotesAPathTheShellWouldSplit) {
  std::string path = dir_.file("my lib.vsk");
  testutil::writeFile(path, testutil::readFile(sample("2.5")));
  testutil::RunResult r = voskodb({"info", path});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_THAT(r.out, HasSubstr("convertVOSKO 2.5 '" + path + "' <output-file>\n"));
}

TEST_F(VoskodbTest, InfoJsonIsUtf8ForWindows1252Names) {
  std::string path = dir_.file(
      "Gr\xF6\xDF"
      "e.vsk");
  testutil::writeFile(path, testutil::readFile(sample("2.5")));
  testutil::RunResult r = voskodb({"info", "--json", path});
  ASSERT_EQ(0, r.exitCode);
  nlohmann::json json = nlohmann::json::parse(r.out);
  EXPECT_EQ(dir_.file("Gr\xC3\xB6\xC3\x9F"
                      "e.vsk"),
            json["file"]);
}

TEST_F(VoskodbTest, InfoOnAnUnknownFileSaysSoAndFails) {
  struct Case {
    std::string bytes, shown;
  };
  const Case cases[] = {{"hello world, this is no database", "hello world, thi"},
                        {"", ""},
                        {std::string("\0\x01[Application", 14), "..[Application"},
                        {"<!-- no element -->", "<!-- no element "},
                        {"[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.4]", "[Application:Vos"}};
  for (const Case& c : cases) {
    std::string path = write("unknown.bin", c.bytes);
    for (bool json : {false, true}) {
      testutil::RunResult r = json ? voskodb({"info", "--json", path}) : voskodb({"info", path});
      EXPECT_EQ(1, r.exitCode);
      EXPECT_EQ("vosko: FATAL ERROR: voskodb: " + path + ": not a Vosko file (it starts with \"" + c.shown +
                    "\", neither a database header nor a VOSKO root element).",
                reportLine(r.err));
      EXPECT_THAT(r.err, HasSubstr("\tclass: IllegalArgumentException"));
      EXPECT_EQ("", r.out);
    }
  }
}

TEST_F(VoskodbTest, InfoOnAMissingOrDamagedFileReportsWhy) {
  testutil::RunResult missing = voskodb({"info", dir_.file("none.vsk")});
  EXPECT_EQ(1, missing.exitCode);
  EXPECT_EQ("vosko: FATAL ERROR: voskodb: " + dir_.file("none.vsk") + ": cannot be read.",
            reportLine(missing.err));

  std::string whole = testutil::readFile(writeDatabase("db.vsk"));
  std::string cut = write("cut.vsk", whole.substr(0, whole.size() - 10));
  testutil::RunResult damaged = voskodb({"info", cut});
  EXPECT_EQ(1, damaged.exitCode);
  EXPECT_THAT(reportLine(damaged.err),
              HasSubstr("vosko: FATAL ERROR: voskodb: TFile: IO error while read binary."));
}

// ---- dump -------------------------------------------------------------------------

TEST_F(VoskodbTest, DumpOfADatabaseListsCarriersAndTheirTitles) {
  std::vector<std::string> files = {writeDatabase("db.vsk")};
  for (const std::string& version : kOldVersions) files.push_back(converted(version));
  for (const std::string& file : files) {
    testutil::RunResult r = voskodb({"dump", file});
    EXPECT_EQ(0, r.exitCode) << file;
    EXPECT_EQ(run(kLister, {file}).out, r.out) << file;
  }
  EXPECT_THAT(
      lines(voskodb({"dump", files[0]}).out),
      ElementsAre(
          "Die Bestie in Menschengestalt, Die \xC3\x84rzte - Metronome, 07.05.1993 Compact Disc (Album)",
          "    01 Die \xC3\x84rzte - Schrei nach Liebe, http://example.org/schrei (Original) Compact Disc 1",
          "    02 Die \xC3\x84rzte - Gr\xC3\xB6\xC3\x9F"
          "enwahn,  (Original) Compact Disc 1",
          "Split-Single,  - Weserlabel, 07.05.1993 Schallplatte (Album)",
          "    01 Slime - Gewalt,  (Original) Schallplatte 1 Seite 2"));
}

TEST_F(VoskodbTest, DumpOfTheXmlFormListsTheSame) {
  std::string database = writeDatabase("db.vsk", 34096);
  ASSERT_EQ(0, voskodb({"export-xml", database, dir_.file("db.xml")}).exitCode);
  EXPECT_EQ(voskodb({"dump", database}).out, voskodb({"dump", dir_.file("db.xml")}).out);
}

TEST_F(VoskodbTest, ControlCharactersReachTheTerminalEscapedAndTheFileKeepsThem) {
  const std::string hostile = "\x1B]0;owned\x07\x1B[2J", shown = "\\x1B]0;owned\\x07\\x1B[2J";
  TSoundCarriers database;
  database.add(new TSoundCarrier(hostile, "Label", "Compact Disc"));
  const std::string path = dir_.file(hostile + "\xC2\x9B.vsk");
  database.store(path);
  EXPECT_THAT(testutil::readFile(path), HasSubstr(hostile));
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"dump", path}, {"info", path}, {"dump", path, hostile}}) {
    testutil::RunResult r = voskodb(args);
    EXPECT_THAT(r.out + r.err, HasSubstr(shown));
    EXPECT_EQ(std::string::npos, (r.out + r.err).find_first_of("\x1B\x07\x9B"));
  }
  nlohmann::json json = nlohmann::json::parse(voskodb({"info", "--json", path}).out);
  EXPECT_EQ(dir_.file(shown + "\\x9B.vsk"), json["file"]);
}

TEST_F(VoskodbTest, DumpOfRelationsListsEachRelationWithItsArtists) {
  testutil::RunResult r = voskodb({"dump", writeRelations("rel.art")});
  EXPECT_EQ(0, r.exitCode);
  std::vector<std::string> all = lines(r.out);
  // The relations and their artists come in the order of their tables, which is a hash order.
  ASSERT_EQ(5u, all.size());
  std::vector<std::string> bands, remixes;
  std::vector<std::string>* current = nullptr;
  for (const std::string& line : all) {
    if (line == "Bands") current = &bands;
    if (line == "Remixes (symmetric)") current = &remixes;
    ASSERT_NE(nullptr, current) << line;
    if (line.rfind("    ", 0) == 0) current->push_back(line);
  }
  EXPECT_THAT(bands, testing::AnyOf(ElementsAre("    Slime -> Razzia, Die \xC3\x84rzte"),
                                    ElementsAre("    Slime -> Die \xC3\x84rzte, Razzia")));
  EXPECT_THAT(remixes, UnorderedElementsAre("    Kreidler -> Kraftwerk", "    Nena ->"));
}

TEST_F(VoskodbTest, DumpOfDebugEntriesShowsTheirTextForm) {
  testutil::RunResult r = voskodb({"dump", writeDebugEntries("log.dbg")});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "09.12.2025 12:00:00.000 vosko: Konvertiere Gr\xC3\xB6\xC3\x9F"
      "e\n"
      "09.12.2025 12:00:00.000 vosko: FATAL ERROR: convertVosko.exe: Datei fehlt.\n"
      "\n"
      "\texception\n"
      "\tclass: IOException\n"
      "\tmessage: Datei fehlt.\n"
      "\n"
      "\n",
      r.out);
}

// ---- export-xml and import-xml ------------------------------------------------------

TEST_F(VoskodbTest, ImportOfTheExportGivesTheSameBytes) {
  std::vector<std::string> files = {writeRelations("rel.art")};
  for (const std::string& version : kOldVersions) files.push_back(converted(version));
  int n = 0;
  for (const std::string& file : files) {
    std::string xml = dir_.file("export-" + std::to_string(++n) + ".xml");
    std::string back = dir_.file("back-" + std::to_string(n) + ".bin");
    testutil::RunResult exported = voskodb({"export-xml", file, xml});
    ASSERT_EQ(0, exported.exitCode) << file << exported.out;
    EXPECT_THAT(exported.out, HasSubstr("exported " + file));
    EXPECT_EQ(0, testutil::run("/usr/bin/xmllint", {"--noout", xml}).exitCode) << xml;
    testutil::RunResult imported = voskodb({"import-xml", xml, back});
    ASSERT_EQ(0, imported.exitCode) << xml << imported.out;
    EXPECT_EQ(testutil::readFile(file), testutil::readFile(back)) << file;
  }
}

TEST_F(VoskodbTest, ImportOfTheExportKeepsTheTimeOfDay) {
  std::string database = writeDatabase("db.vsk", 34096.563736497);
  ASSERT_EQ(0, voskodb({"export-xml", database, dir_.file("db.xml")}).exitCode);
  EXPECT_EQ(0, testutil::run("/usr/bin/xmllint", {"--noout", dir_.file("db.xml")}).exitCode);
  ASSERT_EQ(0, voskodb({"import-xml", dir_.file("db.xml"), dir_.file("back.vsk")}).exitCode);
  EXPECT_EQ(testutil::readFile(database), testutil::readFile(dir_.file("back.vsk")));
}

TEST_F(VoskodbTest, ExportTakesOnlyCurrentBinaryDatabases) {
  const std::string xml = dir_.file("out.xml");
  struct Case {
    std::string file, kind;
  };
  std::string database = writeDatabase("db.vsk");
  ASSERT_EQ(0, voskodb({"export-xml", database, dir_.file("db.xml")}).exitCode);
  const Case cases[] = {{writeDebugEntries("log.dbg"), "binary debug entries"},
                        {dir_.file("db.xml"), "sound-carrier database as XML, version 1.1.0"}};
  for (const Case& c : cases) {
    testutil::RunResult r = voskodb({"export-xml", c.file, xml});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_THAT(reportLine(r.err),
                HasSubstr("voskodb: export-xml: " + c.file + " is a " + c.kind +
                          "; export-xml takes a binary 2.5.7 or relations database or an old database."));
    EXPECT_FALSE(testutil::exists(xml));
  }
}

TEST_F(VoskodbTest, AFailedImportLeavesTheDatabaseAsItWas) {
  std::string database = writeDatabase("db.vsk");
  const std::string before = testutil::readFile(database);
  struct Case {
    std::string name, text, report;
  };
  const Case cases[] = {
      {"broken.xml", "<VOSKO VERSION=\"1.1.0\"><CARRIER>", "voskodb: TXMLPersistent.loadXML: "},
      {"badtrack.xml",
       "<VOSKO VERSION=\"1.1.0\"><CARRIER NAME=\"a\" RELEASE=\"01.01.2000\"><NOTES/><TOCS/><TITLES>"
       "<TITLE NAME=\"t\" TRACK=\"x\" CARRIERINDEX=\"0\"/></TITLES></CARRIER></VOSKO>",
       "voskodb: TXMLPersistent.loadXML: "},
      {"old.xml", "<VOSKO VERSION=\"1.0.0\"/>",
       "voskodb: import-xml: " + dir_.file("old.xml") +
           " is a sound-carrier database as XML of format 2.5.5; import-xml takes the XML form of a "
           "sound-carrier database (VERSION 1.1.0) or of a relations database."},
  };
  for (const Case& c : cases) {
    testutil::RunResult r = voskodb({"import-xml", write(c.name, c.text), database});
    EXPECT_EQ(1, r.exitCode) << c.name;
    EXPECT_THAT(reportLine(r.err), HasSubstr(c.report)) << c.name;
    EXPECT_EQ(before, testutil::readFile(database)) << c.name;
    testutil::RunResult fresh = voskodb({"import-xml", dir_.file(c.name), dir_.file("new.vsk")});
    EXPECT_EQ(1, fresh.exitCode);
    EXPECT_FALSE(testutil::exists(dir_.file("new.vsk"))) << c.name;
  }
  EXPECT_THAT(dir_.entries(), testing::Each(testing::Not(HasSubstr(".tmp"))));
}

TEST_F(VoskodbTest, ImportTakesEveryXmlTheLibraryReadsAndLeavesOtherRootsToItsMessage) {
  auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
  };
  const std::string body =
      "<CARRIER NAME=\"[Live]\" RELEASE=\"01.01.2000\"><NOTES/><TOCS/><TITLES/></CARRIER></VOSKO>";
  const std::string database = "sound-carrier database as XML, version 1.1.0";
  struct Case {
    std::string name, text, result;  // the kind imported, or what the report says
  };
  const Case cases[] = {
      {"le.xml", utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><VOSKO VERSION=\"1.1.0\">" + body, false),
       database},
      {"be.xml", utf16("<VOSKO VERSION=\"1.1.0\">" + body, true), database},
      {"quotes.xml", "<?xml version='1.0' encoding='UTF-8'?>\n<VOSKO VERSION='1.1.0'>" + body, database},
      {"charref.xml", "<VOSKO VERSION=\"1.1&#46;0\">" + body, database},
      {"entity.xml", "<!DOCTYPE VOSKO [<!ENTITY v \"1.1.0\">]><VOSKO VERSION=\"&v;\">" + body, database},
      {"doctype.xml", "<!DOCTYPE VOSKO SYSTEM \"vosko.dtd\">\n<VOSKO VERSION=\"1.1.0\">" + body, database},
      {"relations.xml",
       utf16("<VOSKO VERSION=\"[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]\"></VOSKO>",
             false),
       "artist-relations database as XML"},
      {"lower.xml", "<vosko VERSION=\"1.1.0\"/>", "Illegal base tag for a vosko database."},
      {"html.xml", "<html><body/></html>", "Illegal base tag for a vosko database."},
      {"version.xml", "<VOSKO VERSION=\"1.1.1\"/>", "Illegal version of a vosko XML database."},
      {"blank.xml", "<VOSKO VERSION=\" 1.1.0\"/>", "Illegal version of a vosko XML database."},
  };
  for (const Case& c : cases) {
    const std::string out = dir_.file(c.name + ".vsk");
    testutil::RunResult r = voskodb({"import-xml", write(c.name, c.text), out});
    if (c.result.find("Illegal") == std::string::npos) {
      EXPECT_EQ(0, r.exitCode) << c.name << r.out;
      EXPECT_THAT(lines(r.out),
                  ElementsAre("imported " + dir_.file(c.name) + " (" + c.result + ") to " + out));
    } else {
      EXPECT_EQ(1, r.exitCode) << c.name;
      EXPECT_THAT(reportLine(r.err), HasSubstr("voskodb: TXMLPersistent.loadXML: ")) << c.name;
      EXPECT_THAT(reportLine(r.err), testing::EndsWith(") " + c.result)) << c.name;
    }
  }
}

// ---- check --------------------------------------------------------------------------

TEST_F(VoskodbTest, CheckSaysOkWithTheCounts) {
  std::string database = writeDatabase("db.vsk");
  std::string relations = writeRelations("rel.art");
  EXPECT_THAT(
      lines(voskodb({"check", database}).out),
      ElementsAre(
          "ok: " + database +
          " (sound-carrier database, current format 2.5.7), 2 carriers, 3 titles, 1 tables of contents"));
  EXPECT_THAT(lines(voskodb({"check", relations}).out),
              ElementsAre("ok: " + relations + " (artist-relations database), 2 relations"));
  EXPECT_THAT(
      lines(voskodb({"check", converted("2.5.5")}).out),
      ElementsAre(
          "ok: " + converted("2.5.5") +
          " (sound-carrier database, current format 2.5.7), 5 carriers, 14 titles, 0 tables of contents"));
  ASSERT_EQ(0, voskodb({"export-xml", relations, dir_.file("rel.xml")}).exitCode);
  testutil::RunResult xml = voskodb({"check", dir_.file("rel.xml")});
  EXPECT_EQ(0, xml.exitCode);
  EXPECT_THAT(lines(xml.out), ElementsAre("ok: " + dir_.file("rel.xml") +
                                          " (artist-relations database as XML), 2 relations"));
}

TEST_F(VoskodbTest, CheckReportsTheFirstProblem) {
  std::string whole = testutil::readFile(writeDatabase("db.vsk"));
  std::string relations = testutil::readFile(writeRelations("rel.art"));
  auto cutShort = [&](const std::string& name, size_t size) {
    return "voskodb: TFile: IO error while read binary. '" + dir_.file(name) + "' is cut short at offset " +
           std::to_string(size) + ".";
  };
  struct Case {
    std::string name, bytes, report;
  };
  const Case cases[] = {
      {"trailing.vsk", whole + "abc",
       "voskodb: check: " + dir_.file("trailing.vsk") + ": 3 bytes follow the end of the database's block."},
      {"trailing.art", relations + std::string(1, '\0'),
       "voskodb: check: " + dir_.file("trailing.art") + ": 1 bytes follow the end of the database's block."},
      {"cut.vsk", whole.substr(0, whole.size() - 1), cutShort("cut.vsk", whole.size() - 1)},
      {"cut.art", relations.substr(0, relations.size() - 1), cutShort("cut.art", relations.size() - 1)},
      {"header.vsk", kCurrentHeader, cutShort("header.vsk", kCurrentHeader.size())},
  };
  for (const Case& c : cases) {
    testutil::RunResult r = voskodb({"check", write(c.name, c.bytes)});
    EXPECT_EQ(1, r.exitCode) << c.name;
    EXPECT_THAT(reportLine(r.err), HasSubstr(c.report)) << c.name;
    EXPECT_EQ(std::string::npos, r.out.find("ok:")) << c.name;
  }
}

TEST_F(VoskodbTest, CheckTakesOnlyDatabases) {
  const std::string entries = writeDebugEntries("log.dbg");
  testutil::RunResult r = voskodb({"check", entries});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("vosko: FATAL ERROR: voskodb: check: " + entries +
                " is a binary debug entries; check takes a 2.5.7 or relations database (binary or XML) or an "
                "old database.",
            reportLine(r.err));
}

}  // namespace
}  // namespace vdbtest
