// Shared by the fuzz targets: the program's start-up once, a private scratch
// directory for the readers that only read named files, and the bytes of an
// input with a reader's header in front.
//
// The scratch directory is $VOSKO_FUZZ_SCRATCH/vosko-fuzz-<pid> (else under
// /dev/shm, which keeps the many small writes in memory). Every file a run
// makes is removed when the run ends, and the directory when the process
// exits; fuzz/run points VOSKO_FUZZ_SCRATCH at a directory it removes itself,
// which also covers a process ended by a finding. Nothing lands in /tmp.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "app/start_up.h"

namespace fuzzinput {

inline const std::string& scratchDir() {
  // Never destroyed: the exit handler below still needs it.
  static const std::string& dir = *new std::string([] {
    const char* base = std::getenv("VOSKO_FUZZ_SCRATCH");
    std::string parent = base != nullptr && *base != '\0' ? base : "/dev/shm";
    std::string made = parent + "/vosko-fuzz-" + std::to_string(getpid());
    if (::mkdir(made.c_str(), 0700) != 0) {
      std::fprintf(stderr, "fuzz: cannot create the scratch directory %s\n", made.c_str());
      std::abort();
    }
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return made;
  }());
  return dir;
}

inline void startOnce() {
  static bool started = [] {
    // The 1.5 and 2.0 readers open the settings store; keep it out of the user's home.
    setenv("VOSKO_REGISTRY", (scratchDir() + "/settings.reg").c_str(), 1);
    startUp();
    return true;
  }();
  (void)started;
}

inline std::string_view bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A file in the scratch directory, removed when the run is over; made with
// contents for an input, without for an output the reader may write.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name) : path_(scratchDir() + "/" + name) {}
  ScratchFile(const std::string& name, std::string_view contents) : ScratchFile(name) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr || std::fwrite(contents.data(), 1, contents.size(), f) != contents.size()) std::abort();
    std::fclose(f);
  }
  ~ScratchFile() { ::unlink(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs the reader; a failure reported as an exception is a fine answer to
// bad bytes, anything else ends the process as a finding.
template <class Read>
void expectNoCrash(Read read) {
  try {
    read();
  } catch (const std::exception&) {
  }
}

// The bytes of the file at path, or "<none>" when there is none: what two
// conversions left, to compare.
inline std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<none>";
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Ends the run as a finding, saying what was found.
[[noreturn]] inline void finding(const char* what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

}  // namespace fuzzinput
