// What rescuing a damaged database found: the carriers and titles it could
// still read whole and wrote to the new database, and what it lost with each
// damaged place of the file. Nothing is invented: a carrier, title or text
// that does not read whole is left out, never guessed or pieced together.
//
// The rescuers of the formats fill it (object files: 2.5, 2.5.3, 2.5.5,
// 2.5.7; record files: 1.5, 2.0); voskodb recover shows it as text or JSON.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/export.h"

// What a rescue wrote to the new database and what it lost, place by place.
struct VOSKO_API RescueReport {
  // A run of bytes that could not be read as part of anything rescued,
  // [begin, end) as offsets into the input file.
  struct Damage {
    int64_t begin = 0;
    int64_t end = 0;
  };
  // A carrier or title of the file that is not in the new database.
  struct Loss {
    enum class Kind { kCarrier, kTitle };
    Kind kind = Kind::kCarrier;
    // Where it stood: its byte offset in the input, and its number in the
    // file's order (0-based; -1 where the damage hides it).
    int64_t offset = 0;
    int64_t number = -1;
    // How many in a row it stands for, numbered from `number` on: those a
    // count announces beyond the last byte left, all lost alike.
    int64_t count = 1;
    // Its name as far as it reads ("" where unreadable); for a title, its
    // carrier's name where known. A long name is cut as messages cut values.
    std::string name;
    std::string carrier;
    // Why, in a few words ("damaged", "cut off", "its carrier is lost").
    std::string reason;
    // For a title: its carrier's number in the file's order (0-based; -1
    // where unknown).
    int64_t carrierNumber = -1;
  };

  std::string format;    // the version the input was read as, e.g. "2.5.5"
  int64_t carriers = 0;  // rescued, as written to the new database
  int64_t titles = 0;
  std::vector<Damage> damage;  // in the order of the file
  std::vector<Loss> losses;
  // References that could no longer be resolved and took the format's
  // "none" value (a 1.5/2.0 title's artist or label lost with its record),
  // one line each, e.g. "title 'Song' (carrier 'Album'): artist #17 lost, none taken".
  std::vector<std::string> unresolved;
  // Bytes after the end of the database's data that its conversion does not
  // read (after the database's block in an object file, after the last list
  // in a record file): `count` of them from byte `offset` on, none when
  // `count` is 0. They hold nothing of the data, so they leave the rescue
  // complete; the report names them all the same.
  struct Trailing {
    int64_t offset = 0;
    int64_t count = 0;
  };
  Trailing trailing;

  // A report lists at most this many damaged runs and as many losses one by
  // one, and counts the rest, so that no file, however large or garbled,
  // makes a report that outgrows the memory of a rescue.
  static constexpr size_t kMostListed = 10000;
  struct Unlisted {
    int64_t runs = 0;  // damaged runs beyond those listed, and their bytes
    int64_t bytes = 0;
    int64_t losses = 0;  // carriers and titles, each loss's count summed
  };
  Unlisted unlisted;

  // Adds the damaged run [begin, end), joined to the last run when the two
  // touch; counted in `unlisted` once kMostListed runs are listed.
  void addDamage(int64_t begin, int64_t end) {
    if (begin >= end) return;
    if (!damage.empty() && damage.back().end >= begin) {
      damage.back().end = std::max(damage.back().end, end);
    } else if (damage.size() < kMostListed) {
      damage.push_back({begin, end});
    } else {
      // Only the listed runs are joined: those beyond are counted apart.
      ++unlisted.runs;
      unlisted.bytes += end - begin;
    }
  }
  void addLoss(Loss loss) {
    if (losses.size() < kMostListed)
      losses.push_back(std::move(loss));
    else
      unlisted.losses += loss.count;
  }
  // Puts the listed runs in the order of the file, joining those that touch:
  // a rescue may find damage near the start only once it has read the rest.
  void sortDamage() {
    std::sort(damage.begin(), damage.end(),
              [](const Damage& a, const Damage& b) { return a.begin < b.begin; });
    std::vector<Damage> joined;
    for (const Damage& d : damage) {
      if (!joined.empty() && joined.back().end >= d.begin)
        joined.back().end = std::max(joined.back().end, d.end);
      else
        joined.push_back(d);
    }
    damage = std::move(joined);
  }

  bool complete() const {
    return damage.empty() && losses.empty() && unresolved.empty() && unlisted.runs == 0 &&
           unlisted.losses == 0;
  }
};
