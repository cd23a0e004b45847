// The conversions of the formats 2.5, 2.5.3 and 2.5.5: what each carrier and
// title becomes, checked byte for byte on the written 2.5.7 file, and what a
// missing, foreign or damaged input leaves behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "convert/convert_database.h"
#include "data/sound_carriers.h"
#include "object_sample.h"
#include "test_util.h"

using sample::ObjectCarrier;
using sample::ObjectFormat;
using sample::ObjectTitle;
using testutil::block;
using testutil::dbl;
using testutil::le32;
using testutil::object;
using testutil::str;

namespace {

const std::string kProgram = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";
const std::string kCurrentHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]";
// Some value with every bit of the double in use: 07.05.1993, 13:31:46.9...
const double kRelease = 34096.563736497;

// ---- the expected 2.5.7 file, put together by hand ----------------------------

struct Expected {
  Expected(std::string n, std::string a, std::string u, int32_t t = 0, std::string type = "Original",
           std::string original = "")
      : name(std::move(n)),
        artist(std::move(a)),
        url(std::move(u)),
        contentType(std::move(type)),
        originalArtist(std::move(original)),
        track(t) {}
  std::string name, artist, url, contentType, originalArtist;
  int32_t track;
};

std::string titleRecord(const Expected& t) {
  return object("TTitle", str(t.name) + str(t.artist) + str(t.url) + le32(t.track) + str(t.contentType) +
                              str(t.originalArtist) + str("") + le32(0));
}

struct ExpectedCarrier {
  ExpectedCarrier(std::string n, std::string l, std::string a)
      : name(std::move(n)), label(std::move(l)), artist(std::move(a)) {}
  std::string name, label, artist, type = "Compact Disc";
  double release = kRelease;
  std::string notes, contentType = "Album";
  std::vector<Expected> titles;
};

std::string carrierRecord(const ExpectedCarrier& c) {
  std::string titles;
  for (const Expected& t : c.titles) titles += titleRecord(t);
  return object("TSoundCarrier", str(c.name) + str(c.label) + str(c.artist) + str(c.type) + dbl(c.release) +
                                     str(c.notes) + str(c.contentType) + str("") + str("") +
                                     object("TTOCList", le32(0)) +
                                     le32(static_cast<int64_t>(c.titles.size())) + titles);
}

std::string currentFile(const std::vector<ExpectedCarrier>& carriers) {
  std::string records;
  for (const ExpectedCarrier& c : carriers) records += carrierRecord(c);
  return kCurrentHeader + block(le32(static_cast<int64_t>(carriers.size())) + records);
}

// ---- sources ------------------------------------------------------------------

ObjectCarrier carrier(ObjectFormat format, const std::string& name, const std::string& artist) {
  ObjectCarrier c = sample::defaultCarrier(format);
  c.name = name;
  c.label = "Label";
  c.artist = artist;
  c.type = "Compact Disc";
  c.release = kRelease;
  c.notes = "";
  return c;
}

ObjectTitle title(ObjectFormat format, const std::string& name, const std::string& artist) {
  ObjectTitle t = sample::defaultTitle(format);
  t.name = name;
  t.artist = artist;
  t.url = "http://x/" + name;
  return t;
}

std::string versionOf(ObjectFormat format) {
  return format == ObjectFormat::k2_5 ? "2.5" : format == ObjectFormat::k2_5_3 ? "2.5.3" : "2.5.5";
}

class ConvertTest : public testing::TestWithParam<ObjectFormat> {
 protected:
  ObjectFormat format() const { return GetParam(); }
  std::string in() const { return dir.file("in.vsk"); }
  std::string out() const { return dir.file("out.vsk"); }

  // Writes the source, converts it and returns the bytes written.
  std::string convert(const std::vector<ObjectCarrier>& carriers) {
    sample::writeObjectDatabase(sample::ObjectDatabase{format(), carriers}, in());
    convertDatabase(versionOf(format()), in(), out());
    return testutil::readFile(out());
  }

  testutil::TempDir dir;
};

