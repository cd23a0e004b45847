#include "basis/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <random>

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/hashtable.h"
#include "basis/string_value.h"
#include "basis/test_node.h"
#include "fault_loop.h"
#include "platform/system_info.h"
#include "test_util.h"

using testutil::dbl;
using testutil::le32;
using testutil::str;

namespace {

class FileTest : public testing::Test {
 protected:
  void SetUp() override {
    TTestNode::registerOnce();
    platform::faults::reset();
  }
  void TearDown() override {
    platform::faults::reset();
    TFile::setMaxLengthForTesting(0);
  }

  // The message of the IOException that `f` raises; fails the test when it raises none.
  template <class F>
  std::string messageOf(F f) {
    try {
      f();
    } catch (const IOException& e) {
      return e.message();
    }
    ADD_FAILURE() << "no IOException raised";
    return "";
  }

  std::string nodeBytes(int32_t number, const std::string& name) {
    return le32(number) + str(name) + dbl(0) + std::string(1, '\0') + le32(0);
  }

  testutil::TempDir dir;
};

TEST_F(FileTest, EmptyHeaderFileBeginsWithBlockLength) {
  TTestNode node;
  node.number = 7;
  node.name = "ab";
  node.store(dir.file("n.bin"));
  std::string body = nodeBytes(7, "ab");
  EXPECT_EQ(testutil::readFile(dir.file("n.bin")), le32(static_cast<int64_t>(body.size())) + body);
}

TEST_F(FileTest, HeaderIsWrittenRawAndChecked) {
  TTestNode node;
  node.header = "[HDR]";
  node.number = -2;
  node.store(dir.file("n.bin"));
  std::string body = nodeBytes(-2, "");
  EXPECT_EQ(testutil::readFile(dir.file("n.bin")), "[HDR]" + le32(static_cast<int64_t>(body.size())) + body);

  TTestNode back;
  back.header = "[HDR]";
  back.load(dir.file("n.bin"));
  EXPECT_EQ(back.number, -2);
}

TEST_F(FileTest, NestedObjectsRoundTripBufferedAndUnbuffered) {
  // Four levels of nesting; some blocks are gathered in memory, some written directly.
  TTestNode plain;
  plain.name = "root";
  for (int i = 0; i < 3; ++i) {
    TTestNode* a = plain.add(i, "a" + std::to_string(i), i == 1);
    a->when = 36526.5 + i;
    for (int j = 0; j < 2; ++j) {
      TTestNode* b = a->add(j, "b", j == 0);
      b->flag = true;
      b->add(-j, std::string(300, 'x'), true)->add(99, "leaf");
    }
  }
  plain.store(dir.file("plain.bin"));

  TTestNode back;
  back.load(dir.file("plain.bin"));
  EXPECT_TRUE(back.sameAs(plain));

  // Buffering changes how the bytes reach the file, never the bytes.
  plain.buffered = true;
  plain.store(dir.file("buffered.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("buffered.bin")), testutil::readFile(dir.file("plain.bin")));
}

TEST_F(FileTest, ObjectIsClassNameThenBlock) {
  TTestNode node;
  node.add(5, "c");
  node.store(dir.file("n.bin"));
  std::string child = nodeBytes(5, "c");
  std::string body = le32(0) + str("") + dbl(0) + std::string(1, '\0') + le32(1) + str("TTestNode") +
                     le32(static_cast<int64_t>(child.size())) + child;
  EXPECT_EQ(testutil::readFile(dir.file("n.bin")), le32(static_cast<int64_t>(body.size())) + body);
}

TEST_F(FileTest, OpenFailuresAreWrapped) {
  EXPECT_EQ(messageOf([&] { TFile f("", false, ""); }),
            "TFile.open: (IOException) Missing filename, can't write to stdout.");
  EXPECT_EQ(messageOf([&] { TFile f("", true, ""); }),
            "TFile.open: (IOException) Missing filename, can't write to stdout.");
  std::string missing = dir.file("missing.bin");
  EXPECT_EQ(messageOf([&] { TFile f(missing, false, ""); }),
            "TFile.open: (FileNotFoundException) File '" + missing + "' not found.");
  TTestNode node;
  EXPECT_EQ(messageOf([&] { node.store(); }),
            "TFile.open: (IOException) Missing filename, can't write to stdout.");
}

TEST_F(FileTest, ReadOnlyTargetIsRefused) {
  std::string target = dir.file("ro.bin");
  testutil::writeFile(target, "old");
  chmod(target.c_str(), 0444);
  TTestNode node;
  EXPECT_EQ(messageOf([&] { node.store(target); }),
            "TFile.open: (IOException) Try to write read only file '" + target + "'.");
  EXPECT_EQ(testutil::readFile(target), "old");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"ro.bin"});
}

TEST_F(FileTest, TargetThatIsNoRegularFileIsRefused) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  TTestNode node;
  for (const std::string& target : {std::string("/dev/full"), dir.file("fifo")}) {
    EXPECT_EQ(messageOf([&] { node.store(target); }),
              "TFile.open: (EInOutError) '" + target + "' is not a regular file.");
  }
  struct stat st {};
  EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"fifo"});
}

