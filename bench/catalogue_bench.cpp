// The catalogue page at 100k carriers of ten titles: generates a seeded
// 2.5.5 database, converts it, times `voskodb export-html` (and its peak
// memory), then opens the page in headless Chromium and reads back the
// times the page itself records when its address ends in "#bench=WORDS":
// when its first rows stood (counted from the start of the navigation), how
// long folding the search text took (done when the page is idle, or by the
// first search), and how long the search for WORDS took until its rows and
// charts stood. Medians of three runs each.
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
#include <map>
#include <string>
#include <vector>

#include "child_run.h"

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

}  // namespace

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
                    database = dir + "/bench_catalogue.vsk", page = dir + "/bench_catalogue.html",
                    profile = dir + "/bench_catalogue_profile";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);
  auto cleanUp = [&] {
    for (const std::string& f : {old, database, page, registry, registry + ".lock"}) std::remove(f.c_str());
    bench::runChild({"rm", "-rf", profile}, dir);
  };

  bool ok = bench::generateInChild("2.5.5", shape, old) &&
            bench::runChild({converter, "2.5.5", old, database}, dir).exitCode == 0;
  std::vector<double> exportSeconds;
  long peakKiB = 0;
  for (int run = 0; ok && run < kRuns; ++run) {
    const bench::ChildRun r = bench::runChild({voskodb, "export-html", database, page}, dir);
    ok = r.exitCode == 0;
    exportSeconds.push_back(r.seconds);
    peakKiB = std::max(peakKiB, r.peakKiB);
  }
  if (!ok) {
    std::printf("catalogue: making the database or the page failed\n");
    cleanUp();
    return 1;
  }

  std::printf("catalogue page: %d carriers x 10 titles, %.1f MB page; export-html %.2f s, peak %.1f MB\n",
              shape.carriers, bench::fileSize(page) / 1e6, bench::median(exportSeconds),
              peakKiB * 1024 / 1e6);
  std::printf("%-16s %9s %9s %9s %9s %9s  %s\n", "search", "open ms", "fold ms", "search ms", "shown",
              "browser s", "goals");
  bool allMet = true;
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
      for (const auto& [name, value] : times) runs[name].push_back(value);
      runs["browser"].push_back(seconds);
    }
    if (!ok) {
      std::printf("catalogue: the page did not report its times for \"%s\"\n", query);
      break;
    }
    const double open = bench::median(runs["open"]), search = bench::median(runs["search"]);
    const bool met = open <= kOpenGoalMs && search <= kSearchGoalMs;
    allMet = allMet && met;
    std::printf("%-16s %9.0f %9.0f %9.0f %9.0f %9.2f  %s\n", query, open, bench::median(runs["index"]),
                search, bench::median(runs["shown"]), bench::median(runs["browser"]), bench::verdict(met));
  }
  cleanUp();
  if (!ok) return 1;
  std::printf(
      "\nopen: from the start of the navigation until the first rows stand (goal <= %.0f ms); fold: making\n"
      "the search text, done when the page is idle after opening; search: until the rows and charts of\n"
      "the search stand (goal <= %.0f ms); browser: the whole headless run, start and search included.\n%s\n",
      kOpenGoalMs, kSearchGoalMs, allMet ? "Every goal met." : "Some goals missed.");
  return allMet ? 0 : 3;
}