INSTANTIATE_TEST_SUITE_P(AllObjectFormats, ConvertTest,
                         testing::Values(ObjectFormat::k2_5, ObjectFormat::k2_5_3, ObjectFormat::k2_5_5),
                         [](const testing::TestParamInfo<ObjectFormat>& info) {
                           std::string v = versionOf(info.param);
                           for (char& c : v) c = c == '.' ? '_' : c;
                           return "V" + v;
                         });

TEST_P(ConvertTest, EmptyDatabaseIsStoredWithTheCurrentHeader) {
  std::string bytes = convert({});
  EXPECT_EQ(bytes, kCurrentHeader + le32(4) + le32(0));
  EXPECT_EQ(bytes.size(), 68u);
}

TEST_P(ConvertTest, OwnArtistCarrierKeepsArtistReleaseAndNotesAndRenumbersFromZero) {
  ObjectCarrier c = carrier(format(), "Bestie", "Die \xC4rzte");
  c.notes = "Zeile eins\r\nZeile zwei \xFC\xDF";
  for (const char* name : {"Schrei", "Friedenspanzer", "Westerland"})
    c.titles.push_back(title(format(), name, c.artist));
  std::string bytes = convert({c});

  ExpectedCarrier e{"Bestie", "Label", "Die \xC4rzte"};
  e.notes = c.notes;
  int32_t track = 0;
  for (const char* name : {"Schrei", "Friedenspanzer", "Westerland"}) {
    e.titles.emplace_back(name, "Die \xC4rzte", std::string("http://x/") + name, track++);
  }
  EXPECT_EQ(bytes, currentFile({e}));
}

TEST_P(ConvertTest, MixedArtistsMakeASampler) {
  ObjectCarrier c = carrier(format(), "Bravo Hits", "Various");
  c.titles = {title(format(), "One", "Various"), title(format(), "Two", "Someone Else")};
  std::string bytes = convert({c});

  ExpectedCarrier e{"Bravo Hits", "Label", "<Sampler>"};
  // 2.5 has no content types: a mixed carrier becomes a "Sampler"; 2.5.3 and
  // 2.5.5 keep the content type they stored.
  if (format() == ObjectFormat::k2_5) e.contentType = "Sampler";
  e.titles = {{"One", "Various", "http://x/One"}, {"Two", "Someone Else", "http://x/Two", 1}};
  EXPECT_EQ(bytes, currentFile({e}));
}

TEST_P(ConvertTest, CarrierWithoutTitlesKeepsItsArtist) {
  std::string bytes = convert({carrier(format(), "Empty", "Solo")});
  EXPECT_EQ(bytes, currentFile({ExpectedCarrier("Empty", "Label", "Solo")}));
}

TEST_P(ConvertTest, TitlesReachTheOutputInFileOrder) {
  ObjectCarrier c = carrier(format(), "Order", "A");
  for (int i = 0; i < 12; ++i) c.titles.push_back(title(format(), "T" + std::to_string(11 - i), "A"));
  std::string bytes = convert({c});
  ExpectedCarrier e{"Order", "Label", "A"};
  for (int i = 0; i < 12; ++i) {
    e.titles.emplace_back("T" + std::to_string(11 - i), "A", "http://x/T" + std::to_string(11 - i), i);
  }
  EXPECT_EQ(bytes, currentFile({e}));
}

TEST_P(ConvertTest, ReleaseIsCopiedBitForBit) {
  std::vector<ObjectCarrier> carriers;
  for (double release : {0.0, -693593.999999, 2958465.99999999, 36525.000000001, -0.0}) {
    carriers.push_back(carrier(format(), "R", "A"));
    carriers.back().release = release;
  }
  std::string bytes = convert(carriers);
  std::vector<ExpectedCarrier> expected;
  for (const ObjectCarrier& c : carriers) {
    expected.emplace_back("R", "Label", "A");
    expected.back().release = c.release;
  }
  EXPECT_EQ(bytes, currentFile(expected));
}

