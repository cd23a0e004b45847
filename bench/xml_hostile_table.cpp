// voskodb's commands on XML documents made to take memory out of all
// proportion to their size, beside an ordinary export read the loaded way
// (a comment in front keeps it off the streams): 3,000,000 attributes on one
// element, a 100 MB element name, a million nested unknown elements, an
// attribute default given to 200,000 elements, and a million titles of two
// numbers each, each at half and at the whole size. Each command
// (import-xml, info, check, dump) runs once per document in a child
// process; the table gives
// its processor time (which other work on the machine changes far less than
// the wall time) and peak memory, and whether it read the document or
// refused it naming the memory limit.
//
//   xml_hostile_table <voskodb> <work directory> [scale]
//
// A scale below 1 shrinks every document. Goals: the peak beyond the same
// command on an empty database at most the reading limit, 64 MiB and 10 bytes
// for each byte of the document; a refusal names that limit; twice the size
// at most 2.2x the time (beyond the command's on an empty database). Exits 0
// when every goal is met,
// 3 when some are missed, 1 on a failure.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

constexpr double kMemoryFloor = 64.0 * 1024 * 1024;
constexpr double kMemoryPerByte = 10;
constexpr double kLinearGoal = 2.2;
const char* const kCommands[] = {"import-xml", "info", "check", "dump"};
const char* const kLimitWords = "needs more memory than its limit of";

struct Run {
  double seconds = 0;
  double peakBytes = 0;
  int exitCode = -1;
  bool namesLimit = false;
};

// Runs voskodb with its standard output discarded and its standard error in
// `errorFile`, and measures it.
Run runVoskodb(const std::vector<std::string>& args, const std::string& errorFile) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err < 0 || dup2(err, 2) < 0 || !freopen("/dev/null", "w", stdout)) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  run.seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peakBytes = usage.ru_maxrss * 1024.0;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errorFile);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  run.namesLimit = text.find(kLimitWords) != std::string::npos;
  return run;
}

void repeat(std::ostream& out, const std::string& part, long times) {
  std::string block;
  while (block.size() < (1 << 20)) block += part;
  const long perBlock = static_cast<long>(block.size() / part.size());
  for (; times >= perBlock; times -= perBlock) out << block;
  for (; times > 0; --times) out << part;
}

const char* const kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// An ordinary export of `carriers` carriers of ten titles, commented.
void ordinary(std::ostream& out, long carriers) {
  out << kHead << "<!-- exported -->\r\n<VOSKO VERSION=\"1.1.0\">";
  for (long c = 0; c < carriers; ++c) {
    const std::string n = std::to_string(c);
    out << "<CARRIER NAME=\"Album " << n << "\" ARTIST=\"Die \xC3\x84rzte\" LABEL=\"Label " << n
        << "\" TYPE=\"Compact Disc\" RELEASE=\"01.02.1999\" CONTENTTYPE=\"Album\" IMAGE=\"\" PRINTIMAGE=\"\">"
           "<NOTES>Recorded live.\r\r\nSecond line.</NOTES><TOCS></TOCS><TITLES>";
    for (int t = 0; t < 10; ++t) {
      out << "<TITLE NAME=\"Song " << t << "\" ARTIST=\"Die \xC3\x84rzte\" URL=\"\" TRACK=\"" << t
          << "\" CONTENTTYPE=\"Original\" ORIGINALARTIST=\"\" FILM=\"\" CARRIERINDEX=\"0\"></TITLE>";
    }
    out << "</TITLES></CARRIER>";
  }
  out << "</VOSKO>\r\n";
}

struct Shape {
  const char* name;
  std::function<void(std::ostream&, double scale)> write;
};

const Shape kShapes[] = {
    {"ordinary, commented", [](std::ostream& out, double s) { ordinary(out, static_cast<long>(30000 * s)); }},
    {"3,000,000 attributes",
     [](std::ostream& out, double s) {
       out << kHead << "<VOSKO VERSION=\"1.1.0\"";
       char attribute[32];
       for (long i = 0; i < static_cast<long>(3000000 * s); ++i) {
         std::snprintf(attribute, sizeof attribute, " a%07ld=\"\"", i);
         out << attribute;
       }
       out << "></VOSKO>\r\n";
     }},
    {"100 MB element name",
     [](std::ostream& out, double s) {
       out << kHead << "<VOSKO VERSION=\"1.1.0\"><";
       repeat(out, "n", static_cast<long>(100000000 * s));
       out << "/></VOSKO>\r\n";
     }},
    {"1,000,000 nested",
     [](std::ostream& out, double s) {
       out << kHead << "<VOSKO VERSION=\"1.1.0\">";
       repeat(out, "<a>", static_cast<long>(1000000 * s));
       repeat(out, "</a>", static_cast<long>(1000000 * s));
       out << "</VOSKO>\r\n";
     }},
    {"200,000 defaults",
     [](std::ostream& out, double s) {
       out << kHead << "<!DOCTYPE VOSKO [<!ATTLIST a d CDATA \"" << std::string(1000, 'd')
           << "\">]><VOSKO VERSION=\"1.1.0\">";
       repeat(out, "<a/>", static_cast<long>(200000 * s));
       out << "</VOSKO>\r\n";
     }},
    {"1,000,000 titles",
     [](std::ostream& out, double s) {
       out << kHead << "<!-- bare titles -->\r\n<VOSKO VERSION=\"1.1.0\"><CARRIER RELEASE=\"1.1.2000\">"
           << "<NOTES/><TOCS/><TITLES>";
       repeat(out, "<TITLE TRACK=\"0\" CARRIERINDEX=\"0\"/>", static_cast<long>(1000000 * s));
       out << "</TITLES></CARRIER></VOSKO>\r\n";
     }},
};

