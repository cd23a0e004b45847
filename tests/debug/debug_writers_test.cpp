// The writer list: a null writer, the write loop and its failure.
#include "debug/debug_writers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "debug/debug_writer.h"
#include "debug/trace_entry.h"

namespace {

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

TEST(DebugWritersTest, NullWriterIsReportedAndIgnored) {
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

TEST(DebugWritersTest, WriteCallsWritersInOrderAndStopsAtTheFirstFailure) {
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

}  // namespace
