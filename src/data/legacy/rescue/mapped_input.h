// MappedInput, the file a rescue reads: mapped read-only, so that its bytes
// are at hand in any order without being read in first, and held in memory
// only around the place the rescue reads. A damaged file is read out of
// order (a length may send a reader far ahead, a damaged run is read twice),
// yet of a file of any size only a window of some megabytes is resident at
// a time: the reader says where it stands and how far it reached, and the
// pages outside the window go back to the system, which reads them from the
// file again should they be asked for.
//
// The file must not shrink while it is mapped: its bytes past the new end
// could no longer be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A file's bytes, mapped read-only, resident only around where they are read.
class MappedInput {
 public:
  // Maps the regular file at `path`; raises IOException "recover: " and the
  // reason when it cannot be opened or mapped.
  explicit MappedInput(const std::string& path);
  ~MappedInput();
  MappedInput(const MappedInput&) = delete;
  MappedInput& operator=(const MappedInput&) = delete;

  // The whole file; valid while this lives.
  std::string_view bytes() const { return {data_, size_}; }
  size_t size() const { return size_; }

  // A reader is about to read bytes up to `end`, perhaps far ahead of where
  // it stands; what it reads there goes back at the next settle().
  void reach(size_t end) {
    if (end > farthest_) farthest_ = end;
  }
  // The reader stands at `at` and reads on from there: the pages well before
  // it, and those beyond the window ahead of it that a reach took in, go back.
  // REQUIRES: a reader settles at or before a place before it reads there,
  // unless it reaches there; the pages it reads are given back as it moves on.
  void settle(size_t at);

  // How much is kept around the reader: a little behind it, as much ahead.
  static constexpr size_t kBehind = size_t{1} << 20;
  static constexpr size_t kAhead = size_t{8} << 20;
  // How many reads far ahead of the window may hold what they took in
  // before it goes back.
  static constexpr int kFarReads = 8;

 private:
  void giveBack(size_t from, size_t to) const;

  const char* data_ = nullptr;
  size_t size_ = 0;
  size_t farthest_ = 0;  // the farthest byte a reader reached since the last settle
  size_t kept_ = 0;      // what lies before it was given back, or not read since
  int farReads_ = 0;     // settles since the last giving back ahead that found pages read far ahead
};
