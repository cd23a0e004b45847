// voskodb recover on damaged databases of every format, against the
// conversion of the undamaged file: generates a seeded database of 10k
// carriers of ten titles in each old format, and a current one that
// convertVOSKO converts from a 2.5.5 one; damages copies of each in three
// kinds, 20 of each from a fixed seed (cut short at a random point, a 4 KiB
// run zeroed at a random place, 1 to 16 bytes flipped at random places),
// rescues each copy with `voskodb recover` in a child process and prints one
// table.
//
//   rescue_table <convertVOSKO> <voskodb> <work directory> [scale]
//
// A scale below 1 shrinks the size, as for convert_table.
//
// Rescued: of the carriers whose sources the damage left alone (what each
// carrier's conversion reads, carrier_sources.h), the share that comes out
// exactly as the conversion of the undamaged file writes it (the same stored
// bytes), at its place in that order. Invented: carriers and titles in the
// output that the original does not hold, apart from those of carriers the
// damage reached. Faults: crashes, hangs, outputs that are no whole
// database, and refusals that leave an output.
// Time and memory are those of recover on the undamaged file against its
// conversion (for 2.5.7 the conversion it was made by): medians of seven runs,
// one beside the other with the files in the page cache; memory is recover's
// peak resident set beyond what it takes on an empty database.
//
// Goals: at least 99% rescued in each kind of damage; nothing invented; no
// fault; the undamaged file rescued byte for byte as its conversion; recover
// within 3x the conversion's time and at most 1.5x the input in memory.
//
// A table before it (rescue_of_nothing.h) runs recover on files of zeros
// and sparse files as each format whose rescue reads through a window: its
// time grows with the file, its memory stays within 64 MB.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "carrier_sources.h"
#include "child_run.h"
#include "rescue_expectation.h"
#include "rescue_of_nothing.h"

