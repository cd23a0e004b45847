// The catalogue page at 100k carriers of ten titles: generates a seeded
// 2.5.5 database, converts it, times `voskodb export-html` (and its peak
// memory), then opens the page in headless Chromium and reads back the
// times the page itself records when its address ends in "#bench=WORDS":
// when its first rows stood (counted from the start of the navigation), how
// long folding the search text took (done when the page is idle, or by the
// first search), and how long the search for WORDS took until its rows and
// charts stood. Medians of three runs each. Then the same for the awkward
// collection: those carriers with a control character in place of every
// blank, behind one carrier whose every text is a megabyte of control
// characters (texts a browser lays out slowly, which the page must not
// draw whole).
//
//   catalogue_bench <convertVOSKO> <voskodb> <work directory> [scale]
//
// Goals: the page opens in at most 3 s, a search shows its results in at
// most 300 ms. Exits 0 when both are met, 3 when one is missed, 1 on a
// failure.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/start_up.h"
#include "child_run.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"

namespace {

constexpr double kOpenGoalMs = 3000;
constexpr double kSearchGoalMs = 300;
constexpr int kRuns = 3;
const char* const kQueries[] = {"arzte live", "song 1", "Hamburg 199x"};

std::string findBrowser() {
  for (const char* path : {"/usr/bin/chromium-headless-shell", "/usr/lib/chromium/chromium-headless-shell"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return "";
}

// Runs a program and returns what it printed on standard output (its
// standard error discarded) and how long it ran.
bool capture(const std::vector<std::string>& args, std::string& out, double& seconds) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeEnds[1], 1);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    if (!freopen("/dev/null", "w", stderr)) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  out.clear();
  char buffer[1 << 16];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The page's times (data-open="...", data-index, data-search, ...) from its DOM.
std::map<std::string, double> pageTimes(const std::string& dom) {
  std::map<std::string, double> times;
  const size_t at = dom.find("<output id=\"bench\"");
  if (at == std::string::npos) return times;
  const size_t end = dom.find('>', at);
  for (size_t p = dom.find(" data-", at); p < end; p = dom.find(" data-", p + 1)) {
    const size_t equals = dom.find("=\"", p);
    times[dom.substr(p + 6, equals - p - 6)] = std::atof(dom.c_str() + equals + 2);
  }
  return times;
}

std::string percentEncoded(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    }
  }
  return out;
}

// The control characters a stored text may hold: C0, DEL, and the five
// bytes Windows-1252 leaves undefined, which the page gets as C1 controls.
constexpr std::string_view kControls =
    "\x01\x02\x03\x04\x05\x06\x07\x08\t\n\x0B\x0C\r\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17"
    "\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\x7F\x81\x8D\x8F\x90\x9D";

// The carriers of the current database `plain` written to `out` with a
// control character in place of every blank, behind one carrier whose every
// text is a megabyte of control characters and which has one such title.
// Runs in a child: false when the child failed.
bool writeAwkward(const std::string& plain, const std::string& out) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    startUp();
    std::string megabyte;
    while (megabyte.size() < (1u << 20)) megabyte += kControls;
    CarrierStream in;
    if (!in.open(plain)) _exit(1);
    TCarrierWriter writer(out, in.count() + 1);
    StoredCarrier c;
    c.name = c.label = c.artist = c.type = c.notes = c.contentType = megabyte;
    c.titles.push_back({megabyte, megabyte, megabyte, 0, megabyte, megabyte, megabyte, 0});
    writer.write(c);
    std::deque<std::string> held;  // the changed texts, which the carrier's views point into
    auto awkward = [&](std::string_view& text) {
      std::string& changed = held.emplace_back(text);
      for (size_t i = 0; i < changed.size(); ++i) {
        if (changed[i] == ' ') changed[i] = kControls[(held.size() + i) % kControls.size()];
      }
      text = changed;
    };
    for (int32_t i = 0; i < in.count(); ++i, held.clear()) {
      if (!in.next(c)) _exit(1);
      for (std::string_view* text : {&c.name, &c.label, &c.artist, &c.notes}) awkward(*text);
      for (StoredTitle& t : c.titles) {
        for (std::string_view* text : {&t.name, &t.artist, &t.originalArtist, &t.film}) awkward(*text);
      }
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

}  // namespace

