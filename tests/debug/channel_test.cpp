// Configured channels: the key lookup rule, the writers refresh builds and
// their order, the fallback without configuration, the level filter, and
// binary debug files shared by channels and runs.
#include "debug/channel.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "channel_fixture.h"
#include "debug/binary_reader.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/file_writer.h"
#include "debug/list_writer.h"
#include "debug/trace_entry.h"

namespace {

std::vector<std::string> classNames(TDebugList& list, TClassTest test) {
  std::vector<std::string> names;
  std::unique_ptr<TArrayList> found = list.get(test);
  for (int32_t i = 0; i < found->size(); ++i) names.push_back(found->get(i)->className());
  return names;
}

std::vector<std::string> writerClasses(TDebugWriters& writers) {
  return classNames(writers, instanceTest<TDebugWriter>());
}

int32_t count(TDebugWriters& writers, const std::string& className) { return writers.get(className)->size(); }

class ChannelTest : public ChannelFixture {};

TEST_F(ChannelTest, ChannelKeyOverridesSystemKey) {
  configure("system.debug.tracelevel = 0\nvosko.debug.tracelevel = 5\n");
  EXPECT_EQ(channel("vosko")->getTraceLevel(), 5);
  EXPECT_EQ(channel("performance")->getTraceLevel(), 0);
  EXPECT_EQ(channel("vosko")->getErrorLevel(), 4);
  EXPECT_EQ(channel("vosko")->getVerboseMode(), 3);
}

TEST_F(ChannelTest, EmptyChannelFileNameSwitchesTheWriterOff) {
  configure("system.debug.errorfile = " + dir.file("errors.txt") + "\nvosko.debug.errorfile =\n");
  EXPECT_EQ(count(channel("vosko")->getErrorWriters(), "TTextWriter"), 0);
  EXPECT_EQ(count(channel("performance")->getErrorWriters(), "TTextWriter"), 1);
  auto* writer =
      static_cast<TFileWriter*>(channel("performance")->getErrorWriters().get("TTextWriter")->get(0));
  EXPECT_EQ(writer->getFileName(), dir.file("errors.txt"));
}

TEST_F(ChannelTest, ConsoleSwitchTakesOnlyTrueOrFalseAndBareKeysAreIgnored) {
  configure(
      "debug.errorlevel = 1\n"
      "debug.errorsystemout = false\n"
      "system.debug.tracesystemout = FALSE\n"
      "a.debug.errorsystemout = False\n"
      "b.debug.errorsystemout = no\n"
      "c.debug.errorsystemout = 0\n"
      "d.debug.tracesystemout = TRUE\n");
  EXPECT_EQ(count(channel("a")->getErrorWriters(), "TSystemOutWriter"), 0);
  EXPECT_EQ(count(channel("b")->getErrorWriters(), "TSystemOutWriter"), 1);
  EXPECT_EQ(count(channel("c")->getErrorWriters(), "TSystemOutWriter"), 1);
  EXPECT_EQ(count(channel("a")->getTraceWriters(), "TSystemOutWriter"), 0);
  EXPECT_EQ(count(channel("d")->getTraceWriters(), "TSystemOutWriter"), 1);
  EXPECT_EQ(channel("d")->getErrorLevel(), 4);
  EXPECT_EQ(count(channel("d")->getErrorWriters(), "TSystemOutWriter"), 1);
}

TEST_F(ChannelTest, UnusableIntegerFallsThroughToTheNextKey) {
  configure(
      "system.debug.errorlevel = 2\n"
      "vosko.debug.errorlevel = two\n"
      "system.debug.tracelevel = lots\n"
      "system.debug.verbosemode = 7 \n");
  EXPECT_EQ(channel("vosko")->getErrorLevel(), 2);
  EXPECT_EQ(channel("vosko")->getTraceLevel(), 5);
  EXPECT_EQ(channel("vosko")->getVerboseMode(), 7);
}

TEST_F(ChannelTest, ConfigurationKeysUseTheNameOfTheFirstRequest) {
  configure("VOSKO.debug.tracelevel = 1\nvosko.debug.tracelevel = 2\n");
  TChannel* upper = channel("VOSKO");
  EXPECT_EQ(channel("vosko"), upper);
  EXPECT_EQ(channel("VoSkO"), upper);
  EXPECT_NE(channel("performance"), upper);
  EXPECT_EQ(upper->getName(), "VOSKO");
  EXPECT_EQ(upper->getTraceLevel(), 1);
}

TEST_F(ChannelTest, RefreshBuildsConsoleThenTextThenBinaryWriters) {
  configure("system.debug.errorfile = " + dir.file("e.txt") + "\n" + "system.debug.binary-errorfile = " +
            dir.file("e.dbg") + "\n" + "system.debug.tracefile = " + dir.file("t.txt") + "\n" +
            "system.debug.binary-tracefile = " + dir.file("t.dbg") + "\n");
  TChannel* c = channel("vosko");
  const std::vector<std::string> order{"TSystemOutWriter", "TTextWriter", "TBinaryWriter"};
  EXPECT_EQ(writerClasses(c->getErrorWriters()), order);
  EXPECT_EQ(writerClasses(c->getTraceWriters()), order);
  ASSERT_EQ(c->getReaders().size(), 2);
  EXPECT_EQ(static_cast<TFileReader*>(c->getReaders().get(0))->getFileName(), dir.file("e.dbg"));
  EXPECT_EQ(static_cast<TFileReader*>(c->getReaders().get(1))->getFileName(), dir.file("t.dbg"));
  EXPECT_STREQ(c->getReaders().get(0)->className(), "TBinaryReader");
}

TEST_F(ChannelTest, MissingConfigurationReportsOncePerChannelAndPrintsToTheConsole) {
  const std::string report =
      "DEBUG: INTERNAL ERROR: method: <TChannel.refresh>\n"
      "     exClass: InvalidPropertiesException\n"
      "     exMsg:   TProperty: Textfile: " +
      dir.path() + "/debug.properties does not exist.\n";
  TChannel* vosko = nullptr;
  Captured first = captureOutput([&] { vosko = channel("vosko"); });
  EXPECT_EQ(first.out, report);
  EXPECT_EQ(first.err, "[Error] " + report);
  EXPECT_EQ(captureOutput([&] { channel("Vosko"); }).out, "");
  EXPECT_EQ(captureOutput([&] { channel("other"); }).out, report);

  EXPECT_EQ(vosko->getErrorLevel(), 4);
  EXPECT_EQ(vosko->getTraceLevel(), 5);
  EXPECT_EQ(vosko->getVerboseMode(), 3);
  EXPECT_EQ(writerClasses(vosko->getErrorWriters()), std::vector<std::string>{"TSystemOutWriter"});
  EXPECT_EQ(writerClasses(vosko->getTraceWriters()), std::vector<std::string>{"TSystemOutWriter"});
  EXPECT_EQ(vosko->getReaders().size(), 0);

  // Time stamp, blank, channel name: "dd.mm.yyyy hh:nn:ss.zzz vosko: hello".
  std::string out = captureOutput([&] { vosko->trace("hello", 5); }).out;
  ASSERT_EQ(out.size(), 23u + 14u);
  EXPECT_EQ(out.substr(2, 1), ".");
  EXPECT_EQ(out.substr(23), " vosko: hello\n");
}

TEST_F(ChannelTest, LevelAtTheThresholdIsWrittenAboveItIsNot) {
  configure("system.debug.verbosemode = 2\n");
  TChannel* c = channel("vosko");
  EXPECT_EQ(captureOutput([&] { c->trace("five", 5); }).out, "vosko: five\n");
  EXPECT_EQ(captureOutput([&] { c->trace("six", 6); }).out, "");
  EXPECT_EQ(captureOutput([&] { c->trace("minus", -3); }).out, "vosko: minus\n");
  EXPECT_EQ(captureOutput([&] { c->error(nullptr, "five", 5); }).out, "");
  std::string out = captureOutput([&] { c->error(nullptr, "four", 4); }).out;
  EXPECT_EQ(out.rfind("vosko: ERROR NOTICE: four\n\n", 0), 0u) << out;
}

TEST_F(ChannelTest, ErrorReachesTheExtraWriterAfterTheChannelsOwn) {
  configure("system.debug.errorsystemout = false\nsystem.debug.verbosemode = 2\n");
  IllegalArgumentException e("Illegal version parameter: ''.");
  channel("vosko")->error(&e, "convertVosko.exe: Illegal version parameter: ''.", listWriter(), 1);
  TDebugEntries* kept = listWriter()->getEntries();
  ASSERT_EQ(kept->size(), 1);
  auto* entry = dynamic_cast<TErrorEntry*>(kept->get(0));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->getExceptionClass(), "IllegalArgumentException");
  EXPECT_EQ(entry->getExceptionMessage(), "Illegal version parameter: ''.");
  EXPECT_EQ(entry->toString().rfind("vosko: FATAL ERROR: convertVosko.exe: Illegal version parameter: ''.\r\n"
                                    "\r\n\texception\r\n\tclass: IllegalArgumentException\r\n",
                                    0),
            0u);
}