TEST_P(ConvertTest, ConvertedFileLoadsAndStoresToTheSameBytes) {
  ObjectCarrier c = carrier(format(), "Round", "X");
  c.notes = "a\r\nb";
  c.titles = {title(format(), "One", "X"), title(format(), "Two", "Y")};
  std::string bytes = convert({c, carrier(format(), "Second", "Z")});

  TSoundCarriers database;
  database.load(out());
  ASSERT_EQ(database.size(), 2);
  EXPECT_EQ(database.getCarrier(0)->getTitle(1)->track, 1);
  database.store(dir.file("again.vsk"));
  EXPECT_EQ(testutil::readFile(dir.file("again.vsk")), bytes);
}

// ---- content types of 2.5.3 and 2.5.5 -------------------------------------------

class ContentTypeTest : public ConvertTest {};

INSTANTIATE_TEST_SUITE_P(FormatsWithContentTypes, ContentTypeTest,
                         testing::Values(ObjectFormat::k2_5_3, ObjectFormat::k2_5_5),
                         [](const testing::TestParamInfo<ObjectFormat>& info) {
                           return info.param == ObjectFormat::k2_5_3 ? std::string("V2_5_3") : "V2_5_5";
                         });

TEST_P(ContentTypeTest, SamplerContentTypeSetsTheSamplerArtist) {
  ObjectCarrier c = carrier(format(), "Hits", "Somebody");
  c.contentType = "Sampler";
  c.titles = {title(format(), "One", "Somebody")};
  std::string bytes = convert({c});
  ExpectedCarrier e{"Hits", "Label", "<Sampler>"};
  e.contentType = "Sampler";
  e.titles = {{"One", "Somebody", "http://x/One"}};
  EXPECT_EQ(bytes, currentFile({e}));
}

// The content type is set before the titles arrive, so a split carrier is
// stored without an artist; the library assembles it from the titles, which
// all keep their artists.
TEST_P(ContentTypeTest, SplitCarrierArrivesWithAnEmptyArtistAndItsTitlesArtists) {
  ObjectCarrier c = carrier(format(), "Split 7\"", "stale");
  c.type = "Schallplatte";
  c.contentType = "Split";
  c.titles = {title(format(), "A1", "Alpha"), title(format(), "A2", "alpha"), title(format(), "B1", "Beta"),
              title(format(), "B2", "")};
  std::string bytes = convert({c});
  ExpectedCarrier e{"Split 7\"", "Label", ""};
  e.type = "Schallplatte";
  e.contentType = "Split";
  e.titles = {{"A1", "Alpha", "http://x/A1", 0},
              {"A2", "alpha", "http://x/A2", 1},
              {"B1", "Beta", "http://x/B1", 2},
              {"B2", "", "http://x/B2", 3}};
  EXPECT_EQ(bytes, currentFile({e}));
}

TEST_P(ContentTypeTest, SplitWithoutTitlesHasAnEmptyArtist) {
  ObjectCarrier c = carrier(format(), "Nothing", "stale");
  c.contentType = "Split";
  ExpectedCarrier e{"Nothing", "Label", ""};
  e.contentType = "Split";
  EXPECT_EQ(convert({c}), currentFile({e}));
}

// The sampler artist comes from the mixed titles, not from the content type,
// which the carrier keeps.
TEST_P(ContentTypeTest, MixedArtistsMakeASamplerArtistWhateverTheContentType) {
  ObjectCarrier c = carrier(format(), "Unplugged", "Band");
  c.contentType = "Live";
  c.titles = {title(format(), "One", "Band"), title(format(), "Two", "Guest")};
  ExpectedCarrier e{"Unplugged", "Label", "<Sampler>"};
  e.contentType = "Live";
  e.titles = {{"One", "Band", "http://x/One", 0}, {"Two", "Guest", "http://x/Two", 1}};
  EXPECT_EQ(convert({c}), currentFile({e}));
}

