// voskodb's searches over a current sound-carrier database (binary or XML):
// find, the carriers and titles that hold some words, and stats, what the
// collection holds counted by medium, kind, decade, artist and label. Both
// read the database one carrier at a time (carrier_source.h) and hold only
// what their answer needs.
#pragma once

#include <string>
#include <vector>

// The fields `find` searches. With none chosen it searches every field a
// person writes: the names, artists, original artists, label, notes, film
// and release year. Several chosen search all of them.
struct FindFields {
  bool artist = false;  // the carrier's artist, the titles' artists and original artists
  bool title = false;   // the carrier's and the titles' names
  bool label = false;   // the carrier's label
  bool year = false;    // the carrier's release year
};

// The exit code find gives when it finds nothing, as grep does; a failure
// gives 1 as well, but with its report on standard error.
constexpr int kFindNothingFound = 1;

// Prints every carrier that holds all `words` in the chosen fields, with all
// of its titles, and every other carrier with those of its titles that hold
// them together with the carrier's fields: the lines `dump` prints for them.
// A word is found when its folded text (text_fold.h) is part of a field's
// folded text. A year is matched whole: "1994" the year, "199x" or "1990s"
// the decade, "19xx" the century. Words come as the console gives them
// (UTF-8, or Windows-1252 where they are not valid UTF-8); a word that folds
// to nothing (a soft hyphen) is left out, and when no word is left find
// raises IllegalArgumentException. Returns 0 when something was found, else
// kFindNothingFound.
int findCommand(const std::string& path, const std::vector<std::string>& words, const FindFields& fields);

// Prints the counts of carriers and titles in total and per medium, kind and
// decade of release, the distinct artists and labels, and the ten artists and
// the ten labels with the most carriers; with `json` as one JSON object. The
// artists and labels are counted in a bounded memory over two passes or
// more (name_counter.h); a file that changes between them raises IOException.
void statsCommand(const std::string& path, bool json);
