// The writer and reader lists: lookup by class and by class name, the write
// loop and its failure, and the merging read.
#include "debug/debug_list.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "debug/binary_reader.h"
#include "debug/binary_writer.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/system_out_writer.h"
#include "debug/text_writer.h"
#include "debug/trace_entry.h"
#include "test_util.h"

namespace {

// A descendant, to show that lookup by class name does not match descendants.
class TSpecialTextWriter : public TTextWriter {
 public:
  VOSKO_CLASS_NAME(TSpecialTextWriter)
  using TTextWriter::TTextWriter;
};

// Records what it was given, and fails when told to.
class TProbeWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TProbeWriter)
  TProbeWriter(std::vector<std::string>* log, std::string name, bool fail)
      : log_(log), name_(std::move(name)), fail_(fail) {}
  void write(const TDebugEntry& entry) override {
    if (fail_) throw IOException("TProbeWriter.write: (EInOutError) gone");
    log_->push_back(name_ + ":" + entry.getMessage());
  }

 private:
  std::vector<std::string>* log_;
  std::string name_;
  bool fail_;
};

std::vector<std::string> classNames(const TArrayList& list) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < list.size(); ++i) names.push_back(list.get(i)->className());
  return names;
}

TEST(DebugListTest, GetByClassNameIgnoresCaseButNotDescendantsGetByClassFindsThem) {
  TDebugWriters writers;
  writers.add(std::make_unique<TSystemOutWriter>());
  writers.add(std::make_unique<TTextWriter>("a.txt"));
  writers.add(std::make_unique<TSpecialTextWriter>("b.txt"));
  writers.add(std::make_unique<TBinaryWriter>("c.dbg"));

  std::unique_ptr<TArrayList> byName = writers.get("ttextwriter");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(classNames(*byName), std::vector<std::string>{"TTextWriter"});
  EXPECT_FALSE(byName->getOwnsObjects());
  EXPECT_EQ(writers.get("TNoSuchWriter")->size(), 0);

  std::unique_ptr<TArrayList> byClass = writers.get(instanceTest<TFileWriter>());
  ASSERT_NE(byClass, nullptr);
  EXPECT_EQ(classNames(*byClass),
            (std::vector<std::string>{"TTextWriter", "TSpecialTextWriter", "TBinaryWriter"}));
  EXPECT_FALSE(byClass->getOwnsObjects());
  // The found lists share the elements; the writers' list still holds all four.
  EXPECT_EQ(writers.size(), 4);
}

TEST(DebugListTest, NullWriterIsReportedAndIgnored) {
  TDebugWriters writers;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  writers.add(nullptr);
  std::string out = testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(out,
            "DEBUG: INTERNAL ERROR: method: <TDebugWriters.add(TDebugWriter)>\n"
            "     exClass: IllegalArgumentException\n     exMsg:   TArrayList.add: Object is nil.\n");
  EXPECT_EQ(writers.size(), 0);
}

TEST(DebugListTest, WriteCallsWritersInOrderAndStopsAtTheFirstFailure) {
  std::vector<std::string> log;
  TDebugWriters writers;
  writers.add(std::make_unique<TProbeWriter>(&log, "first", false));
  writers.add(std::make_unique<TProbeWriter>(&log, "second", true));
  writers.add(std::make_unique<TProbeWriter>(&log, "third", false));
  TTraceEntry entry("m", 0.0, 0.0, 1, 0, "c");
  try {
    writers.write(entry);
    FAIL() << "the failing writer went unnoticed";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message(),
              "TDebugWriters.write(TDebugEntry): (IOException) TProbeWriter.write: (EInOutError) gone");
  }
  EXPECT_EQ(log, std::vector<std::string>{"first:m"});
}

class DebugReadersTest : public ::testing::Test {
 protected:
  void writeEntries(const std::string& name, const std::vector<std::string>& messages) {
    TDebugEntries entries;
    for (const std::string& m : messages) entries.add(new TTraceEntry(m, 0.0, 0.0, 1, 3, "c"));
    entries.store(dir.file(name));
  }
  static std::vector<std::string> messages(const TDebugEntries& entries) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < entries.size(); ++i)
      out.push_back(static_cast<TDebugEntry*>(entries.get(i))->getMessage());
    return out;
  }
  testutil::TempDir dir;
};

TEST_F(DebugReadersTest, ReadMergesReadersInOrderAndSkipsMissingFiles) {
  writeEntries("a.dbg", {"a1", "a2"});
  writeEntries("b.dbg", {"b1"});
  TDebugReaders readers;
  readers.add(std::make_unique<TBinaryReader>(dir.file("b.dbg")));
  readers.add(std::make_unique<TBinaryReader>(dir.file("missing.dbg")));
  readers.add(std::make_unique<TBinaryReader>(dir.file("a.dbg")));
  std::unique_ptr<TDebugEntries> all = readers.read();
  ASSERT_NE(all, nullptr);
  EXPECT_TRUE(all->getOwnsObjects());
  EXPECT_EQ(messages(*all), (std::vector<std::string>{"b1", "a1", "a2"}));
  EXPECT_NE(readers.get(0), nullptr);
}

TEST_F(DebugReadersTest, UnreadableFileIsReportedAndEarlierEntriesReturned) {
  writeEntries("a.dbg", {"a1"});
  testutil::writeFile(dir.file("bad.dbg"), "not a debug file at all, not at all, not at all, not at all, no");
  writeEntries("c.dbg", {"c1"});
  TDebugReaders readers;
  readers.add(std::make_unique<TBinaryReader>(dir.file("a.dbg")));
  readers.add(std::make_unique<TBinaryReader>(dir.file("bad.dbg")));
  readers.add(std::make_unique<TBinaryReader>(dir.file("c.dbg")));
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  std::unique_ptr<TDebugEntries> all = readers.read();
  std::string out = testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(messages(*all), std::vector<std::string>{"a1"});
  EXPECT_EQ(out.rfind("DEBUG: INTERNAL ERROR: method: <TDebugReaders.read>\n     exClass: IOException\n"
                      "     exMsg:   TBinaryReader.read: (IOException) TFile.open: (IOException) File '",
                      0),
            0u)
      << out;
}

}  // namespace
