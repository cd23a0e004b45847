// Helpers shared by the tests: a temporary directory that cleans up after
// itself, whole-file reads and writes, byte strings written as hex, and the
// stored forms of numbers, strings, blocks and objects.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testutil {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/vosko-test-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { removeTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the directory, sorted.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(path_.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static void removeTree(const std::string& path) {
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        std::string child = path + "/" + n;
        struct stat st {};
        if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
          removeTree(child);
        } else {
          unlink(child.c_str());
        }
      }
      closedir(d);
    }
    rmdir(path.c_str());
  }
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// "1A 00 61" -> the three bytes; blanks and "·" separators are ignored.
inline std::string hex(const std::string& text) {
  std::string out;
  int nibble = -1;
  for (unsigned char c : text) {
    int v = (c >= '0' && c <= '9')   ? c - '0'
            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                     : -1;
    if (v < 0) continue;
    if (nibble < 0) {
      nibble = v;
    } else {
      out += static_cast<char>(nibble * 16 + v);
      nibble = -1;
    }
  }
  return out;
}

// Little-endian encodings, to build expected files.
inline std::string le32(int64_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
  return s;
}
inline std::string str(const std::string& s) { return le32(static_cast<int64_t>(s.size())) + s; }
// The container's stored forms: a block is its length and content, an object
// its class name and block.
inline std::string block(const std::string& content) {
  return le32(static_cast<int64_t>(content.size())) + content;
}
inline std::string object(const std::string& className, const std::string& content) {
  return str(className) + block(content);
}
inline std::string dbl(double d) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof d);
  std::memcpy(&bits, &d, 8);
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return s;
}

}  // namespace testutil

namespace testutil {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Forks; the child runs setUp (false ends it with exit code 127), then the
// program with the arguments. Returns the raw wait status of the child.
template <class SetUp>
inline int spawnAndWait(const std::string& program, const std::vector<std::string>& args, SetUp setUp) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!setUp()) _exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// Runs a program with the given arguments (no shell quoting needed) and
// collects its exit code, standard output and standard error.
inline RunResult run(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir = "") {
  TempDir capture;
  std::string outFile = capture.file("out"), errFile = capture.file("err");
  const int status = spawnAndWait(program, args, [&] {
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) return false;
    return freopen(outFile.c_str(), "w", stdout) != nullptr &&
           freopen(errFile.c_str(), "w", stderr) != nullptr;
  });
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readFile(outFile);
  r.err = readFile(errFile);
  return r;
}

// Runs a program with the descriptor `stdoutFd` as its standard output, or
// with standard output closed when it is negative; returns the exit code, or
// -1 when a signal ended it.
inline int runWithStdout(const std::string& program, const std::vector<std::string>& args, int stdoutFd) {
  const int status =
      spawnAndWait(program, args, [&] { return stdoutFd < 0 ? close(1) == 0 : dup2(stdoutFd, 1) >= 0; });
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs check() in a child process that has become the user nobody (65534);
// true when the switch worked and check() returned true. Needs root.
template <typename Check>
bool asNobody(Check check) {
  pid_t pid = fork();
  if (pid == 0) {
    bool ok = setgid(65534) == 0 && setuid(65534) == 0 && check();
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testutil
