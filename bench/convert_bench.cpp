// Speed and memory of convertVOSKO on a large 2.5.5 database: generates a
// file of 100,000 carriers with 1,000,000 titles (about 130 MB), copies it
// with `dd bs=4M` and converts it with the program, each in a child process,
// and reports the wall times and the converter's peak resident memory.
//
//   convert_bench [carriers] [titles per carrier] [work directory]
//
// With CONVERT_BENCH_KEEP set in the environment the generated input stays
// in the work directory, for profiling the converter on it.
//
// Goals: the conversion within 4 times the copy's time; the converter's peak
// memory under 4 times the input size.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "object_sample.h"

namespace {

using Clock = std::chrono::steady_clock;

struct ChildRun {
  double seconds = -1;
  long peakKiB = 0;
  int exitCode = -1;
};

// Runs the program with its arguments, output discarded, and measures it.
ChildRun runChild(const std::vector<std::string>& args, const std::string& workDir) {
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(workDir.c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  ChildRun run;
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

double fileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : -1;
}

// Carriers and titles with texts of the lengths real databases have.
void generate(const std::string& path, int32_t carriers, int32_t titlesPerCarrier) {
  using sample::ObjectFormat;
  sample::ObjectDatabaseWriter writer(ObjectFormat::k2_5_5, path, carriers);
  for (int32_t i = 0; i < carriers; ++i) {
    const std::string n = std::to_string(i);
    sample::ObjectCarrier c = sample::defaultCarrier(ObjectFormat::k2_5_5);
    c.name = "Album number " + n + " (Deluxe Edition)";
    c.label = "Label " + std::to_string(i % 997);
    c.artist = "Die \xC4rzte " + std::to_string(i % 5000);
    c.release = 30000 + i % 9000 + 0.25;
    c.notes = "Recorded live in Hamburg.\r\nSecond line of the notes of " + n + ".";
    c.contentType = i % 10 == 0 ? "Sampler" : i % 25 == 0 ? "Split" : "Album";
    c.image = i % 3 == 0 ? "covers/" + n + ".jpg" : "";
    for (int32_t t = 0; t < titlesPerCarrier; ++t) {
      sample::ObjectTitle title = sample::defaultTitle(ObjectFormat::k2_5_5);
      title.name = "Song number " + std::to_string(t + 1) + " of " + n;
      title.artist = t == 7 && i % 10 == 0 ? "Guest " + std::to_string(t) : c.artist;
      title.url = "http://example.org/t/" + n + "/" + std::to_string(t);
      title.originalArtist = t == 3 ? "Original Artist" : "";
      c.titles.push_back(std::move(title));
    }
    writer.writeCarrier(c);
  }
  writer.finish();
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t carriers = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int32_t titlesPerCarrier = argc > 2 ? std::atoi(argv[2]) : 10;
  const std::string dir = argc > 3 ? argv[3] : "/tmp";
  const std::string input = dir + "/convert_bench_input.vsk";
  const std::string copy = dir + "/convert_bench_copy.vsk";
  const std::string output = dir + "/convert_bench_output.vsk";
  const std::string converter = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";
  const int kRuns = 3;

  generate(input, carriers, titlesPerCarrier);
  const double size = fileSize(input);
  std::printf("input: %d carriers, %d titles, %.1f MB\n", carriers, carriers * titlesPerCarrier, size / 1e6);

  std::fflush(stdout);
  // Alternating runs, best of each, with the file in the page cache for both.
  ChildRun dd, convert;
  dd.seconds = convert.seconds = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    ChildRun d = runChild({"dd", "if=" + input, "of=" + copy, "bs=4M"}, dir);
    if (d.exitCode != 0) {
      std::printf("dd failed (exit code %d)\n", d.exitCode);
      return 1;
    }
    dd.seconds = std::min(dd.seconds, d.seconds);
    ChildRun c = runChild({converter, "2.5.5", input, output}, dir);
    if (c.exitCode != 0) {
      std::printf("convertVOSKO failed (exit code %d)\n", c.exitCode);
      return 1;
    }
    convert.seconds = std::min(convert.seconds, c.seconds);
    convert.peakKiB = std::max(convert.peakKiB, c.peakKiB);
  }

  const double peak = convert.peakKiB * 1024.0;
  std::printf("output: %.1f MB\n", fileSize(output) / 1e6);
  std::printf("dd bs=4M:      %.3f s\n", dd.seconds);
  std::printf("convertVOSKO:  %.3f s = %.2f x dd (goal < 4)\n", convert.seconds,
              convert.seconds / dd.seconds);
  std::printf("peak memory:   %.1f MB = %.2f x input (goal < 4)\n", peak / 1e6, peak / size);
  if (std::getenv("CONVERT_BENCH_KEEP") == nullptr) std::remove(input.c_str());
  std::remove(copy.c_str());
  std::remove(output.c_str());
  return 0;
}
