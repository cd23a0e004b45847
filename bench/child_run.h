// What the benchmark tables share: running a program in a child process and
// measuring its time and peak resident set, making a seeded database in a
// child, and the medians and verdicts of the table. Programs run with their
// output discarded; a child's peak memory is its own, since this process
// stays small (the databases are made in children for that reason).
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "generated_database.h"

namespace bench {

struct ChildRun {
  double seconds = 0;
  long peakKiB = 0;
  int exitCode = -1;
};

// Runs a program with its arguments in workDir, output discarded, and
// measures it.
inline ChildRun runChild(const std::vector<std::string>& args, const std::string& workDir) {
  // Whatever the runs before left for the disk (the files they replaced and
  // removed) is done first, so that no run pays for another's.
  ::sync();
  std::fflush(stdout);  // or the child's stdio would print it again
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
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
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Writes a seeded database in a child: the memory it takes would otherwise
// stay with this process and count in the peak of every child forked later.
inline bool generateInChild(const std::string& version, const sample::GeneratedShape& shape,
                            const std::string& path) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    sample::writeGeneratedDatabase(version, shape, path);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

inline double fileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : -1;
}

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline const char* verdict(bool met) { return met ? "ok" : "MISSED"; }

inline std::string ratioText(double ratio, const char* mark) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%s", ratio, mark);
  return text;
}

}  // namespace bench