TEST_F(FileTest, AnotherUsersFileIsReadOnlyEvenInAWritableDirectory) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  std::string target = dir.file("root.bin");
  testutil::writeFile(target, "old");
  chmod(target.c_str(), 0644);
  chmod(dir.path().c_str(), 0777);
  EXPECT_TRUE(testutil::asNobody([&] {
    TTestNode node;
    try {
      node.store(target);
    } catch (const IOException& e) {
      return e.message() == "TFile.open: (IOException) Try to write read only file '" + target + "'.";
    }
    return false;
  }));
  EXPECT_EQ(testutil::readFile(target), "old");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"root.bin"});
}

TEST_F(FileTest, WrongOrShortHeaderIsRefused) {
  std::string name = dir.file("h.bin");
  std::string expected = "TFile.open: (IOException) File '" + name + "' does not support header: '[ABC]'.";
  testutil::writeFile(name, "[ABD]" + le32(0));
  EXPECT_EQ(messageOf([&] { TFile f(name, false, "[ABC]"); }), expected);
  testutil::writeFile(name, "[AB");
  EXPECT_EQ(messageOf([&] { TFile f(name, false, "[ABC]"); }), expected);
  testutil::writeFile(name, "");
  EXPECT_EQ(messageOf([&] { TFile f(name, false, "[ABC]"); }), expected);
}

TEST_F(FileTest, IllegalDirectionIsRefused) {
  std::string name = dir.file("d.bin");
  testutil::writeFile(name, le32(1));
  {
    TFile in(name, false, "");
    EXPECT_EQ(messageOf([&] { in.writeInt(1); }), "TFile: Illegal write, file opened for read.");
    EXPECT_EQ(messageOf([&] { in.writeBytes("", 0); }), "TFile: Illegal write, file opened for read.");
  }
  TFile out(dir.file("o.bin"), true, "");
  EXPECT_EQ(messageOf([&] { out.readInt(); }), "TFile: Illegal read, file opened for write.");
}

// A read past the end names the file and the offset where it ends; a read
// that the system fails names the system's reason instead.
TEST_F(FileTest, ShortReadsNameTheFileAndTheOffset) {
  const std::string name = dir.file("s.bin");
  const std::string cut = "TFile: IO error while read binary. '" + name + "' is cut short at offset ";
  const std::string failed = "TFile: IO error while read binary. Cannot read '" + name + "' at offset ";
  const struct {
    const char* what;
    std::string bytes;
    long failingRead;  // 0 for none
    std::function<void(TFile&)> read;
    std::string message;
  } cases[] = {
      {"string cut", le32(10) + "xyz", 0, [](TFile& in) { in.readString(); }, cut + "7."},
      {"integer cut", "abc", 0, [](TFile& in) { in.readInt(); }, cut + "3."},
      {"integer unreadable", le32(1), 1, [](TFile& in) { in.readInt(); }, failed + "0: Input/output error."},
      {"outer block unreadable", le32(3) + "abc", 2, [](TFile& in) { in.beginReadBlock(true); },
       failed + "4: Input/output error."},
  };
  for (const auto& c : cases) {
    testutil::writeFile(name, c.bytes);
    TFile in(name, false, "");
    if (c.failingRead != 0) platform::faults::failNthRead(c.failingRead);
    EXPECT_EQ(messageOf([&] { c.read(in); }), c.message) << c.what;
    platform::faults::reset();
  }
}