std::vector<std::string> commandArgs(const std::string& voskodb, const char* command, const std::string& xml,
                                     const std::string& dir) {
  if (std::string(command) == "import-xml") return {voskodb, command, xml, dir + "/bench_hostile.vsk"};
  return {voskodb, command, xml};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: xml_hostile_table <voskodb> <work directory> [scale]\n");
    return 2;
  }
  const std::string voskodb = argv[1], dir = argv[2];
  const double scale = argc > 3 ? std::atof(argv[3]) : 1.0;
  const std::string xml = dir + "/bench_hostile.xml", errors = dir + "/bench_hostile.err";
  const std::string registry = dir + "/bench_hostile.reg";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  // What each command takes for itself, on an empty database.
  std::vector<Run> baseline;
  std::ofstream(xml, std::ios::binary) << kHead << "<VOSKO VERSION=\"1.1.0\"></VOSKO>\r\n";
  for (const char* command : kCommands) {
    baseline.push_back(runVoskodb(commandArgs(voskodb, command, xml, dir), errors));
  }
  std::printf("%-22s %-10s %8s %7s %6s %8s %9s %-8s  %s\n", "document", "command", "input MB", "s", "x time",
              "+MB", "limit MB", "outcome", "goals");
  bool allMet = true, failed = false;
  for (const Shape& shape : kShapes) {
    std::vector<double> halfSeconds(std::size(kCommands), 0);
    for (double part : {0.5, 1.0}) {
      {
        std::ofstream out(xml, std::ios::binary | std::ios::trunc);
        shape.write(out, scale * part);
      }
      const double size = bench::fileSize(xml);
      const double limit = kMemoryFloor + kMemoryPerByte * size;
      for (size_t c = 0; c < std::size(kCommands); ++c) {
        std::remove((dir + "/bench_hostile.vsk").c_str());
        const Run run = runVoskodb(commandArgs(voskodb, kCommands[c], xml, dir), errors);
        const bool read = run.exitCode == 0, refused = run.exitCode == 1 && run.namesLimit;
        if (!read && !refused) {
          std::printf("%s: %s exit code %d without naming the limit\n", shape.name, kCommands[c],
                      run.exitCode);
          failed = true;
          continue;
        }
        const double seconds = std::max(1e-3, run.seconds - baseline[c].seconds);
        const double beyond = std::max(0.0, run.peakBytes - baseline[c].peakBytes);
        bool met = beyond <= limit;
        std::string growth;
        if (part == 1.0) {
          const double g = seconds / halfSeconds[c];
          met = met && g <= kLinearGoal;
          growth = bench::ratioText(g, "");
        } else {
          halfSeconds[c] = seconds;
        }
        allMet = allMet && met;
        std::printf("%-22s %-10s %8.1f %7.2f %6s %8.1f %9.1f %-8s  %s\n", shape.name, kCommands[c],
                    size / 1e6, seconds, growth.c_str(), beyond / 1e6, limit / 1e6, read ? "read" : "refused",
                    bench::verdict(met));
      }
    }
  }
  std::remove(xml.c_str());
  std::remove(errors.c_str());
  std::remove((dir + "/bench_hostile.vsk").c_str());
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  std::printf(
      "\ns: processor time beyond the command on an empty database; x time: time / time at half the size "
      "(goal <= %.1f);\n+MB: peak memory beyond the command on an empty database (goal <= the limit, 64 MiB "
      "and %.0f bytes for each\nbyte of the document); a refusal names the limit.\n%s\n",
      kLinearGoal, kMemoryPerByte,
      failed   ? "A command failed."
      : allMet ? "Every goal met."
               : "Some goals missed.");
  if (failed) return 1;
  return allMet ? 0 : 3;
}
