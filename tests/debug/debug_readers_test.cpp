// The reader list: the merging read and its failure.
#include "debug/debug_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug/binary_reader.h"
#include "debug/debug_entries.h"
#include "debug/trace_entry.h"
#include "test_util.h"

namespace {

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