TEST_F(FileTest, ZeroAndNegativeStringLengthsReadEmpty) {
  std::string name = dir.file("z.bin");
  testutil::writeFile(name, le32(0) + le32(-5) + le32(7));
  TFile in(name, false, "");
  EXPECT_EQ(in.readString(), "");
  EXPECT_EQ(in.readString(), "");
  EXPECT_EQ(in.readInt(), 7);
}

TEST_F(FileTest, BlockLongerThanItsFieldsFailsAtItsEnd) {
  std::string body = nodeBytes(1, "x");
  testutil::writeFile(dir.file("b.bin"), le32(static_cast<int64_t>(body.size()) + 2) + body + "zz");
  TTestNode node;
  EXPECT_EQ(messageOf([&] { node.load(dir.file("b.bin")); }),
            "TFile: Read-Buffer too small or too large, file corrupt: ");
}

TEST_F(FileTest, FieldPastTheBlockEndFailsInTheBuffer) {
  std::string body = nodeBytes(1, "x");
  body.resize(body.size() - 2);
  testutil::writeFile(dir.file("b.bin"), le32(static_cast<int64_t>(body.size())) + body + "zz");
  TTestNode node;
  EXPECT_EQ(messageOf([&] { node.load(dir.file("b.bin")); }),
            "TFile: Read-Buffer too small or too large, file corrupt: 18@buffer.");
}

TEST_F(FileTest, NestedBlockPastTheOuterBlockFails) {
  std::string child = nodeBytes(5, "c");
  std::string body =
      le32(0) + str("") + dbl(0) + std::string(1, '\0') + le32(1) + str("TTestNode") + le32(1000) + child;
  std::string file = le32(static_cast<int64_t>(body.size())) + body;
  testutil::writeFile(dir.file("n.bin"), file);
  TTestNode node;
  EXPECT_EQ(messageOf([&] { node.load(dir.file("n.bin")); }),
            "TFile.readTPObject: (IOException) TFile: IO error while read binary. '" + dir.file("n.bin") +
                "': a block runs past the one around it, which ends at offset " +
                std::to_string(file.size()) + ".");
}

TEST_F(FileTest, ImpossibleOuterLengthsFailWithoutAllocating) {
  std::string body = nodeBytes(1, "x");
  const std::string cut = "TFile: IO error while read binary. '" + dir.file("l.bin") +
                          "' is cut short at offset " + std::to_string(4 + body.size()) + ".";
  struct Case {
    int64_t length;
    std::string message;
  } cases[] = {
      {0x7FFFFFFF, cut},
      {static_cast<int64_t>(body.size()) + 1, cut},
      {0, "TFile: Read-Buffer too small or too large, file corrupt: 0@buffer."},
      {-1, "TFile: Read-Buffer too small or too large, file corrupt: "},
      {-0x7FFFFFFF - 1, "TFile: Read-Buffer too small or too large, file corrupt: "},
  };
  for (const Case& c : cases) {
    testutil::writeFile(dir.file("l.bin"), le32(c.length) + body);
    TTestNode node;
    EXPECT_EQ(messageOf([&] { node.load(dir.file("l.bin")); }), c.message) << c.length;
  }
}

TEST_F(FileTest, HugeStringLengthFailsWithoutAllocating) {
  std::string name = dir.file("s.bin");
  testutil::writeFile(name, le32(0x7FFFFFFF) + "abc");
  TFile in(name, false, "");
  EXPECT_EQ(messageOf([&] { in.readString(); }),
            "TFile: IO error while read binary. '" + name + "' is cut short at offset 7.");
}