namespace {

constexpr double kRescuedGoal = 0.99;
constexpr double kTimeGoal = 3.0;
constexpr double kMemoryGoal = 1.5;
constexpr int kRuns = 7;
constexpr int kDamagesPerKind = 20;
constexpr uint32_t kDamageSeed = 1957;
constexpr size_t kZeroedBytes = 4096;
constexpr uint32_t kMostFlips = 16;

// The current format is made by converting the newest old one.
constexpr const char* kCurrent = "2.5.7";
constexpr const char* kCurrentSource = "2.5.5";
const char* const kFormats[] = {"1.5", "2.0", "2.5", "2.5.3", "2.5.5", kCurrent};

enum Kind { kCut, kZeroed, kFlipped, kKinds };
const char* const kKindNames[kKinds] = {"cut", "zeroed 4K", "flipped"};

// The files of one format.
struct Files {
  std::string version;
  std::string input;     // the undamaged database
  std::string expected;  // its conversion; the input itself for the current format
  std::string empty;     // an empty database of the format, for what recover takes for itself
  // What the conversion that recover is timed against converts: the input,
  // or for the current format the old database it was made from.
  std::string reference;
  std::string referenceVersion;
};

struct Measurement {
  double inputBytes = 0;
  double convertSeconds = 0;
  double recoverSeconds = 0;
  double peakBytes = 0;
  double emptyPeakBytes = 0;
  bool sameAsConversion = false;
};

struct Outcome {
  sample::RescueTally kinds[kKinds];
  int64_t invented = 0;
  int faults = 0;
};

std::string readFile(const std::string& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char buffer[1 << 16];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

bool exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// A damaged copy of a database: its bytes, and the runs of bytes the damage
// changed (a cut: from the cut to the old end).
struct Damage {
  std::string bytes;
  std::vector<sample::ByteRun> changed;
};

Damage damage(Kind kind, const std::string& original, std::mt19937& random) {
  Damage d{original, {}};
  const size_t size = original.size();
  if (kind == kCut) {
    const size_t at = random() % size;
    d.bytes.resize(at);
    d.changed.push_back({at, size});
    return d;
  }
  if (kind == kZeroed) {
    const size_t at = size > kZeroedBytes ? random() % (size - kZeroedBytes + 1) : 0;
    std::fill(d.bytes.begin() + static_cast<std::ptrdiff_t>(at),
              d.bytes.begin() + static_cast<std::ptrdiff_t>(std::min(size, at + kZeroedBytes)), '\0');
  } else {
    for (uint32_t flips = 1 + random() % kMostFlips; flips > 0; --flips) {
      const size_t at = random() % size;
      d.bytes[at] = static_cast<char>(d.bytes[at] ^ static_cast<char>(1 + random() % 255));
    }
  }
  // Zeros over zeros change nothing, and a byte flipped twice may be as it was.
  for (size_t at = 0; at < size;) {
    if (d.bytes[at] == original[at]) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < size && d.bytes[end] != original[end]) ++end;
    d.changed.push_back({at, end});
    at = end;
  }
  return d;
}

class Bench {
 public:
  Bench(std::string converter, std::string voskodb, std::string dir)
      : converter_(std::move(converter)), voskodb_(std::move(voskodb)), dir_(std::move(dir)) {}
  ~Bench() {
    for (const Files& f : files_) {
      for (const std::string* path : {&f.input, &f.expected, &f.empty, &f.reference})
        std::remove(path->c_str());
    }
    std::remove(output().c_str());
    std::remove(damaged().c_str());
  }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  // Makes the databases of every format and their conversions; false after
  // a failure, which it prints.
  bool prepare(const sample::GeneratedShape& shape) {
    for (const char* version : kFormats) {
      const std::string v = version;
      const std::string stem = dir_ + "/rescue_" + v;
      const bool current = v == kCurrent;
      files_.push_back({v, stem + ".vsk", current ? stem + ".vsk" : stem + "_conversion.vsk",
                        stem + "_empty.vsk", current ? stem + "_source.vsk" : stem + ".vsk",
                        current ? kCurrentSource : v});
      const Files& f = files_.back();
      const sample::GeneratedShape empty{0, shape.titlesPerCarrier, shape.seed};
      const std::string emptySource = current ? stem + "_empty_source.vsk" : f.empty;
      const bool made = bench::generateInChild(f.referenceVersion, shape, f.reference) &&
                        bench::generateInChild(f.referenceVersion, empty, emptySource);
      const int converted =
          made ? bench::runChild({converter_, f.referenceVersion, f.reference, f.expected}, dir_).exitCode
               : -1;
      const int emptyConverted =
          current && made
              ? bench::runChild({converter_, f.referenceVersion, emptySource, f.empty}, dir_).exitCode
              : 0;
      if (current) std::remove(emptySource.c_str());
      if (!made || converted != 0 || emptyConverted != 0) {
        std::printf("%s: generating the databases %s, convertVOSKO exit codes %d and %d\n", version,
                    made ? "done" : "failed", converted, emptyConverted);
        return false;
      }
    }
    return true;
  }

  // Times recover of each undamaged database beside its conversion, kRuns
  // times over, the formats in turn. This process holds no database yet, so
  // that the children's peak memory is their own.
  bool measure(std::vector<Measurement>& ms) {
    ms.assign(files_.size(), Measurement());
    std::vector<std::vector<double>> conversions(files_.size()), rescues(files_.size());
    for (int run = 0; run < kRuns; ++run) {
      for (size_t i = 0; i < files_.size(); ++i) {
        const Files& f = files_[i];
        Measurement& m = ms[i];
        std::remove(output().c_str());
        const bench::ChildRun c =
            bench::runChild({converter_, f.referenceVersion, f.reference, output()}, dir_);
        std::remove(output().c_str());
        const bench::ChildRun e = bench::runChild(recoverArgs(f.version, f.empty), dir_);
        std::remove(output().c_str());
        const bench::ChildRun r = bench::runChild(recoverArgs(f.version, f.input), dir_);
        if (c.exitCode != 0 || e.exitCode != 0 || r.exitCode != 0) {
          std::printf("%s: convertVOSKO exit code %d, voskodb recover exit codes %d (empty) and %d\n",
                      f.version.c_str(), c.exitCode, e.exitCode, r.exitCode);
          return false;
        }
        conversions[i].push_back(c.seconds);
        rescues[i].push_back(r.seconds);
        m.peakBytes = std::max(m.peakBytes, r.peakKiB * 1024.0);
        m.emptyPeakBytes = std::max(m.emptyPeakBytes, e.peakKiB * 1024.0);
        m.inputBytes = bench::fileSize(f.input);
        if (run == kRuns - 1)
          m.sameAsConversion = bench::runChild({"cmp", "-s", output(), f.expected}, dir_).exitCode == 0;
      }
    }
    for (size_t i = 0; i < files_.size(); ++i) {
      ms[i].convertSeconds = bench::median(conversions[i]);
      ms[i].recoverSeconds = bench::median(rescues[i]);
    }
    return true;
  }

