// Speed of adding entries to a binary debug file: 1,000 entries written one
// at a time to a file that already holds 1,000 and one that holds 100,000.
// The time per entry should be the same for both, as a write touches only the
// file's head and its end, never the entries already there.
//
//   debug_append_bench [work directory]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "debug/binary_writer.h"
#include "debug/debug_entries.h"
#include "debug/trace_entry.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWrites = 1000;

TTraceEntry entry(int i) {
  return TTraceEntry("entry number " + std::to_string(i), 2.0, 1.0, i % 7, 3, "bench");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const std::string path = dir + "/debug_append_bench." + std::to_string(::getpid()) + ".dbg";
  std::printf("%10s %10s %14s\n", "entries", "written", "us per entry");
  for (int existing : {1000, 100000}) {
    TDebugEntries entries;
    for (int i = 0; i < existing; ++i) entries.add(entry(i).clone());
    entries.store(path);
    TBinaryWriter writer(path);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kWrites; ++i) writer.write(entry(existing + i));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%10d %10d %14.1f\n", existing, kWrites, seconds * 1e6 / kWrites);
  }
  std::remove(path.c_str());
  return 0;
}