TEST_F(FileTest, EveryTruncationFailsCleanly) {
  TTestNode tree;
  tree.header = "[T]";
  for (int i = 0; i < 3; ++i) tree.add(i, "child" + std::to_string(i))->add(i * 10, "grandchild");
  tree.store(dir.file("full.bin"));
  std::string full = testutil::readFile(dir.file("full.bin"));
  for (size_t cut = 0; cut < full.size(); ++cut) {
    testutil::writeFile(dir.file("cut.bin"), full.substr(0, cut));
    TTestNode back;
    back.header = "[T]";
    std::string message = messageOf([&] { back.load(dir.file("cut.bin")); });
    EXPECT_TRUE(message.find("TFile") == 0) << cut << ": " << message;
  }
}

TEST_F(FileTest, RandomCorruptionNeverCrashes) {
  TTestNode tree;
  for (int i = 0; i < 4; ++i) tree.add(i, "c")->add(i, std::string(20, 'y'));
  tree.store(dir.file("full.bin"));
  std::string full = testutil::readFile(dir.file("full.bin"));
  std::mt19937 random(12345);
  for (int round = 0; round < 500; ++round) {
    std::string bad = full;
    for (int k = 0; k < 3; ++k) bad[random() % bad.size()] = static_cast<char>(random());
    testutil::writeFile(dir.file("bad.bin"), bad);
    TTestNode back;
    try {
      back.load(dir.file("bad.bin"));
    } catch (const IOException&) {
    }
  }
}

TEST_F(FileTest, UnknownClassAndNonPersistentClassAreReported) {
  ClassRegistry::registerClass("TPlainObject", [] { return std::make_unique<TMappedObject>(); });
  for (auto [name, message] :
       {std::pair<std::string, std::string>{
            "TNoSuchClass", "TFile.readTPObject: (EClassNotFound) Klasse TNoSuchClass nicht gefunden"},
        {"TPlainObject", "TFile.readTPObject: (Exception) Class reference isn't TPObject."}}) {
    testutil::writeFile(dir.file("c.bin"), str(name) + le32(0));
    TFile in(dir.file("c.bin"), false, "");
    EXPECT_EQ(messageOf([&] { in.readTPObject(); }), message);
  }
}

TEST_F(FileTest, PrimitivesAreLittleEndian) {
  {
    TFile out(dir.file("p.bin"), true, "H");
    out.writeInt(-2);
    out.writeCardinal(0xFFFFFFFEu);
    out.writeDouble(1.5);
    out.writeBoolean(true);
    out.writeChars("ab");
    out.writeString("cd");
    out.close();
  }
  EXPECT_EQ(testutil::readFile(dir.file("p.bin")),
            "H" + testutil::hex("FE FF FF FF FE FF FF FF 00 00 00 00 00 00 F8 3F 01") + "ab" + str("cd"));
  testutil::writeFile(dir.file("q.bin"), testutil::hex("02 FF"));
  TFile in(dir.file("q.bin"), false, "");
  EXPECT_TRUE(in.readBoolean());  // any non-zero byte is true
  EXPECT_TRUE(in.readBoolean());
}

TEST_F(FileTest, FailedStoreLeavesOldFileOrCompleteNewOne) {
  std::string target = dir.file("db.bin");
  // Large enough that the file reaches the disk in several writes.
  TTestNode newTree;
  for (int i = 0; i < 2500; ++i) newTree.add(i, std::string(1000, static_cast<char>('a' + i % 26)));
  testutil::expectOldOrNewUnderFaults(
      dir, target,
      [&] {
        TTestNode oldTree;
        oldTree.name = "old";
        oldTree.store(target);
      },
      [&] { newTree.store(target); });
}

