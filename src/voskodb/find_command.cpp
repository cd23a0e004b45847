// voskodb find: the carriers and titles that hold every word asked for.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/sound_carrier.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/utf8.h"
#include "voskodb/carrier_source.h"
#include "voskodb/search_commands.h"
#include "voskodb/text_fold.h"

namespace {

// One word asked for, folded.
struct Word {
  std::string text;
  // "1994", "199x", "19xx" (from "1990s" too): what the year is matched
  // against, digit by digit, x standing for any digit; empty for other words.
  std::string yearPattern;
  // False when the word holds a character that no Windows-1252 text holds.
  bool possible = true;
};

std::string yearPatternOf(const std::string& folded) {
  std::string pattern = folded;
  if (pattern.size() >= 3 && pattern.back() == 's' && pattern[pattern.size() - 2] == '0') {
    pattern.pop_back();
    pattern.back() = 'x';
  }
  const bool digits =
      std::all_of(pattern.begin(), pattern.end(), [](char c) { return (c >= '0' && c <= '9') || c == 'x'; });
  return digits ? pattern : std::string();
}

Word foldWord(const std::string& argument) {
  Word word;
  if (platform::isValidUtf8(argument)) {
    const std::string ansi = platform::utf8ToAnsi(argument);
    // The conversion writes "?" for a character without a Windows-1252 byte.
    word.possible =
        std::count(ansi.begin(), ansi.end(), '?') == std::count(argument.begin(), argument.end(), '?');
    word.text = textfold::fold(ansi);
  } else {
    // As the console shows such bytes: as Windows-1252 characters.
    word.text = textfold::fold(argument);
  }
  word.yearPattern = yearPatternOf(word.text);
  return word;
}

bool yearMatches(std::string_view pattern, std::string_view year) {
  if (pattern.empty() || pattern.size() != year.size()) return false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != 'x' && pattern[i] != year[i]) return false;
  }
  return true;
}

// The fields searched, from the options given.
struct Chosen {
  bool names, artists, label, notes, film, year;

  explicit Chosen(const FindFields& f) {
    const bool all = !f.artist && !f.title && !f.label && !f.year;
    names = all || f.title;
    artists = all || f.artist;
    label = all || f.label;
    year = all || f.year;
    notes = all;
    film = all;
  }
  bool anyOfTitles() const { return names || artists || film; }
};

class Search {
 public:
  Search(const std::vector<std::string>& words, const FindFields& fields) : chosen_(fields) {
    for (const std::string& w : words) {
      // A word that folds to nothing (a soft hyphen) asks for nothing: every
      // field holds "", so it would find every carrier.
      Word word = foldWord(w);
      if (!word.text.empty() || !word.possible) words_.push_back(std::move(word));
    }
    if (words_.empty()) {
      throw IllegalArgumentException("find: no word to find: each of the words folds to nothing.");
    }
    carrierHas_.resize(words_.size());
  }

  void look(const StoredCarrier& c) {
    text_.clear();
    if (chosen_.names) addField(c.name);
    if (chosen_.artists) addField(c.artist);
    if (chosen_.label) addField(c.label);
    if (chosen_.notes) addField(c.notes);
    // The year as the carrier's line shows it.
    const std::string date = chosen_.year ? platform::formatShortDate(c.release) : std::string();
    const std::string_view year = std::string_view(date).substr(std::min<size_t>(date.size(), 6));
    bool whole = true;
    for (size_t i = 0; i < words_.size(); ++i) {
      const Word& w = words_[i];
      carrierHas_[i] = w.possible && (text_.find(w.text) != std::string::npos ||
                                      (chosen_.year && yearMatches(w.yearPattern, year)));
      whole = whole && carrierHas_[i];
    }

    bool shown = false;
    if (whole) showCarrier(c, shown);
    if (!whole && !chosen_.anyOfTitles()) return;
    for (const StoredTitle& t : c.titles) {
      if (whole || titleHolds(t)) {
        showCarrier(c, shown);
        line_.assign("    ");
        TTitle::appendText(line_, t, &carrier_.type);
        out_.line(line_);
      }
    }
  }

  bool found() const { return found_; }
  void flush() { out_.flush(); }

 private:
  // Fields are kept apart by a byte no word can hold (a command-line
  // argument ends at its first NUL), so no word is found across two.
  void addField(std::string_view field) {
    textfold::appendFolded(text_, field);
    text_ += '\0';
  }

  // Every word not in the carrier's fields is in the title's.
  bool titleHolds(const StoredTitle& t) {
    text_.clear();
    if (chosen_.names) addField(t.name);
    if (chosen_.artists) {
      addField(t.artist);
      addField(t.originalArtist);
    }
    if (chosen_.film) addField(t.film);
    for (size_t i = 0; i < words_.size(); ++i) {
      if (carrierHas_[i]) continue;
      if (!words_[i].possible || text_.find(words_[i].text) == std::string::npos) return false;
    }
    return true;
  }

  void showCarrier(const StoredCarrier& c, bool& shown) {
    if (shown) return;
    shown = found_ = true;
    fillCarrier(c, carrier_);
    out_.line(carrier_.toString());
  }

  Chosen chosen_;
  std::vector<Word> words_;
  std::vector<char> carrierHas_;
  std::string text_;
  std::string line_;
  TSoundCarrier carrier_;
  platform::ConsoleLines out_;
  bool found_ = false;
};

}  // namespace

int findCommand(const std::string& path, const std::vector<std::string>& words, const FindFields& fields) {
  const KindRow& row = requireCarrierDatabase("find", path);
  Search search(words, fields);
  // Without a restart: printed lines cannot be taken back.
  forEachCarrier(path, row, [&](const StoredCarrier& c) { search.look(c); });
  search.flush();
  return search.found() ? 0 : kFindNothingFound;
}