TEST_P(ContentTypeTest, OriginalWithAnOriginalArtistBecomesARemix) {
  ObjectCarrier c = carrier(format(), "Mixes", "DJ");
  c.titles = {title(format(), "Plain", "DJ"), title(format(), "Cover", "DJ"), title(format(), "Blank", "DJ"),
              title(format(), "Live", "DJ")};
  c.titles[1].originalArtist = " \t Kraftwerk  ";
  c.titles[2].originalArtist = "   ";
  c.titles[3].contentType = "Live";
  c.titles[3].originalArtist = "Band";
  std::string bytes = convert({c});
  ExpectedCarrier e{"Mixes", "Label", "DJ"};
  e.titles = {{"Plain", "DJ", "http://x/Plain", 0},
              {"Cover", "DJ", "http://x/Cover", 1, "Remix", "Kraftwerk"},
              {"Blank", "DJ", "http://x/Blank", 2},
              {"Live", "DJ", "http://x/Live", 3, "Live", "Band"}};
  EXPECT_EQ(bytes, currentFile({e}));
}

// ---- format 2.5.5 only ------------------------------------------------------------

class Convert2_5_5Test : public testing::Test {
 protected:
  std::string convert(const std::vector<ObjectCarrier>& carriers) {
    sample::writeObjectDatabase(sample::ObjectDatabase{ObjectFormat::k2_5_5, carriers}, dir.file("in.vsk"));
    convertDatabase("2.5.5", dir.file("in.vsk"), dir.file("out.vsk"));
    return testutil::readFile(dir.file("out.vsk"));
  }
  testutil::TempDir dir;
};

TEST_F(Convert2_5_5Test, FilmAndImagesAreDropped) {
  ObjectCarrier c = carrier(ObjectFormat::k2_5_5, "Soundtrack", "Score");
  c.image = "cover.jpg";
  c.printImage = "print.jpg";
  c.titles = {title(ObjectFormat::k2_5_5, "Theme", "Score")};
  c.titles[0].film = "Der Film";
  std::string bytes = convert({c});
  ExpectedCarrier e{"Soundtrack", "Label", "Score"};
  e.titles = {{"Theme", "Score", "http://x/Theme"}};
  EXPECT_EQ(bytes, currentFile({e}));
}

// One carrier (5-byte name, no label, 6-byte artist, no notes) with one title
// (4-byte name, the carrier's artist, no url): the 245 bytes of the current
// format's worked example.
TEST_F(Convert2_5_5Test, WorkedExampleConvertsToItsExact245Bytes) {
  ObjectCarrier c = sample::defaultCarrier(ObjectFormat::k2_5_5);
  c.name = "Hello";
  c.artist = "Artist";
  c.release = kRelease;
  ObjectTitle t = sample::defaultTitle(ObjectFormat::k2_5_5);
  t.name = "Song";
  t.artist = "Artist";
  t.url = "";
  c.titles = {t};
  std::string bytes = convert({c});

  ASSERT_EQ(bytes.size(), 245u);
  EXPECT_EQ(bytes.substr(0, 60), kCurrentHeader);
  EXPECT_EQ(bytes.substr(60, 4), le32(181));
  EXPECT_EQ(bytes.substr(85, 4), le32(156));
  EXPECT_EQ(bytes.substr(128, 8), dbl(kRelease));
  EXPECT_EQ(bytes.substr(169, 4), le32(4));
  EXPECT_EQ(bytes.substr(191, 4), le32(50));
  ExpectedCarrier e{"Hello", "", "Artist"};
  e.titles = {{"Song", "Artist", ""}};
  EXPECT_EQ(bytes, currentFile({e}));
}

// ---- failures -------------------------------------------------------------------

class ConvertFailureTest : public testing::Test {
 protected:
  std::string in() const { return dir.file("in.vsk"); }
  std::string out() const { return dir.file("out.vsk"); }

  // The message of the IOException that converting `bytes` raises; the
  // output must not have been written.
  std::string failure(const std::string& version, const std::string& bytes) {
    testutil::writeFile(in(), bytes);
    std::string message = messageOf<IOException>([&] { convertDatabase(version, in(), out()); });
    EXPECT_FALSE(testutil::exists(out()));
    return message;
  }