TEST_F(ChannelTest, FirstElapsedFigureCountsFromTheChannelsCreation) {
  configure("system.debug.verbosemode = 6\nsystem.debug.errorsystemout = false\n");
  TChannel* c = channel("vosko");
  const double created = c->getLastTime();
  EXPECT_GT(created, 0.0);
  c->error(nullptr, "first", listWriter(), 1);
  c->error(nullptr, "second", listWriter(), 1);
  TDebugEntries* kept = listWriter()->getEntries();
  ASSERT_EQ(kept->size(), 2);
  auto* first = static_cast<TDebugEntry*>(kept->get(0));
  auto* second = static_cast<TDebugEntry*>(kept->get(1));
  EXPECT_EQ(first->getReferenceTime(), created);
  EXPECT_GE(second->getReferenceTime(), first->getTime());
  EXPECT_GE(c->getLastTime(), second->getTime());
}

TEST_F(ChannelTest, UnwritableTextFileIsAnInternalErrorOfTrace) {
  const std::string name = dir.file("missing/dir/t.txt");
  configure("system.debug.tracesystemout = false\nsystem.debug.tracefile = " + name + "\n");
  TChannel* c = channel("vosko");
  Captured r = captureOutput([&] { c->trace("m", 1); });
  EXPECT_EQ(
      r.out.rfind(
          "DEBUG: INTERNAL ERROR: method: <TChannel.trace>\n     exClass: IOException\n"
          "     exMsg:   TDebugWriters.write(TDebugEntry): (IOException) TTextWriter.write: (IOException) "
          "TTextFile.open: ",
          0),
      0u)
      << r.out;
  EXPECT_EQ(r.err.rfind("[Error] DEBUG: INTERNAL ERROR: method: <TChannel.trace>", 0), 0u);
}

