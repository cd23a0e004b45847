// Every command that reads a collection takes an old database as its
// conversion makes it: on each old format (the samples and generated
// databases of everything the formats may hold) each command gives, byte
// for byte, what it gives for the file convertVOSKO writes from it, apart
// from the file's name and kind in its messages. Files a stream leaves after
// some carriers but that load still show each carrier once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generated_database.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

class OldFormatsTest : public VoskodbTest {
 protected:
  // `command` on `file`, with the file's name and kind in its messages put
  // aside: its exit code, standard output and what it wrote.
  std::string outcome(std::vector<std::string> command, const std::string& file) {
    const std::string out = dir_.file("out");
    std::remove(out.c_str());
    for (std::string& arg : command) arg = arg == "FILE" ? file : arg == "OUT" ? out : arg;
    const testutil::RunResult r = voskodb(command);
    std::string shown = "exit " + std::to_string(r.exitCode) + "\n" + r.out;
    for (size_t at; (at = shown.find(file)) != std::string::npos;) shown.replace(at, file.size(), "FILE");
    for (size_t at = 0; (at = shown.find("FILE (", at)) != std::string::npos; ++at)
      shown.replace(at + 6, shown.find(')', at) - at - 6, "KIND");
    if (testutil::exists(out)) shown += "\n--- written:\n" + testutil::readFile(out);
    return shown;
  }

  // The commands on `file` and on `reference` side by side.
  void expectSameOutcomes(const std::string& file, const std::string& reference) {
    const std::vector<std::vector<std::string>> commands = {{"dump", "FILE"},
                                                            {"find", "FILE", "a"},
                                                            {"find", "FILE", "qqxqq"},
                                                            {"stats", "FILE", "--json"},
                                                            {"check", "FILE"},
                                                            {"export-csv", "FILE", "-"},
                                                            {"export-json", "FILE", "OUT"},
                                                            {"export-html", "FILE", "OUT"},
                                                            {"export-xml", "FILE", "OUT"}};
    for (const std::vector<std::string>& command : commands) {
      // export-xml writes the XML form of a binary database.
      if (command[0] == "export-xml" && file.ends_with(".xml")) continue;
      SCOPED_TRACE(command[0] + (command.size() > 2 ? " " + command[2] : ""));
      const std::string expected = outcome(command, reference);
      // An awkward database may hold bytes XML cannot hold, which both refuse alike.
      if (command[0] != "export-xml") {
        EXPECT_THAT(expected,
                    testing::StartsWith(command[0] == "find" && command[2] == "qqxqq" ? "exit 1" : "exit 0"));
      }
      EXPECT_EQ(expected, outcome(command, file));
    }
  }
};

TEST_F(OldFormatsTest, EveryCommandShowsWhatItShowsForTheConvertedFile) {
  for (const std::string& version : kOldVersions) {
    std::vector<std::string> files = {sample(version)};
    for (const sample::GeneratedShape& shape :
         {sample::GeneratedShape{12, 3, 7, true}, sample::GeneratedShape{3, 40, 2, true}}) {
      files.push_back(dir_.file("generated-" + version + "-" + std::to_string(files.size()) + ".vsk"));
      sample::writeGeneratedDatabase(version, shape, files.back());
    }
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      const std::string converted = file + ".converted";
      ASSERT_EQ(0, run(kConverter, {version, file, converted}).exitCode);
      expectSameOutcomes(file, converted);
    }
  }
}

// The bytes of `file` with the block of its second carrier stored as 0 bytes
// long: a length that loading does not hold a nested block to, but reading
// straight from the bytes does.
std::string secondCarrierOfNoLength(const std::string& file) {
  std::string bytes = testutil::readFile(file);
  const std::string lead("\x0D\0\0\0TSoundCarrier", 17);
  const size_t second = bytes.find(lead, bytes.find(lead) + 1);
  EXPECT_NE(std::string::npos, second);
  bytes.replace(second + lead.size(), 4, std::string(4, '\0'));
  return bytes;
}

TEST_F(OldFormatsTest, AFileTheStreamLeavesAfterSomeCarriersShowsEachCarrierOnce) {
  const std::string old = write("odd-2.5.5.vsk", secondCarrierOfNoLength(sample("2.5.5")));
  const std::string current = write("odd-2.5.7.vsk", secondCarrierOfNoLength(converted("2.5.5")));
  // The XML form with a comment after its first carrier, which the stream
  // does not take and loading passes over.
  ASSERT_EQ(0, voskodb({"export-xml", converted("2.5.5"), dir_.file("plain.xml")}).exitCode);
  std::string xml = testutil::readFile(dir_.file("plain.xml"));
  const size_t end = xml.find("</CARRIER>") + std::string("</CARRIER>").size();
  const std::string commented = write("commented.xml", xml.insert(end, "<!-- - -->"));
  for (const std::string& file : {old, current, commented}) {
    SCOPED_TRACE(file);
    expectSameOutcomes(file, converted("2.5.5"));
  }
}

}  // namespace
}  // namespace vdbtest
