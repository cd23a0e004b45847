// The carrier-by-carrier conversion of the object-file formats: which
// databases it takes, and that every database, taken or not, converts to the
// same bytes or fails with the same report as through the whole-file
// conversion.
#include "data/legacy/objects/plain_database.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/v2_5_5/format_2_5_5.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "test_util.h"

using testutil::block;
using testutil::dbl;
using testutil::le32;
using testutil::object;
using testutil::str;

namespace {

const std::string kHeader = Format2_5_5::kFileHeader;

std::string title(const std::string& name) {
  return object("TTitle",
                str(name) + str("Die \xC4rzte") + str("http://u") + str("Remix") + str("Orig") + str(""));
}

std::string carrier(const std::string& titles, int32_t count) {
  return str("Bestie") + str("Metronome") + str("Die \xC4rzte") + str("Compact Disc") + dbl(34096.5625) +
         str("eins\r\nzwei") + str("Split") + str("front.jpg") + str("") + le32(count) + titles;
}

// What a conversion leaves: the output's bytes, or the failure's message.
std::string outcome(const std::function<void()>& convert, const std::string& output) {
  try {
    convert();
  } catch (const std::exception& e) {
    return std::string("failed: ") + e.what() + (testutil::exists(output) ? " (output written)" : "");
  }
  return testutil::readFile(output);
}

TEST(PlainDatabaseTest, EveryDatabaseConvertsAsThroughTheWholeFile) {
  const std::string twoTitles = title("Schrei") + title("Panzer");
  const std::string plainCarrier = object("TSoundCarrier", carrier(twoTitles, 2));
  struct Case {
    const char* what;
    std::string body;  // what follows the header
    bool plain;
  };
  const Case cases[] = {
      {"two carriers", block(le32(2) + plainCarrier + plainCarrier), true},
      {"no carriers", block(le32(0)), true},
      {"a carrier without titles", block(le32(1) + object("TSoundCarrier", carrier("", 0))), true},
      // More than the file is read at a time.
      {"a carrier of 2 MB",
       block(le32(2) + object("TSoundCarrier", carrier(title(std::string(2 << 20, 'n')), 1)) + plainCarrier),
       true},
      {"bytes after the database", block(le32(1) + plainCarrier) + "trailing", true},
      {"a negative text length, read as empty",
       block(le32(1) + object("TSoundCarrier", le32(-3) + carrier(twoTitles, 2).substr(10))), true},
      {"a carrier block longer than its fields",
       block(le32(1) + object("TSoundCarrier", carrier(twoTitles, 2) + "xy")), false},
      {"bytes after the last carrier", block(le32(1) + plainCarrier + "x"), false},
      {"a title for a carrier", block(le32(1) + title("Schrei")), false},
      {"a carrier among the titles", block(le32(1) + object("TSoundCarrier", carrier(plainCarrier, 1))),
       false},
      {"an unknown class", block(le32(1) + object("TSoundCarrier2_5_5", carrier(twoTitles, 2))), false},
      {"a negative carrier count", block(le32(-1)), false},
      {"a title count beyond the titles", block(le32(1) + object("TSoundCarrier", carrier(twoTitles, 3))),
       false},
      {"a cut carrier", block(le32(1) + plainCarrier).substr(0, 60), false},
      {"no block", "", false},
  };
  testutil::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string input = dir.file("in.vsk");
    testutil::writeFile(input, kHeader + c.body);
    const std::string viaPlain = dir.file("plain.vsk");
    const std::string viaWhole = dir.file("whole.vsk");
    // Taken carrier by carrier exactly when plain; declined, it leaves nothing.
    EXPECT_EQ(objectconversion::convertPlainDatabase<Format2_5_5>(input, viaPlain), c.plain);
    EXPECT_EQ(testutil::exists(viaPlain), c.plain);
    std::remove(viaPlain.c_str());
    const std::string plain = outcome(
        [&] { convertObjectDatabase<Format2_5_5>(std::make_unique<TSoundCarriers2_5_5>(), input, viaPlain); },
        viaPlain);
    const std::string whole = outcome(
        [&] {
          objectconversion::convertWholeDatabase<Format2_5_5>(std::make_unique<TSoundCarriers2_5_5>(), input,
                                                              viaWhole);
        },
        viaWhole);
    EXPECT_EQ(testutil::hex(plain), testutil::hex(whole));
    std::remove(viaPlain.c_str());
    std::remove(viaWhole.c_str());
  }
}

}  // namespace