  // Rescues kDamagesPerKind damaged copies of each kind of format i's
  // database; false after a failure, which it prints. A hang is cut off
  // after `timeoutSeconds` and counts as a fault.
  bool damageRuns(size_t i, int timeoutSeconds, Outcome& outcome) {
    const Files& f = files_[i];
    const std::string original = readFile(f.input);
    std::vector<sample::StoredCarrier> carriers;
    const std::string conversion = readFile(f.expected);
    if (!sample::readCurrent(conversion, carriers)) {
      std::printf("%s: the conversion is no whole current database\n", f.version.c_str());
      return false;
    }
    std::optional<sample::CarrierSources> read;
    try {
      read.emplace(f.version, original);
    } catch (const std::invalid_argument& e) {
      std::printf("%s: the database does not read whole: %s\n", f.version.c_str(), e.what());
      return false;
    }
    const sample::CarrierSources& sources = *read;
    if (sources.carriers() != carriers.size()) {
      std::printf("%s: the conversion holds %zu carriers, the database %zu\n", f.version.c_str(),
                  carriers.size(), sources.carriers());
      return false;
    }
    const sample::RescueExpectation expectation(std::move(carriers));
    // Each format its own damages, the same whichever formats run.
    std::mt19937 random(kDamageSeed + static_cast<uint32_t>(i));
    for (int kind = 0; kind < kKinds; ++kind) {
      for (int n = 0; n < kDamagesPerKind; ++n) {
        const Damage d = damage(static_cast<Kind>(kind), original, random);
        if (!writeFile(damaged(), d.bytes)) {
          std::printf("%s: writing %s failed\n", f.version.c_str(), damaged().c_str());
          return false;
        }
        std::remove(output().c_str());
        std::vector<std::string> args = {"timeout", std::to_string(timeoutSeconds)};
        for (const std::string& arg : recoverArgs(f.version, damaged())) args.push_back(arg);
        const int exitCode = bench::runChild(args, dir_).exitCode;
        std::string rescued;
        std::vector<sample::StoredCarrier> got;  // views into `rescued`
        if (exitCode == 0) {
          rescued = readFile(output());
          if (!sample::readCurrent(rescued, got)) ++outcome.faults;
        } else if (exitCode != 1 || exists(output())) {
          // Not a refusal (exit code 1, nothing written): a crash or a hang.
          ++outcome.faults;
        }
        expectation.tally(got, sources.reached(d.bytes, d.changed), outcome.kinds[kind], outcome.invented);
      }
    }
    std::remove(damaged().c_str());
    std::remove(output().c_str());
    return true;
  }

  const Files& files(size_t i) const { return files_[i]; }

  // The formats whose rescue reads through a window, for the table of files
  // that hold nothing: the object files. The record files join them here
  // once their rescue reads so too.
  std::vector<bench::NothingFormat> nothingFormats() const {
    std::vector<bench::NothingFormat> formats;
    for (const Files& f : files_) {
      if (f.version != "1.5" && f.version != "2.0") formats.push_back({f.version, f.empty});
    }
    return formats;
  }

 private:
  std::string output() const { return dir_ + "/rescue_output.vsk"; }
  std::string damaged() const { return dir_ + "/rescue_damaged.vsk"; }

  // The format is named: a damaged header no longer tells it.
  std::vector<std::string> recoverArgs(const std::string& version, const std::string& in) const {
    return {voskodb_, "recover", "--format", version, in, output()};
  }