// A failed write names the file and the system's reason, whether the thread
// writing behind or the caller's own write met it, and leaves that reason as
// the last error for the report.
TEST_F(FileTest, FailedWriteNamesTheFileAndTheReason) {
  const std::string target = dir.file("db.bin");
  const std::string failed = "TFile: IO error while write binary. Cannot write '" + target + "'";
  TTestNode bigTree;  // larger than one hand-over, so a thread writes it behind
  for (int i = 0; i < 600; ++i) bigTree.add(i, std::string(1000, 'a'));
  TTestNode smallTree;
  const struct {
    const char* what;
    TTestNode& tree;
    int error;
    std::string message;
  } cases[] = {
      {"full disk, written behind", bigTree, ENOSPC, failed + ": No space left on device."},
      {"full disk, written here", smallTree, ENOSPC, failed + ": No space left on device."},
      {"file too large", smallTree, EFBIG, failed + ": File too large."},
      {"no reason given", smallTree, 0, failed + "."},
  };
  for (const auto& c : cases) {
    platform::faults::failWritesWith(c.error);
    platform::faults::failNthWrite(1);
    EXPECT_EQ(messageOf([&] { c.tree.store(target); }), c.message) << c.what;
    EXPECT_EQ(errno, c.error) << c.what;
    platform::faults::reset();
    EXPECT_TRUE(dir.entries().empty()) << c.what;
  }
}

// Only a close puts a file in place or an addition on its file, and never
// with a block still open: its length would stay 0.
TEST_F(FileTest, OnlyACloseWithEveryBlockEndedCompletesTheFile) {
  const std::string name = dir.file("db.bin");
  const std::string old = "HEAD" + le32(0);
  const struct {
    const char* what;
    std::function<void()> write;
    bool refused;
  } cases[] = {
      {"replacement dropped", [&] { TFile(name, true, "").beginBlock(true, false); }, false},
      {"replacement closed",
       [&] {
         TFile file(name, true, "");
         file.beginBlock(true, false);
         file.close();
       },
       true},
      {"addition closed",
       [&] {
         TFile file(name, TFile::AppendFrom{8});
         file.beginBlock(true, false);
         file.writeInt(5);
         file.close();
       },
       true},
      {"addition closed with its patch",
       [&] {
         TFile file(name, TFile::AppendFrom{8});
         file.beginBlock(true, false);
         file.writeInt(5);
         file.closeAppended(4, le32(1));
       },
       true},
  };
  for (const auto& c : cases) {
    testutil::writeFile(name, old);
    try {
      c.write();
      EXPECT_FALSE(c.refused) << c.what;
    } catch (const IllegalStateException& e) {
      EXPECT_EQ(e.message(), "TFile.close: Block still open, nothing stored.") << c.what;
    }
    EXPECT_EQ(testutil::readFile(name), old) << c.what;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"db.bin"}) << c.what;
  }
}

// Gathered bytes go to the disk a quarter megabyte at a time, by the thread
// that writes behind, while blocks of every size are open; each block must
// still get its own length.
TEST_F(FileTest, BlocksOpenAcrossHandOversKeepTheirLengths) {
  const std::string path = dir.file("blocks.bin");
  std::string outer;
  {
    TFile file(path, true, "");
    file.beginBlock(true, false);
    for (int m = 0; m < 30; ++m) {
      file.beginBlock(true, false);
      std::string middle;
      for (int i = 0; i < 100; ++i) {
        const std::string text(static_cast<size_t>(900 + (m * 7 + i) % 200), static_cast<char>('a' + i % 26));
        file.beginBlock(true, false);
        file.writeString(text);
        file.endBlock();
        middle += testutil::block(str(text));
      }
      file.endBlock();
      outer += testutil::block(middle);
    }
    file.endBlock();
    file.close();
  }
  EXPECT_TRUE(testutil::readFile(path) == testutil::block(outer));
}

TEST_F(FileTest, FailedFirstStoreLeavesNoFile) {
  TTestNode node;
  platform::faults::failNthWrite(1);
  EXPECT_THROW(node.store(dir.file("new.bin")), IOException);
  platform::faults::reset();
  EXPECT_TRUE(dir.entries().empty());
}

