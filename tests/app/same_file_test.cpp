// Every program and command that writes, given its input as output (by the
// same path or through a symbolic link): refused, and nothing written.
#include <gtest/gtest.h>
#include <unistd.h>

#include "voskodb/voskodb_fixture.h"

namespace vdbtest {
namespace {

TEST_F(VoskodbTest, NoOutputReplacesItsInput) {
  const std::string old = write("old.vsk", testutil::readFile(sample("2.5.5"))), db = writeDatabase("db.vsk");
  const std::string xml = dir_.file("db.xml"), link = dir_.file("link");
  ASSERT_EQ(0, voskodb({"export-xml", db, xml}).exitCode);
  const struct {
    std::string program, prefix, first, in;
  } cases[] = {{kConverter, "convertVosko.exe: ", "2.5.5", old},
               {kVoskodb, "voskodb: upgrade: ", "upgrade", old},
               {kVoskodb, "voskodb: export-xml: ", "export-xml", db},
               {kVoskodb, "voskodb: import-xml: ", "import-xml", xml},
               {kVoskodb, "voskodb: recover: ", "recover", db},
               {kVoskodb, "voskodb: export-csv: ", "export-csv", db},
               {kVoskodb, "voskodb: export-json: ", "export-json", db},
               {kVoskodb, "voskodb: export-html: ", "export-html", db}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, symlink(c.in.c_str(), link.c_str()));
    const std::string before = testutil::readFile(c.in);
    const std::vector<std::string> entries = dir_.entries();
    for (const std::string& out : {c.in, link}) {
      testutil::RunResult r = run(c.program, {c.first, c.in, out});
      EXPECT_EQ(1, r.exitCode) << c.first << " " << out;
      EXPECT_EQ("vosko: FATAL ERROR: " + c.prefix + "'" + c.in + "' and '" + out +
                    "' are the same file: the output would replace the input.",
                reportLine(r.out + r.err));
      EXPECT_EQ(before, testutil::readFile(c.in)) << c.first << " " << out;
      EXPECT_EQ(entries, dir_.entries()) << c.first << " " << out;
    }
    unlink(link.c_str());
  }
}

}  // namespace
}  // namespace vdbtest
