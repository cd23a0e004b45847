// voskodb's commands against the cost of reading or writing the same bytes:
// generates a seeded 2.5.5 database of 100k and of 200k carriers of ten
// titles, converts it with convertVOSKO to the 2.5.7 database users run
// voskodb on, makes its XML form with `voskodb export-xml`, then times each
// command beside its reference, each in a child process, and prints one
// table.
//
//   voskodb_table <convertVOSKO> <voskodb> <work directory> [scale]
//
// A scale below 1 shrinks both sizes, as for convert_table. Times are
// medians of five runs, each command right after its reference with the
// files in the page cache, the sizes in turn; a reference's median is taken
// over every run of it (dd of the database runs beside info, check and dump
// alike). Memory is the command's peak resident set beyond what the same
// command takes on an empty database.
//
// Goals: `info` and `check` within 1.5x `dd bs=4M conv=fsync` of the
// database, `dump` (to /dev/null) within 3x; `export-xml` within 4x dd of
// the XML it writes; `import-xml` within 1.5x `xmllint --stream --noout` of
// the same document (a parse, nothing built or written); at most 64 MB
// beyond the baseline for every command at any size; twice the size at most
// 2.2x the time.
//
// One more row: `stats` on 100k carriers whose artists and labels are all
// distinct and 2 KB long (written straight in the current format), which
// must hold no more for them than for any collection: at most 64 MB beyond
// its peak on an empty database.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/start_up.h"
#include "child_run.h"
#include "data/carrier_writer.h"

namespace {

constexpr double kMemoryGoalBytes = 64e6;
constexpr double kLinearGoal = 2.2;
constexpr int kRuns = 5;

enum class Reference { kCopyDatabase, kCopyXml, kStreamParse, kCount };

struct Command {
  const char* name;
  Reference reference;
  double timeGoal;
};

const Command kCommands[] = {
    {"info", Reference::kCopyDatabase, 1.5},      {"check", Reference::kCopyDatabase, 1.5},
    {"dump", Reference::kCopyDatabase, 3.0},      {"export-xml", Reference::kCopyXml, 4.0},
    {"import-xml", Reference::kStreamParse, 1.5},
};

const char* referenceName(Reference reference) {
  switch (reference) {
    case Reference::kCopyDatabase:
      return "dd database";
    case Reference::kCopyXml:
      return "dd XML";
    case Reference::kStreamParse:
      return "xmllint";
    case Reference::kCount:
      break;
  }
  return "";
}

// The files of one size: the database voskodb reads and its XML form.
struct Files {
  std::string database;
  std::string xml;
};

struct Measurement {
  double inputBytes = 0;
  double referenceSeconds = 0;
  double commandSeconds = 0;
  double peakBytes = 0;
};

class Bench {
 public:
  Bench(std::string converter, std::string voskodb, std::string dir)
      : converter_(std::move(converter)), voskodb_(std::move(voskodb)), dir_(std::move(dir)) {}
  ~Bench() {
    for (const Files& f : files_) {
      std::remove(f.database.c_str());
      std::remove(f.xml.c_str());
    }
    removeOutputs();
  }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  // Makes the database and XML form of every shape; false after a failure,
  // which it prints.
  bool prepare(const std::vector<sample::GeneratedShape>& shapes) {
    const std::string old = dir_ + "/bench_old.vsk";
    for (size_t i = 0; i < shapes.size(); ++i) {
      const std::string n = std::to_string(i);
      files_.push_back({dir_ + "/bench_db_" + n + ".vsk", dir_ + "/bench_db_" + n + ".xml"});
      const Files& f = files_.back();
      if (!bench::generateInChild("2.5.5", shapes[i], old)) {
        std::printf("generating the 2.5.5 database failed\n");
        std::remove(old.c_str());
        return false;
      }
      const int converted = bench::runChild({converter_, "2.5.5", old, f.database}, dir_).exitCode;
      std::remove(old.c_str());
      const int exported =
          converted == 0 ? bench::runChild({voskodb_, "export-xml", f.database, f.xml}, dir_).exitCode : -1;
      if (converted != 0 || exported != 0) {
        std::printf("preparing %d carriers: convertVOSKO exit code %d, voskodb export-xml exit code %d\n",
                    shapes[i].carriers, converted, exported);
        return false;
      }
    }
    return true;
  }