  std::string valid2_5_5() {
    ObjectCarrier c = carrier(ObjectFormat::k2_5_5, "Album", "Artist");
    c.titles = {title(ObjectFormat::k2_5_5, "One", "Artist")};
    sample::writeObjectDatabase(sample::ObjectDatabase{ObjectFormat::k2_5_5, {c}}, in());
    return testutil::readFile(in());
  }

  testutil::TempDir dir;
};

const std::string k255Header = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.5]";

TEST_F(ConvertFailureTest, MissingInputIsReported) {
  EXPECT_EQ(messageOf<IOException>([&] { convertDatabase("2.5", in(), out()); }),
            "TFile.open: (FileNotFoundException) File '" + in() + "' not found.");
  EXPECT_FALSE(testutil::exists(out()));
}

TEST_F(ConvertFailureTest, FileOfAnotherVersionFailsAtTheHeader) {
  // Each object format given as each of the other two: the 58-byte 2.5
  // header and the 60-byte ones differ within the bytes compared.
  for (ObjectFormat stored : {ObjectFormat::k2_5, ObjectFormat::k2_5_3, ObjectFormat::k2_5_5}) {
    ObjectCarrier c = carrier(stored, "Album", "Artist");
    c.titles = {title(stored, "One", "Artist")};
    sample::writeObjectDatabase(sample::ObjectDatabase{stored, {c}}, in());
    const std::string bytes = testutil::readFile(in());
    for (const std::string version : {"2.5", "2.5.3", "2.5.5"}) {
      if (version == versionOf(stored)) continue;
      std::string header = "[Application:Vosko.Type:SoundCarrier-Database.Version:" + version + "]";
      EXPECT_EQ(failure(version, bytes),
                "TFile.open: (IOException) File '" + in() + "' does not support header: '" + header + "'.")
          << versionOf(stored) << " read as " << version;
    }
  }
}

TEST_F(ConvertFailureTest, TruncatedFileFailsAtEveryLength) {
  std::string bytes = valid2_5_5();
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::string message = failure("2.5.5", bytes.substr(0, n));
    if (n < 60) {
      EXPECT_EQ(message, "TFile.open: (IOException) File '" + in() + "' does not support header: '" +
                             k255Header + "'.");
    } else {
      EXPECT_EQ(message, "TFile: IO error while read binary. '" + in() + "' is cut short at offset " +
                             std::to_string(n) + ".")
          << n;
    }
  }
}

TEST_F(ConvertFailureTest, UnknownStoredClassNameIsReportedThroughReadTPObject) {
  std::string bytes = valid2_5_5();
  size_t at = bytes.find("TTitle");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 6, "TFoo00");
  EXPECT_EQ(
      failure("2.5.5", bytes),
      "TFile.readTPObject: (IOException) TFile.readTPObject: (InvalidKeyException) THashtable.get: Key: "
      "TFoo00 not found.");
  // A registered class that the map does not name is refused the same way.
  bytes = valid2_5_5();
  bytes.replace(bytes.find("TTitle"), 6, "TTOCLi");
  EXPECT_EQ(
      failure("2.5.5", bytes),
      "TFile.readTPObject: (IOException) TFile.readTPObject: (InvalidKeyException) THashtable.get: Key: "
      "TTOCLi not found.");
}

TEST_F(ConvertFailureTest, RecordOfTheWrongClassIsRefused) {
  // A title where a carrier belongs: the database's add refuses it.
  std::string titleRecord =
      object("TTitle", str("T") + str("A") + str("") + str("Original") + str("") + str(""));
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] {
              testutil::writeFile(in(), k255Header + block(le32(1) + titleRecord));
              convertDatabase("2.5.5", in(), out());
            }),
            "TSoundCarriers2_5_5.add: Object is no carrier.");
  EXPECT_FALSE(testutil::exists(out()));

  // A carrier where a title belongs: refused inside the carrier's own reading.
  std::string inner = object("TSoundCarrier", str("") + str("") + str("") + str("") + dbl(0) + str("") +
                                                  str("") + str("") + str("") + le32(0));
  std::string outer = object("TSoundCarrier", str("") + str("") + str("") + str("") + dbl(0) + str("") +
                                                  str("") + str("") + str("") + le32(1) + inner);
  EXPECT_EQ(failure("2.5.5", k255Header + block(le32(1) + outer)),
            "TFile.readTPObject: (IllegalArgumentException) TSoundCarrier2_5_5.add: Object is no title.");
}