// Times export-html of `database` and opening and searching its page; false
// after a failure, which it prints. `allMet` is cleared when a goal is missed.
bool benchPage(const std::string& name, const std::string& voskodb, const std::string& browser,
               const std::string& database, const std::string& dir, int32_t carriers, bool& allMet) {
  const std::string page = dir + "/bench_catalogue.html", profile = dir + "/bench_catalogue_profile";
  std::vector<double> exportSeconds;
  long peakKiB = 0;
  bool ok = true;
  for (int run = 0; ok && run < kRuns; ++run) {
    const bench::ChildRun r = bench::runChild({voskodb, "export-html", database, page}, dir);
    ok = r.exitCode == 0;
    exportSeconds.push_back(r.seconds);
    peakKiB = std::max(peakKiB, r.peakKiB);
  }
  if (!ok) {
    std::printf("catalogue: making the %s page failed\n", name.c_str());
    return false;
  }
  std::printf("%s: %d carriers x 10 titles, %.1f MB page; export-html %.2f s, peak %.1f MB\n", name.c_str(),
              carriers, bench::fileSize(page) / 1e6, bench::median(exportSeconds), peakKiB * 1024 / 1e6);
  for (const char* query : kQueries) {
    std::map<std::string, std::vector<double>> runs;
    for (int run = 0; run < kRuns && ok; ++run) {
      std::string dom;
      double seconds = 0;
      ok = capture({browser, "--no-sandbox", "--dump-dom", "--user-data-dir=" + profile,
                    "file://" + page + "#bench=" + percentEncoded(query)},
                   dom, seconds);
      const std::map<std::string, double> times = pageTimes(dom);
      ok = ok && times.count("open") && times.count("search");
      for (const auto& [key, value] : times) runs[key].push_back(value);
      runs["browser"].push_back(seconds);
    }
    if (!ok) {
      std::printf("catalogue: the %s page did not report its times for \"%s\"\n", name.c_str(), query);
      break;
    }
    const double open = bench::median(runs["open"]), search = bench::median(runs["search"]);
    const bool met = open <= kOpenGoalMs && search <= kSearchGoalMs;
    allMet = allMet && met;
    std::printf("  %-14s %9.0f %9.0f %9.0f %9.0f %9.2f  %s\n", query, open, bench::median(runs["index"]),
                search, bench::median(runs["shown"]), bench::median(runs["browser"]), bench::verdict(met));
  }
  std::remove(page.c_str());
  bench::runChild({"rm", "-rf", profile}, dir);
  return ok;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: catalogue_bench <convertVOSKO> <voskodb> <work directory> [scale]\n");
    return 2;
  }
  const std::string converter = argv[1], voskodb = argv[2], dir = argv[3];
  const double scale = argc > 4 ? std::atof(argv[4]) : 1.0;
  const sample::GeneratedShape shape = {std::max<int32_t>(1, static_cast<int32_t>(100000 * scale)), 10, 1};
  const std::string browser = findBrowser();
  if (browser.empty()) {
    std::printf("catalogue: no chromium-headless-shell to open the page in (scripts/setup installs it)\n");
    return 1;
  }
  const std::string registry = dir + "/bench_catalogue.reg", old = dir + "/bench_catalogue.255",
                    database = dir + "/bench_catalogue.vsk", awkward = dir + "/bench_catalogue_awkward.vsk";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  bool ok = bench::generateInChild("2.5.5", shape, old) &&
            bench::runChild({converter, "2.5.5", old, database}, dir).exitCode == 0 &&
            writeAwkward(database, awkward);
  std::remove(old.c_str());
  bool allMet = true;
  if (!ok) {
    std::printf("catalogue: making the databases failed\n");
  } else {
    std::printf("%-16s %9s %9s %9s %9s %9s  %s\n", "page / search", "open ms", "fold ms", "search ms",
                "shown", "browser s", "goals");
    ok = benchPage("plain texts", voskodb, browser, database, dir, shape.carriers, allMet) &&
         benchPage("awkward texts", voskodb, browser, awkward, dir, shape.carriers + 1, allMet);
  }
  for (const std::string& f : {database, awkward, registry, registry + ".lock"}) std::remove(f.c_str());
  if (!ok) return 1;
  std::printf(
      "\nopen: from the start of the navigation until the first rows stand (goal <= %.0f ms); fold: making\n"
      "the search text, done when the page is idle after opening; search: until the rows and charts of\n"
      "the search stand (goal <= %.0f ms); browser: the whole headless run, start and search included.\n"
      "Awkward texts: a control character for every blank, behind a carrier of 1 MB of them per text.\n%s\n",
      kOpenGoalMs, kSearchGoalMs, allMet ? "Every goal met." : "Some goals missed.");
  return allMet ? 0 : 3;
}
