// The second table of rescue_table: voskodb recover on files that hold
// nothing of a database, a file of zeros and a sparse file (a hole, which
// takes no room on the disk), each at two sizes a factor four apart, named
// as one format after the other. Nothing can be rescued from them, so
// recover refuses (exit code 1, nothing written); what counts is what that
// costs.
//
// Goals: recover's time grows with the file's size, not faster (the larger
// file within 1.5 times four times the smaller's time; a run too short to
// tell passes), and it takes at most 64 MB beyond what it takes on an empty
// database of the format, whatever the size; no fault (a crash, a hang, an
// output left behind).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "child_run.h"

namespace bench {

// A format and the empty database of it that recover's own memory is measured on.
struct NothingFormat {
  std::string version;
  std::string empty;
};

namespace nothing {

constexpr double kSizeRatio = 4;
constexpr double kTimeSlack = 1.5;
constexpr double kHeldGoalBytes = 64.0 * (1 << 20);
// Runs shorter than this tell nothing of how the time grows.
constexpr double kShortestTold = 0.2;
constexpr int kRuns = 3;

inline bool writeZeros(const std::string& path, int64_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  static const std::vector<char> zeros(1 << 20, '\0');
  bool ok = true;
  for (int64_t left = size; ok && left > 0; left -= static_cast<int64_t>(zeros.size()))
    ok = std::fwrite(zeros.data(), 1, static_cast<size_t>(std::min<int64_t>(left, zeros.size())), f) > 0;
  return std::fclose(f) == 0 && ok;
}

inline bool writeHole(const std::string& path, int64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ::ftruncate(fd, size) == 0;
  return ::close(fd) == 0 && ok;
}

struct Run {
  double seconds = 0;
  double peakBytes = 0;
  bool fault = false;
};

// recover of `input` as `version`, kRuns times: the median time, the highest peak.
inline Run recover(const std::string& voskodb, const std::string& version, const std::string& input,
                   const std::string& dir, int expectedExit) {
  const std::string output = dir + "/nothing_output.vsk";
  std::vector<double> times;
  Run run;
  for (int i = 0; i < kRuns; ++i) {
    std::remove(output.c_str());
    const ChildRun r = runChild({voskodb, "recover", "--format", version, input, output}, dir);
    times.push_back(r.seconds);
    run.peakBytes = std::max(run.peakBytes, r.peakKiB * 1024.0);
    const bool written = fileSize(output) >= 0;
    run.fault = run.fault || r.exitCode != expectedExit || (expectedExit != 0 && written);
  }
  std::remove(output.c_str());
  run.seconds = median(times);
  return run;
}

}  // namespace nothing

// Prints the table for `formats`, whose files of nothing are made in `dir`
// (the zeros at 64 MB times `scale` and four times that, the holes at
// 256 MB times `scale` and four times that); false when a goal is missed.
inline bool rescueOfNothing(const std::string& voskodb, const std::string& dir, double scale,
                            const std::vector<NothingFormat>& formats) {
  using namespace nothing;
  struct Input {
    const char* kind;
    int64_t small;
    bool (*write)(const std::string&, int64_t);
  };
  const Input inputs[] = {{"zeros", static_cast<int64_t>(64e6 * scale), writeZeros},
                          {"sparse", static_cast<int64_t>(256e6 * scale), writeHole}};
  std::printf("%-6s %-7s %9s %9s %8s %8s %9s  %s\n", "format", "input", "small MB", "large MB", "small s",
              "large s", "held MB", "goals");
  bool allMet = true;
  for (const Input& in : inputs) {
    const std::string small = dir + "/nothing_small.vsk";
    const std::string large = dir + "/nothing_large.vsk";
    const int64_t largeSize = static_cast<int64_t>(kSizeRatio) * in.small;
    if (!in.write(small, in.small) || !in.write(large, largeSize)) {
      std::printf("writing the files of %s failed\n", in.kind);
      std::remove(small.c_str());
      std::remove(large.c_str());
      return false;
    }
    for (const NothingFormat& f : formats) {
      const Run empty = recover(voskodb, f.version, f.empty, dir, 0);
      const Run s = recover(voskodb, f.version, small, dir, 1);
      const Run l = recover(voskodb, f.version, large, dir, 1);
      const double held = std::max(0.0, std::max(s.peakBytes, l.peakBytes) - empty.peakBytes);
      const bool linear = l.seconds < kShortestTold || l.seconds <= kTimeSlack * kSizeRatio * s.seconds;
      const bool met = !s.fault && !l.fault && !empty.fault && linear && held <= kHeldGoalBytes;
      std::printf("%-6s %-7s %9.1f %9.1f %8.3f %8.3f %9.1f  %s\n", f.version.c_str(), in.kind, in.small / 1e6,
                  largeSize / 1e6, s.seconds, l.seconds, held / 1e6,
                  s.fault || l.fault || empty.fault ? "FAULT" : verdict(met));
      std::fflush(stdout);
      allMet = allMet && met;
    }
    std::remove(small.c_str());
    std::remove(large.c_str());
  }
  std::printf(
      "\nrecover of files that hold nothing of a database, which it refuses: the time of the large\n");
  std::printf(
      "file within %.1f times %.0f times the small one's (or under %.1f s); held: peak memory beyond\n",
      kTimeSlack, kSizeRatio, kShortestTold);
  std::printf("recover of an empty database of the format (goal <= %.0f MB). %s\n",
              kHeldGoalBytes / (1 << 20), allMet ? "Every goal met." : "Some goals missed.");
  return allMet;
}

}  // namespace bench