TEST_F(ConvertFailureTest, FailedRunExitsWithOneAndLeavesAnExistingOutputUntouched) {
  std::string bytes = valid2_5_5();
  testutil::writeFile(in(), bytes.substr(0, bytes.size() - 1));
  testutil::writeFile(out(), "precious");
  testutil::RunResult r = testutil::run(kProgram, {"2.5.5", in(), out()}, dir.path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("FATAL ERROR: convertVosko.exe: TFile: IO error while read binary. '" + in() +
                       "' is cut short at offset " + std::to_string(bytes.size() - 1) + ".\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(testutil::readFile(out()), "precious");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.vsk", "out.vsk"}));
}

TEST_F(ConvertFailureTest, SuccessfulRunExitsWithZero) {
  valid2_5_5();
  testutil::RunResult r = testutil::run(kProgram, {"2.5.5", in(), out()}, dir.path());
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(r.out.find("ERROR"), std::string::npos) << r.out;
  EXPECT_TRUE(testutil::exists(out()));
}

// ---- paths that are no plain files -------------------------------------------

class ConvertPathTest : public ConvertFailureTest {
 protected:
  void SetUp() override {
    // The 1.5 and 2.0 managers read their settings; keep them in the test directory.
    setenv("VOSKO_REGISTRY", dir.file("registry.reg").c_str(), 1);
    valid2_5_5();
  }
  void TearDown() override { unsetenv("VOSKO_REGISTRY"); }

  // Runs the program; it must fail with `message` and leave the good output as it was.
  void expectRefused(const std::string& version, const std::string& input, const std::string& output,
                     const std::string& message) {
    testutil::RunResult r = testutil::run(kProgram, {version, input, output}, dir.path());
    EXPECT_EQ(r.exitCode, 1) << version << " " << input << " " << output;
    EXPECT_NE(r.out.find("FATAL ERROR: convertVosko.exe: " + message + "\n"), std::string::npos)
        << version << ": " << r.out;
  }
};