  // Times every command beside its reference on every size, kRuns times
  // over, the sizes side by side so that a slow spell of the machine falls
  // on all of them and not on one size's ratio to the next. ms[c][i] is
  // command c on size i.
  bool measure(std::vector<std::vector<Measurement>>& ms) {
    const size_t commands = std::size(kCommands);
    ms.assign(commands, std::vector<Measurement>(files_.size()));
    const size_t kinds = static_cast<size_t>(Reference::kCount);
    std::vector<std::vector<std::vector<double>>> references(kinds,
                                                             std::vector<std::vector<double>>(files_.size()));
    std::vector<std::vector<std::vector<double>>> runs(commands,
                                                       std::vector<std::vector<double>>(files_.size()));
    for (int run = 0; run < kRuns; ++run) {
      for (size_t i = 0; i < files_.size(); ++i) {
        for (size_t c = 0; c < commands; ++c) {
          const Command& command = kCommands[c];
          // Each run makes new files: none pays for taking away what another left.
          removeOutputs();
          const bench::ChildRun r = bench::runChild(referenceArgs(command.reference, files_[i]), dir_);
          const bench::ChildRun v = bench::runChild(commandArgs(command.name, files_[i]), dir_);
          if (r.exitCode != 0 || v.exitCode != 0) {
            std::printf("%s: %s exit code %d, voskodb exit code %d\n", command.name,
                        referenceName(command.reference), r.exitCode, v.exitCode);
            return false;
          }
          references[static_cast<size_t>(command.reference)][i].push_back(r.seconds);
          runs[c][i].push_back(v.seconds);
          Measurement& m = ms[c][i];
          m.peakBytes = std::max(m.peakBytes, v.peakKiB * 1024.0);
          m.inputBytes = bench::fileSize(command.reference == Reference::kStreamParse ? files_[i].xml
                                                                                      : files_[i].database);
        }
      }
    }
    for (size_t c = 0; c < commands; ++c) {
      for (size_t i = 0; i < files_.size(); ++i) {
        ms[c][i].referenceSeconds = bench::median(references[static_cast<size_t>(kCommands[c].reference)][i]);
        ms[c][i].commandSeconds = bench::median(runs[c][i]);
      }
    }
    return true;
  }

 private:
  std::string copy() const { return dir_ + "/bench_copy"; }
  std::string exported() const { return dir_ + "/bench_export.xml"; }
  std::string imported() const { return dir_ + "/bench_import.vsk"; }

  void removeOutputs() const {
    std::remove(copy().c_str());
    std::remove(exported().c_str());
    std::remove(imported().c_str());
  }

  std::vector<std::string> referenceArgs(Reference reference, const Files& f) const {
    switch (reference) {
      case Reference::kCopyDatabase:
        return {"dd", "if=" + f.database, "of=" + copy(), "bs=4M", "conv=fsync"};
      case Reference::kCopyXml:
        return {"dd", "if=" + f.xml, "of=" + copy(), "bs=4M", "conv=fsync"};
      case Reference::kStreamParse:
        return {"xmllint", "--stream", "--noout", f.xml};
      case Reference::kCount:
        break;
    }
    return {};
  }

  std::vector<std::string> commandArgs(const std::string& name, const Files& f) const {
    if (name == "export-xml") return {voskodb_, name, f.database, exported()};
    if (name == "import-xml") return {voskodb_, name, f.xml, imported()};
    return {voskodb_, name, f.database};
  }

