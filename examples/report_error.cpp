// report_error [database.vsk]
//
// How a program reports through the library's diagnostics. It asks the
// channel pool for its channel by name, once (the pool owns the channel
// until libraryShutDown), traces what it sets out to do, and when the work
// fails hands the exception itself to error(), which records its class and
// message beside the program's own text. A channel never raises into its
// caller: should a writer fail, that becomes an internal-error line and the
// program's work goes on.
//
// Where each record goes is the business of debug.properties beside the
// program, which each channel reads once, at its first use: the one shipped
// here prints traces and errors on standard output and appends every error
// to vosko-errors.txt in the current directory as well. Edit it to change the
// levels, the prefix of each record, or to add a binary file or mail,
// without building again.
//
// Without an argument it loads a database that is not there and so reports
// an error; given a database of the current format it traces how many
// carriers that holds. Exit codes: 0 loaded, 1 failure reported.
//
// Build it with the CMakeLists.txt beside it, or with pkg-config (and copy
// debug.properties beside the program):
//   g++ -std=c++20 report_error.cpp $(pkg-config --cflags --libs vosko) -o report_error
#include <cstdint>
#include <exception>
#include <string>

#include "data/library_start_up.h"
#include "data/sound_carriers.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"

namespace {

// Lower is more important: a record is written when its level is at most
// the channel's threshold for its kind (debug.properties). Error levels 1 to
// 4 are shown as FATAL ERROR, ERROR, WARNING and ERROR NOTICE.
constexpr int32_t kFatalError = 1;
constexpr int32_t kProgress = 3;

}  // namespace

int main(int argc, char** argv) {
  libraryStartUp();
  TChannel* channel = TChannelPool::getChannel("example");
  const std::string fileName = argc > 1 ? argv[1] : "no-such-database.vsk";
  int exitCode = 0;
  channel->trace("loading " + fileName, kProgress);
  try {
    TSoundCarriers database;
    database.load(fileName);
    channel->trace(fileName + " holds " + std::to_string(database.size()) + " carriers", kProgress);
  } catch (const std::exception& e) {
    channel->error(&e, "report_error: " + fileName + " could not be loaded", kFatalError);
    exitCode = 1;
  }
  // The channel is freed here; nothing of the diagnostics is used after it.
  libraryShutDown();
  return exitCode;
}