TEST_F(ConvertPathTest, OutputThatIsNoRegularFileIsRefusedBeforeAnythingIsRead) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
  for (const std::string& output :
       {std::string("/dev/full"), std::string("/dev/null"), dir.file("fifo"), dir.file("sub")}) {
    for (const std::string version : {"2.0", "2.5.5"}) {
      expectRefused(version, in(), output, "'" + output + "' is not a regular file.");
    }
  }
  // A link to a descriptor that is a pipe, as /proc/self/fd/1 often is.
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const std::string link = dir.file("to-pipe");
  ASSERT_EQ(symlink(("/proc/self/fd/" + std::to_string(pipeFds[1])).c_str(), link.c_str()), 0);
  EXPECT_EQ(messageOf<EInOutError>([&] { convertDatabase("2.5.5", in(), link); }),
            "'" + link + "' is not a regular file.");
  close(pipeFds[0]);
  close(pipeFds[1]);
  struct stat st {};
  EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
  EXPECT_TRUE(lstat(dir.file("fifo").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST_F(ConvertPathTest, LinkedOutputIsReplacedWhereItPoints) {
  testutil::TempDir other;
  testutil::writeFile(other.file("db.vsk"), "old");
  ASSERT_EQ(symlink(other.file("db.vsk").c_str(), out().c_str()), 0);
  EXPECT_EQ(testutil::run(kProgram, {"2.5.5", in(), out()}, dir.path()).exitCode, 0);
  struct stat st {};
  EXPECT_TRUE(lstat(out().c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_NE(testutil::readFile(other.file("db.vsk")), "old");
  EXPECT_EQ(other.entries(), std::vector<std::string>{"db.vsk"});
}

TEST_F(ConvertPathTest, InputThatIsNoRegularFileIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  for (const std::string& input : {dir.file("fifo"), std::string("/dev/zero")}) {
    for (const std::string version : {"1.5", "2.0", "2.5", "2.5.3", "2.5.5"}) {
      expectRefused(version, input, out(), "'" + input + "' is not a regular file.");
    }
  }
  EXPECT_FALSE(testutil::exists(out()));
}

TEST_F(ConvertPathTest, UnreadableOldInputIsAFailureNotAnEmptyDatabase) {
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
  ASSERT_EQ(symlink("loop-b", dir.file("loop-a").c_str()), 0);
  ASSERT_EQ(symlink("loop-a", dir.file("loop-b").c_str()), 0);
  const std::string tooLong = dir.file(std::string(300, 'x'));
  testutil::writeFile(out(), "precious");
  for (const auto& [input, reason] :
       {std::pair{dir.file("sub"), std::string("Is a directory")},
        std::pair{dir.file("loop-a"), std::string("Too many levels of symbolic links")},
        std::pair{tooLong, std::string("File name too long")}}) {
    for (const std::string version : {"1.5", "2.0"}) {
      expectRefused(version, input, out(), "Cannot open '" + input + "': " + reason);
    }
    // The newer readers say why too, instead of calling the path not found.
    for (const std::string version : {"2.5", "2.5.3", "2.5.5"}) {
      expectRefused(version, input, out(),
                    "TFile.open: (EInOutError) Cannot open '" + input + "': " + reason);
    }
  }
  EXPECT_EQ(testutil::readFile(out()), "precious");

  // A file under a directory this user may not enter.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const std::string hidden = dir.file("sub/db.vsk");
  chmod(dir.path().c_str(), 0777);
  chmod(out().c_str(), 0666);
  EXPECT_TRUE(testutil::asNobody([&] {
    for (const std::string version : {"1.5", "2.0"}) {
      try {
        convertDatabase(version, hidden, out());
        return false;
      } catch (const Exception& e) {
        if (e.message() != "Cannot open '" + hidden + "': Permission denied") return false;
      }
    }
    return true;
  }));
  EXPECT_EQ(testutil::readFile(out()), "precious");
}

TEST_F(ConvertPathTest, MissingOldInputStillGivesAnEmptyDatabase) {
  EXPECT_EQ(testutil::run(kProgram, {"2.0", dir.file("none.vsk"), out()}, dir.path()).exitCode, 0);
  EXPECT_TRUE(testutil::exists(out()));
}

TEST_F(ConvertPathTest, UnwritableConsoleDoesNotStopTheConversion) {
  // A full device, a closed descriptor and a pipe nobody reads (no SIGPIPE death).
  int full = open("/dev/full", O_WRONLY);
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  close(pipeFds[0]);
  for (int console : {full, -1, pipeFds[1]}) {
    unlink(out().c_str());
    EXPECT_EQ(testutil::runWithStdout(kProgram, {"2.5.5", in(), out()}, console), 0) << console;
    EXPECT_TRUE(testutil::exists(out())) << console;
    EXPECT_EQ(testutil::runWithStdout(kProgram, {"2.5.5", dir.file("none"), out()}, console), 1) << console;
    EXPECT_EQ(testutil::runWithStdout(kProgram, {}, console), 2) << console;
  }
  close(full);
  close(pipeFds[1]);
}

TEST_F(ConvertPathTest, LongestOutputNameIsWritten) {
  for (size_t length : {249u, 255u}) {
    const std::string output = dir.file(std::string(length, 'o'));
    EXPECT_EQ(testutil::run(kProgram, {"2.5.5", in(), output}, dir.path()).exitCode, 0) << length;
    EXPECT_TRUE(testutil::exists(output)) << length;
  }
}

}  // namespace