  std::string converter_;
  std::string voskodb_;
  std::string dir_;
  std::vector<Files> files_;
};

// Writes `carriers` carriers whose artists and labels are all distinct and
// kNameBytes long, each with one title by its artist, in a child (the
// memory the writing takes stays out of this process).
constexpr size_t kNameBytes = 2048;

bool writeDistinctNames(const std::string& path, int32_t carriers) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    startUp();
    TCarrierWriter writer(path, carriers);
    std::string artist(kNameBytes, 'a'), label(kNameBytes, 'l');
    for (int32_t i = 0; i < carriers; ++i) {
      const std::string number = std::to_string(i);
      artist.replace(0, number.size(), number);
      label.replace(0, number.size(), number);
      StoredCarrier c;
      c.name = "Album";
      c.artist = artist;
      c.label = label;
      c.type = TSoundCarrier::kCompactDisc;
      c.contentType = TSoundCarrier::kAlbum;
      c.titles.push_back({"Title", artist, "", 0, TTitle::kOriginal, "", "", 0});
      writer.write(c);
    }
    writer.close();
    shutDown();
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The row of stats on distinct long names; false after a failure, which it
// prints. `allMet` is cleared when the memory goal is missed.
bool statsOfDistinctNames(const std::string& voskodb, const std::string& dir, int32_t carriers,
                          bool& allMet) {
  const std::string empty = dir + "/bench_names_empty.vsk", names = dir + "/bench_names.vsk";
  bench::ChildRun base, run;
  const bool written = writeDistinctNames(empty, 0) && writeDistinctNames(names, carriers);
  if (written) {
    base = bench::runChild({voskodb, "stats", empty}, dir);
    run = bench::runChild({voskodb, "stats", names}, dir);
  }
  const double inputBytes = bench::fileSize(names);
  std::remove(empty.c_str());
  std::remove(names.c_str());
  if (!written || base.exitCode != 0 || run.exitCode != 0) {
    std::printf("stats of distinct names: writing %s, voskodb exit codes %d and %d\n",
                written ? "done" : "failed", base.exitCode, run.exitCode);
    return false;
  }
  const double beyond = std::max(0.0, (run.peakKiB - base.peakKiB) * 1024.0);
  const bool met = beyond <= kMemoryGoalBytes;
  allMet = allMet && met;
  const std::string shape = std::to_string(carriers) + " x 2 KB names";
  std::printf("%-10s %-16s %8.1f %-11s %7s %9.3f %6s %8.1f %8.1f %6s  %s\n", "stats", shape.c_str(),
              inputBytes / 1e6, "", "", run.seconds, "", run.peakKiB * 1024 / 1e6, beyond / 1e6, "",
              bench::verdict(met));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: voskodb_table <convertVOSKO> <voskodb> <work directory> [scale]\n");
    return 2;
  }
  const std::string dir = argv[3];
  const double scale = argc > 4 ? std::atof(argv[4]) : 1.0;
  auto scaled = [&](int32_t n) { return std::max<int32_t>(1, static_cast<int32_t>(n * scale)); };
  // voskodb keeps its settings apart from the user's, as the converter does in convert_table.
  const std::string registry = dir + "/bench_voskodb.reg";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  // What a command takes for itself (code, libraries, start-up), measured on
  // an empty database, does not grow with the input and is not counted.
  const std::vector<sample::GeneratedShape> shapes = {
      {0, 10, 1}, {scaled(100000), 10, 1}, {scaled(200000), 10, 2}};
  std::vector<std::vector<Measurement>> measured;
  bool ok = false;
  {
    Bench bench(argv[1], argv[2], dir);
    ok = bench.prepare(shapes) && bench.measure(measured);
  }
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  if (!ok) return 1;

  std::printf("%-10s %-16s %8s %-11s %7s %9s %6s %8s %8s %6s  %s\n", "command", "carriers", "input MB",
              "reference", "ref s", "voskodb s", "x ref", "peak MB", "+MB", "x time", "goals");
  bool allMet = true;
  for (size_t c = 0; c < std::size(kCommands); ++c) {
    const Command& command = kCommands[c];
    const Measurement& empty = measured[c][0];
    std::printf("%-10s %-16s %8.1f %-11s %7s %9.3f %6s %8.1f\n", command.name, "empty (baseline)",
                empty.inputBytes / 1e6, "", "", empty.commandSeconds, "", empty.peakBytes / 1e6);
    for (size_t i = 1; i < shapes.size(); ++i) {
      const Measurement& m = measured[c][i];
      const double timeRatio = m.commandSeconds / m.referenceSeconds;
      const double beyond = std::max(0.0, m.peakBytes - empty.peakBytes);
      bool met = timeRatio <= command.timeGoal && beyond <= kMemoryGoalBytes;
      std::string growth;
      if (i > 1) {
        const double g = m.commandSeconds / measured[c][i - 1].commandSeconds;
        met = met && g <= kLinearGoal;
        growth = bench::ratioText(g, "");
      }
      const std::string shape = std::to_string(shapes[i].carriers) + " x 10";
      std::printf("%-10s %-16s %8.1f %-11s %7.3f %9.3f %6.2f %8.1f %8.1f %6s  %s\n", command.name,
                  shape.c_str(), m.inputBytes / 1e6, referenceName(command.reference), m.referenceSeconds,
                  m.commandSeconds, timeRatio, m.peakBytes / 1e6, beyond / 1e6, growth.c_str(),
                  bench::verdict(met));
      allMet = allMet && met;
    }
  }
  const bool named = statsOfDistinctNames(argv[2], dir, scaled(100000), allMet);
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  if (!named) return 1;
  std::printf(
      "\nx ref: voskodb time / reference time (goal <= 1.5 for info, check and import-xml, <= 3 for dump, <= "
      "4 "
      "for\nexport-xml); +MB: peak memory beyond the empty baseline (goal <= %.0f MB); x time: time / time "
      "at "
      "half\nthe size (goal <= %.1f); stats of distinct names: +MB beyond stats on an empty database.\n%s\n",
      kMemoryGoalBytes / 1e6, kLinearGoal, allMet ? "Every goal met." : "Some goals missed.");
  return allMet ? 0 : 3;
}