class ChannelFileTest : public ChannelFixture {
 protected:
  void configureFiles() {
    configure(
        "system.debug.errorsystemout = false\n"
        "system.debug.tracesystemout = false\n"
        "system.debug.binary-errorfile = " +
        dir.file("errors.dbg") + "\n" + "system.debug.binary-tracefile = " + dir.file("traces.dbg") + "\n");
  }
  static std::vector<std::string> describe(const TDebugEntries& entries) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < entries.size(); ++i) {
      auto* e = static_cast<TDebugEntry*>(entries.get(i));
      out.push_back(std::string(e->className()) + " " + e->getChannelName() + " " +
                    std::to_string(e->getLevel()) + " " + e->getMessage());
    }
    return out;
  }
};

TEST_F(ChannelFileTest, FileWrittenByChannelsAndRunsReadsBackEntryForEntry) {
  configureFiles();
  IOException failure("disk full");
  channel("vosko")->trace("v1", 5);
  channel("performance")->error(&failure, "p1", 2);
  channel("vosko")->error(nullptr, "v2", 1);
  shutdownDebug();  // the next run
  debugStartUp();
  channel("performance")->trace("p2", 0);
  channel("Vosko")->error(nullptr, "v3", 4);

  std::unique_ptr<TDebugEntries> errors = TBinaryReader(dir.file("errors.dbg")).read();
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(describe(*errors),
            (std::vector<std::string>{"TErrorEntry performance 2 p1", "TErrorEntry vosko 1 v2",
                                      "TErrorEntry Vosko 4 v3"}));
  EXPECT_EQ(static_cast<TErrorEntry*>(errors->get(0))->getExceptionMessage(), "disk full");

  // The channel's readers give the error file, then the trace file.
  std::unique_ptr<TDebugEntries> all = channel("vosko")->getReaders().read();
  EXPECT_EQ(describe(*all),
            (std::vector<std::string>{"TErrorEntry performance 2 p1", "TErrorEntry vosko 1 v2",
                                      "TErrorEntry Vosko 4 v3", "TTraceEntry vosko 5 v1",
                                      "TTraceEntry performance 0 p2"}));
}

TEST_F(ChannelFileTest, WrongHeaderMakesEveryWriteAnInternalErrorAndLeavesTheFile) {
  configureFiles();
  const std::string foreign =
      "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]" + testutil::le32(4) + testutil::le32(0);
  testutil::writeFile(dir.file("errors.dbg"), foreign);
  TChannel* c = channel("vosko");
  const std::string report =
      "DEBUG: INTERNAL ERROR: method: <TChannel.error>\n"
      "     exClass: IOException\n"
      "     exMsg:   TDebugWriters.write(TDebugEntry): (IOException) TBinaryWriter.write: (IOException) "
      "TBinaryReader.read: (IOException) TFile.open: (IOException) File '" +
      dir.file("errors.dbg") +
      "' does not support header: '[Application:debug.Type:DebugEntries-Database.Version:1.0]'.\n";
  for (int i = 0; i < 2; ++i) {
    Captured r = captureOutput([&] { c->error(nullptr, "m", 1); });
    EXPECT_EQ(r.out, report);
    EXPECT_EQ(r.err, "[Error] " + report);
  }
  EXPECT_EQ(testutil::readFile(dir.file("errors.dbg")), foreign);
  // Traces go to their own file and are not held up.
  c->trace("t", 1);
  EXPECT_EQ(TBinaryReader(dir.file("traces.dbg")).read()->size(), 1);
}

}  // namespace