// A length field holds 2 GiB at most; the limit is lowered here so that the
// same check is reached with a few bytes.
TEST_F(FileTest, LengthBeyondTheLimitIsAWriteErrorAndTheTargetStays) {
  TTestNode tree;
  tree.name = "root";
  for (int i = 0; i < 3; ++i) tree.add(i, "child");
  tree.store(dir.file("measure.bin"));
  const int64_t outer = static_cast<int64_t>(testutil::readFile(dir.file("measure.bin")).size()) - 4;
  std::remove(dir.file("measure.bin").c_str());
  const std::string target = dir.file("db.bin");
  const std::string kWriteError =
      "TFile: IO error while write binary. Cannot write '" + target + "': a block or string over ";
  auto storeTree = [&](bool buffered) {
    return [&, buffered] {
      tree.buffered = buffered;
      tree.store(target);
    };
  };
  struct Case {
    const char* name;
    int64_t limit;
    std::function<void()> write;
    bool refused;
  };
  const auto refusal = [&](int64_t limit) { return kWriteError + std::to_string(limit) + " bytes."; };
  const Case cases[] = {
      {"block that just fits", outer, storeTree(false), false},
      {"block one byte too long", outer - 1, storeTree(false), true},
      {"buffered block one byte too long", outer - 1, storeTree(true), true},
      {"string too long", 4, [&] { TFile(target, true, "").writeString("abcde"); }, true},
      {"chars too long, closed anyway", 4,
       [&] {
         TFile out(target, true, "");
         EXPECT_EQ(messageOf([&] { out.writeChars("abcde"); }), refusal(4));
         out.close();
       },
       true},
  };
  for (const Case& c : cases) {
    testutil::writeFile(target, "old");
    TFile::setMaxLengthForTesting(c.limit);
    if (c.refused) {
      EXPECT_EQ(messageOf(c.write), refusal(c.limit)) << c.name;
      EXPECT_EQ(testutil::readFile(target), "old") << c.name;
    } else {
      c.write();
      EXPECT_EQ(testutil::readFile(target).substr(0, 4), le32(outer)) << c.name;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"db.bin"}) << c.name;
  }
}

TEST_F(FileTest, LoadStartsFromDefaults) {
  TTestNode node;
  node.add(1, "a");
  node.store(dir.file("one.bin"));
  node.add(2, "b");
  node.load(dir.file("one.bin"));
  EXPECT_EQ(node.children.size(), 1u);
}

TEST_F(FileTest, ClassNameMapTranslatesAndRefusesWhatItLacks) {
  THashtable map(true);
  map.put(new TString("TOld"), new TString("TTestNode"));
  std::string child = nodeBytes(3, "x");
  for (auto [stored, message] :
       {std::pair<std::string, std::string>{"TOld", ""},
        // A registered class is refused too when the map does not name it.
        {"TTestNode",
         "TFile.readTPObject: (InvalidKeyException) THashtable.get: Key: TTestNode not found."}}) {
    testutil::writeFile(dir.file("m.bin"), str(stored) + le32(static_cast<int64_t>(child.size())) + child);
    TFile in(dir.file("m.bin"), false, "");
    in.setClassNameMap(&map);
    if (message.empty()) {
      std::unique_ptr<TPObject> obj = in.readTPObject();
      auto* node = dynamic_cast<TTestNode*>(obj.get());
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(node->number, 3);
    } else {
      EXPECT_EQ(messageOf([&] { in.readTPObject(); }), message);
    }
  }
}

TEST_F(FileTest, ObjectsNestedTooDeeplyAreRefused) {
  for (int depth : {TFile::kMaxObjectDepth - 1, TFile::kMaxObjectDepth}) {
    TTestNode root;
    TTestNode* node = &root;
    for (int i = 0; i < depth; ++i) node = node->add(i, "n");
    root.store(dir.file("deep.bin"));
    TTestNode back;
    if (depth < TFile::kMaxObjectDepth) {
      back.load(dir.file("deep.bin"));
      EXPECT_TRUE(back.sameAs(root));
    } else {
      std::string message = messageOf([&] { back.load(dir.file("deep.bin")); });
      EXPECT_EQ(message.rfind("TFile.readTPObject: (IOException) ", 0), 0u);
      const std::string tail = "TFile: Objects nested too deeply, file corrupt.";
      EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
    }
  }
}

