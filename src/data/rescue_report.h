// What rescuing a damaged database found: the carriers and titles it could
// still read whole and wrote to the new database, and what it lost with each
// damaged place of the file. Nothing is invented: a carrier, title or text
// that does not read whole is left out, never guessed or pieced together.
//
// The rescuers of the formats fill it (object files: 2.5, 2.5.3, 2.5.5,
// 2.5.7; record files: 1.5, 2.0); voskodb recover shows it as text or JSON.
#pragma once

#include <cstdint>
#include <string>
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
    // carrier's name where known.
    std::string name;
    std::string carrier;
    // Why, in a few words ("damaged", "cut off", "its carrier is lost").
    std::string reason;
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

  bool complete() const { return damage.empty() && losses.empty() && unresolved.empty(); }
};