  std::string converter_;
  std::string voskodb_;
  std::string dir_;
  std::vector<Files> files_;
};

std::string share(const sample::RescueTally& t) {
  if (t.intact == 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%",
                100.0 * static_cast<double>(t.rescued) / static_cast<double>(t.intact));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: rescue_table <convertVOSKO> <voskodb> <work directory> [scale]\n");
    return 2;
  }
  const std::string dir = argv[3];
  const double scale = argc > 4 ? std::atof(argv[4]) : 1.0;
  const sample::GeneratedShape shape{std::max<int32_t>(1, static_cast<int32_t>(10000 * scale)), 10, 7};
  // The 1.5 and 2.0 conversions read and write settings; keep them away from the user's.
  const std::string registry = dir + "/bench_rescue.reg";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  bool ok = false;
  bool allMet = true;
  {
    Bench bench(argv[1], argv[2], dir);
    std::vector<Measurement> measured;
    ok = bench.prepare(shape);
    if (ok) {
      allMet = bench::rescueOfNothing(argv[2], dir, scale, bench.nothingFormats());
      std::printf("\n");
    }
    ok = ok && bench.measure(measured);
    if (ok) {
      std::printf("%-6s %8s %9s %9s %9s %8s %6s %6s %6s %9s %6s %7s  %s\n", "format", "input MB",
                  kKindNames[kCut], kKindNames[kZeroed], kKindNames[kFlipped], "invented", "faults", "whole",
                  "conv s", "recover s", "x conv", "x input", "goals");
    }
    for (size_t i = 0; ok && i < measured.size(); ++i) {
      const Measurement& m = measured[i];
      // Far beyond what a rescue of the undamaged file takes: only a hang runs that long.
      const int timeoutSeconds = std::max(10, static_cast<int>(100 * m.recoverSeconds));
      Outcome outcome;
      ok = bench.damageRuns(i, timeoutSeconds, outcome);
      if (!ok) break;
      const double timeRatio = m.recoverSeconds / m.convertSeconds;
      const double memoryRatio = std::max(0.0, m.peakBytes - m.emptyPeakBytes) / m.inputBytes;
      bool met = outcome.invented == 0 && outcome.faults == 0 && m.sameAsConversion &&
                 timeRatio <= kTimeGoal && memoryRatio <= kMemoryGoal;
      for (const sample::RescueTally& t : outcome.kinds) {
        met = met && (t.intact == 0 ||
                      static_cast<double>(t.rescued) >= kRescuedGoal * static_cast<double>(t.intact));
      }
      std::printf("%-6s %8.1f %9s %9s %9s %8lld %6d %6s %6.3f %9.3f %6.2f %7.2f  %s\n",
                  bench.files(i).version.c_str(), m.inputBytes / 1e6, share(outcome.kinds[kCut]).c_str(),
                  share(outcome.kinds[kZeroed]).c_str(), share(outcome.kinds[kFlipped]).c_str(),
                  static_cast<long long>(outcome.invented), outcome.faults,
                  m.sameAsConversion ? "same" : "DIFFERS", m.convertSeconds, m.recoverSeconds, timeRatio,
                  memoryRatio, bench::verdict(met));
      std::fflush(stdout);
      allMet = allMet && met;
    }
  }
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  if (!ok) return 1;
  std::printf("\n%d carriers of 10 titles, %d damages of each kind. cut, zeroed 4K, flipped: carriers\n",
              shape.carriers, kDamagesPerKind);
  std::printf("rescued exactly of those the damage left alone (goal >= %.0f%%); invented: carriers and\n",
              100 * kRescuedGoal);
  std::printf("titles the original does not hold (goal 0); faults: crashes, hangs, broken outputs or ones\n");
  std::printf(
      "left by a refusal (goal 0); whole: recover of the undamaged file against its conversion (goal\n");
  std::printf(
      "same); x conv: recover time / conversion time (goal <= %.1f; for 2.5.7 the conversion it was\n",
      kTimeGoal);
  std::printf("made by); x input: peak memory beyond an empty database / input size (goal <= %.1f).\n%s\n",
              kMemoryGoal, allMet ? "Every goal met." : "Some goals missed.");
  return allMet ? 0 : 3;
}
