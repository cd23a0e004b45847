// Every program and command that writes a file, given an output that is its
// input (by the same path, or through a symbolic link): refused with the
// same message, exit code 1, and the input left as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "voskodb/voskodb_fixture.h"

namespace vdbtest {
namespace {

class SameFileTest : public VoskodbTest {
 protected:
  // Runs `args` with OUT the file IN; expects the refusal and nothing changed.
  void expectRefused(const std::string& program, const std::string& prefix, std::vector<std::string> args,
                     const std::string& in, const std::string& out) {
    SCOPED_TRACE(args.front() + " " + out);
    const std::string before = testutil::readFile(in);
    const std::vector<std::string> entries = dir_.entries();
    args.push_back(in);
    args.push_back(out);
    testutil::RunResult r = run(program, args);
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("vosko: FATAL ERROR: " + prefix + "'" + in + "' and '" + out +
                  "' are the same file: the output would replace the input.",
              reportLine(r.out + r.err));
    EXPECT_EQ(before, testutil::readFile(in));
    EXPECT_EQ(entries, dir_.entries());
  }
};

TEST_F(SameFileTest, NoOutputReplacesItsInput) {
  const std::string old = write("old.vsk", testutil::readFile(sample("2.5.5")));
  const std::string database = writeDatabase("db.vsk");
  ASSERT_EQ(0, voskodb({"export-xml", database, dir_.file("db.xml")}).exitCode);
  const std::string xml = dir_.file("db.xml");
  const std::string link = dir_.file("link");
  struct Case {
    std::string program, prefix;
    std::vector<std::string> args;
    std::string in;
  };
  const Case cases[] = {
      {kConverter, "convertVosko.exe: ", {"2.5.5"}, old},
      {kVoskodb, "voskodb: upgrade: ", {"upgrade"}, old},
      {kVoskodb, "voskodb: export-xml: ", {"export-xml"}, database},
      {kVoskodb, "voskodb: import-xml: ", {"import-xml"}, xml},
      {kVoskodb, "voskodb: recover: ", {"recover"}, database},
      {kVoskodb, "voskodb: export-csv: ", {"export-csv"}, database},
      {kVoskodb, "voskodb: export-json: ", {"export-json"}, database},
      {kVoskodb, "voskodb: export-html: ", {"export-html"}, database},
  };
  for (const Case& c : cases) {
    expectRefused(c.program, c.prefix, c.args, c.in, c.in);
    ASSERT_EQ(0, symlink(c.in.c_str(), link.c_str()));
    expectRefused(c.program, c.prefix, c.args, c.in, link);
    unlink(link.c_str());
  }
}

TEST_F(SameFileTest, StandardOutputThatIsTheInputIsRefused) {
  const std::string database = writeDatabase("db.vsk");
  const std::string before = testutil::readFile(database);
  const std::string err = dir_.file("err");
  const int status = testutil::spawnAndWait(kVoskodb, {"export-csv", database, "-"}, [&] {
    return freopen(database.c_str(), "a", stdout) != nullptr && freopen(err.c_str(), "w", stderr) != nullptr;
  });
  EXPECT_EQ(1, WEXITSTATUS(status));
  EXPECT_EQ("vosko: FATAL ERROR: voskodb: export-csv: '" + database +
                "' and standard output are the same file: the output would overwrite the input.",
            reportLine(testutil::readFile(err)));
  EXPECT_EQ(before, testutil::readFile(database));
}

}  // namespace
}  // namespace vdbtest
