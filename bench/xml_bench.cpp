// Speed and memory of the XML layer on a large database document: parses a
// generated file of about 50 MB with fileToDom, writes it back with
// writeToUTF8, and times `xmllint --noout` on the same file for comparison.
//
//   xml_bench [megabytes] [work directory]
//
// Goals: fileToDom within twice xmllint's time; peak memory of this process
// under eight times the file size.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "xml/dom_document.h"
#include "xml/dom_implementation.h"
#include "xml/xml_to_dom_parser.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakKiB(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_maxrss;
}

// A sound-carrier database as the model writes it: carriers with notes, one
// table of contents and their titles, attribute-heavy like the real files.
void generate(const std::string& path, std::size_t targetBytes) {
  std::ofstream out(path, std::ios::binary);
  std::string chunk;
  std::size_t written = 0;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<VOSKO VERSION=\"1.1.0\">";
  for (int carrier = 0; written < targetBytes; ++carrier) {
    chunk.clear();
    std::string n = std::to_string(carrier);
    chunk += "<CARRIER NAME=\"Album n\xC2\xBA" + n + " &#38; Friends\" ARTIST=\"Die \xC3\x84rzte " + n +
             "\" LABEL=\"Label " + n +
             "\" TYPE=\"Compact Disc\" RELEASE=\"01.02.1999\" CONTENTTYPE=\"Album\""
             " IMAGE=\"\" PRINTIMAGE=\"\"><NOTES>Recorded live.\r\nSecond line of notes for " +
             n + ".</NOTES><TOCS><TOC DISCID=\"" + std::to_string(123456789 + carrier) + "\">";
    for (int t = 0; t <= 12; ++t) {
      chunk += "<TOCTRACK MINUTES=\"" + std::to_string(t * 4) + "\" SECONDS=\"" + std::to_string(t * 7 % 60) +
               "\" FRAMES=\"" + std::to_string(t * 11 % 75) + "\" TRACKNUMBER=\"" + std::to_string(t) +
               "\" ISAUDIOTRACK=\"1\"></TOCTRACK>";
    }
    chunk += "</TOC></TOCS><TITLES>";
    for (int t = 1; t <= 12; ++t) {
      chunk += "<TITLE NAME=\"Song number " + std::to_string(t) +
               " (Caf\xC3\xA9 Mix)\" ARTIST=\"Die \xC3\x84rzte\""
               " URL=\"\" TRACK=\"" +
               std::to_string(t) +
               "\" CONTENTTYPE=\"Original\" ORIGINALARTIST=\"\" FILM=\"\""
               " CARRIERINDEX=\"0\"></TITLE>";
    }
    chunk += "</TITLES></CARRIER>";
    out << chunk;
    written += chunk.size();
  }
  out << "</VOSKO>\r\n";
}

bool sameFiles(const std::string& a, const std::string& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  std::string bx(1 << 16, '\0'), by(1 << 16, '\0');
  while (true) {
    x.read(bx.data(), static_cast<std::streamsize>(bx.size()));
    y.read(by.data(), static_cast<std::streamsize>(by.size()));
    if (x.gcount() != y.gcount() || bx.compare(0, x.gcount(), by, 0, y.gcount()) != 0) return false;
    if (x.gcount() == 0) return true;
  }
}

// Wall time of one run of xmllint, or a negative number when it cannot run.
double timeXmllint(const std::string& path) {
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execlp("xmllint", "xmllint", "--noout", "--huge", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  std::string dir = argc > 2 ? argv[2] : "/tmp";
  std::string input = dir + "/xml_bench_input.xml";
  std::string output = dir + "/xml_bench_output.xml";
  const int kRuns = 3;

  generate(input, megabytes * 1000 * 1000);
  std::ifstream probe(input, std::ios::binary | std::ios::ate);
  double size = static_cast<double>(probe.tellg());
  long baseKiB = peakKiB(RUSAGE_SELF);
  std::printf("document: %.1f MB\n", size / 1e6);

  double lint = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    double t = timeXmllint(input);
    if (t < 0) {
      lint = -1;
      break;
    }
    lint = std::min(lint, t);
  }

  TDomImplementation implementation;
  TXmlToDomParser parser(&implementation);
  double parse = 1e9, write = 1e9;
  std::size_t writtenBytes = 0;
  for (int i = 0; i < kRuns; ++i) {
    auto start = Clock::now();
    std::unique_ptr<TDomDocument> document = parser.fileToDom(input);
    parse = std::min(parse, secondsSince(start));
    start = Clock::now();
    {
      std::ofstream out(output, std::ios::binary | std::ios::trunc);
      document->writeToUTF8(out);
    }
    write = std::min(write, secondsSince(start));
    std::ifstream check(output, std::ios::binary | std::ios::ate);
    writtenBytes = static_cast<std::size_t>(check.tellg());
  }
  long peak = peakKiB(RUSAGE_SELF);

  // The generated file is in the serializer's own form, so writing it back must give the same bytes.
  std::printf("written back identical to the input: %s\n", sameFiles(input, output) ? "yes" : "NO");
  std::printf("fileToDom:      %.3f s  (%.0f MB/s)\n", parse, size / 1e6 / parse);
  std::printf("writeToUTF8:    %.3f s  (%.0f MB/s, %zu bytes written)\n", write, writtenBytes / 1e6 / write,
              writtenBytes);
  if (lint > 0) {
    std::printf("xmllint --noout: %.3f s  -> fileToDom / xmllint = %.2f (goal <= 2)\n", lint, parse / lint);
    std::printf("xmllint peak:   %.1f MB\n", peakKiB(RUSAGE_CHILDREN) / 1024.0);
  } else {
    std::printf("xmllint --noout: not available\n");
  }
  std::printf("peak memory:    %.1f MB = %.2f x file size (goal < 8); before parsing %.1f MB\n",
              peak / 1024.0, peak * 1024.0 / size, baseKiB / 1024.0);
  std::remove(output.c_str());
  std::remove(input.c_str());
  return 0;
}