TEST_F(FileTest, CollectionsMadeWhileReadingFreeWhatTheyRead) {
  // A list in a list, as a map entry may hold one: the inner list's string
  // belongs to nobody else, so it must not outlive the list (a fuzz finding).
  TArrayList outer(true);
  auto* inner = new TArrayList(true);
  inner->add(new TString("x"));
  outer.add(inner);
  outer.store(dir.file("l.bin"));
  testutil::writeFile(dir.file("o.bin"), str("TArrayList") + testutil::readFile(dir.file("l.bin")));
  TFile in(dir.file("o.bin"), false, "");
  std::unique_ptr<TPObject> obj = in.readTPObject();
  auto* list = dynamic_cast<TArrayList*>(obj.get());
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->getOwnsObjects());
  EXPECT_TRUE(dynamic_cast<TArrayList*>(list->get(0))->getOwnsObjects());
}

// A file opened to append to is written in place from the offset on; what
// lay past the offset goes, and the patch comes last.
TEST_F(FileTest, AppendingWritesFromTheOffsetAndPatchesLast) {
  const std::string name = dir.file("a.bin");
  for (bool patch : {true, false}) {
    testutil::writeFile(name, "HEAD" + le32(0) + "cut short");
    TFile file(name, TFile::AppendFrom{8});
    file.writeString("ab");
    EXPECT_EQ(file.fileSize(), 14);
    if (patch) {
      file.closeAppended(4, le32(1));
    } else {
      file.close();
    }
    EXPECT_EQ(testutil::readFile(name), "HEAD" + le32(patch ? 1 : 0) + str("ab")) << patch;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.bin"});
  }
}

TEST_F(FileTest, FailedAppendingCutsTheFileBack) {
  const std::string name = dir.file("a.bin");
  const std::string old = "HEAD" + le32(0);
  const std::string writeError =
      "TFile: IO error while write binary. Cannot write '" + name + "': Input/output error.";
  const struct {
    const char* what;
    std::function<void(TFile&)> fail;
    std::string message;
  } cases[] = {
      {"an exception on its way out", [](TFile&) { throw IOException("gone"); }, "gone"},
      {"a length refused",
       [](TFile& file) {
         TFile::setMaxLengthForTesting(1);
         file.storedLength(2);
       },
       "TFile: IO error while write binary. Cannot write '" + name + "': a block or string over 1 bytes."},
      {"the bytes not written",
       [](TFile& file) {
         platform::faults::failNthWrite(1);
         file.closeAppended(4, le32(1));
       },
       writeError},
      {"the patch not written",
       [](TFile& file) {
         platform::faults::failNthWrite(2);
         file.closeAppended(4, le32(1));
       },
       writeError},
      {"the patch not synced",
       [](TFile& file) {
         platform::faults::failNthSync(2);
         file.closeAppended(4, le32(1));
       },
       "TFile.close: (EInOutError) Cannot write '" + name + "': Input/output error"},
  };
  for (const auto& c : cases) {
    testutil::writeFile(name, old);
    EXPECT_EQ(messageOf([&] {
                TFile file(name, TFile::AppendFrom{8});
                file.writeString("ab");
                c.fail(file);
              }),
              c.message)
        << c.what;
    platform::faults::reset();
    TFile::setMaxLengthForTesting(0);
    EXPECT_EQ(testutil::readFile(name), old) << c.what;
  }
}

TEST_F(FileTest, AppendingRefusesWhatWritingRefuses) {
  const std::string missing = dir.file("missing.bin");
  const std::string readOnly = dir.file("ro.bin");
  testutil::writeFile(readOnly, "old");
  chmod(readOnly.c_str(), 0444);
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {missing, "TFile.open: (EInOutError) Cannot open '" + missing + "': No such file or directory"},
      {readOnly, "TFile.open: (IOException) Try to write read only file '" + readOnly + "'."},
      {fifo, "TFile.open: (EInOutError) '" + fifo + "' is not a regular file."},
  };
  for (const auto& [name, message] : cases) {
    EXPECT_EQ(messageOf([&] { TFile file(name, TFile::AppendFrom{0}); }), message);
  }
  EXPECT_EQ(testutil::readFile(readOnly), "old");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"fifo", "ro.bin"}));
}

}  // namespace
