#include "voskodb/catalogue_page.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "basis/exceptions.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "voskodb/carrier_source.h"
#include "voskodb/export_target.h"
#include "voskodb/text_fold.h"

namespace {

constexpr std::string_view kCarriersMark = "@@CARRIERS@@";
constexpr std::string_view kTablesMark = "@@TABLES@@";

// Each Windows-1252 byte as it stands inside a JSON string in the page:
// UTF-8, with what JSON requires escaped, and "<", ">" and "&", so that no
// stored text can close the script element that holds it ("</script>") or
// start a comment in it ("<!--"). The control characters but tab, LF and CR
// are written as their control pictures (U+2400..U+241F, U+2421 for DEL),
// which no Windows-1252 text holds: three bytes where JSON's escape takes
// six, so that a text of them makes a page no larger than a plain one by
// much. The C1 controls that the undefined bytes are stand as themselves.
class JsonText {
 public:
  static const JsonText& instance() {
    static const JsonText table;
    return table;
  }

  // `text` inside a JSON string, appended to `out`.
  void append(std::string& out, std::string_view text) const {
    for (char c : text) {
      const std::string& s = table_[static_cast<unsigned char>(c)];
      if (s.size() == 1)
        out += s[0];
      else
        out += s;
    }
  }

  static void appendEscaped(std::string& out, char16_t unit) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(unit));
    out += escaped;
  }

 private:
  JsonText() {
    for (int c = 0; c < 256; ++c) {
      const char byte = static_cast<char>(c);
      const char16_t unit = platform::ansiCharToUtf16(static_cast<unsigned char>(c));
      std::string& s = table_[c];
      if (byte == '"' || byte == '\\') {
        s = {'\\', byte};
      } else if (byte == '\n') {
        s = "\\n";
      } else if (byte == '\r') {
        s = "\\r";
      } else if (byte == '\t') {
        s = "\\t";
      } else if (unit < 0x20 || unit == 0x7F) {
        s = controlPicture(unit);
      } else if (byte == '<' || byte == '>' || byte == '&') {
        appendEscaped(s, unit);
      } else {
        s = platform::ansiToUtf8(std::string_view(&byte, 1));
      }
    }
  }

  // The UTF-8 of the control picture of `unit`: U+2400 + unit, U+2421 for DEL.
  static std::string controlPicture(char16_t unit) {
    const unsigned last = unit == 0x7F ? 0xA1 : 0x80 + unit;
    return {'\xE2', '\x90', static_cast<char>(last)};
  }

  std::array<std::string, 256> table_;
};

// The page's data: one JSON string holding every carrier, written as the
// carriers come. A browser reads one long string many times faster than as
// many arrays and strings as the collection has fields, and the search
// folds and searches it whole. Five marks that no stored text holds and no
// folded one either keep it apart (see pickMarks). A carrier is
//   CARRIER release FIELD medium FIELD kind FIELD titles OWN name FIELD
//   artist FIELD label FIELD notes
// (release the ISO date, titles their number) followed by its titles, each
//   TITLE url FIELD track FIELD disc FIELD content type OWN name FIELD artist
//   FIELD original artist FIELD film
// The fields before OWN are shown and not searched, those after it are
// searched. Track and disc are written as the difference from what follows
// the title before (empty: the next track on the same disc); an empty
// content type is "Original", an empty artist the carrier's, and NONE
// stands for an empty text where empty means something else. Fields left
// empty at the end of either part are left out.
class CatalogueData {
 public:
  CatalogueData(ExportTarget& target, const std::string& marks)
      : target_(target), out_(target.buffer()), marks_(marks) {}

  void reset() { carriers_ = titles_ = 0; }

  void add(const StoredCarrier& c) {
    mark(kCarrier);
    out_ += platform::formatIsoDate(c.release);
    mark(kField);
    text(c.type);
    mark(kField);
    text(c.contentType);
    mark(kField);
    out_ += std::to_string(c.titles.size());
    mark(kOwn);
    text(c.name);
    mark(kField);
    text(c.artist);
    mark(kField);
    text(c.label);
    mark(kField);
    text(c.notes);
    int64_t disc = 0, track = -1;
    for (const StoredTitle& t : c.titles) addTitle(t, c.artist, disc, track);
    target_.spill();
    ++carriers_;
    titles_ += static_cast<int64_t>(c.titles.size());
  }

  int64_t carriers() const { return carriers_; }
  int64_t titles() const { return titles_; }

 private:
  enum Mark { kCarrier, kTitle, kOwn, kField, kNone };

  // The marks are U+0080..U+009F, two bytes of UTF-8 each.
  void mark(Mark m) {
    out_ += '\xC2';
    out_ += marks_[m];
  }
  void text(std::string_view t) { JsonText::instance().append(out_, t); }

  // Writes fields, each after a FIELD but the first; those left empty at the
  // end are cut off again.
  class Fields {
   public:
    explicit Fields(CatalogueData& data) : data_(data), end_(data.out_.size()) {}
    template <class Write>
    void add(bool empty, Write write) {
      if (!first_) data_.mark(kField);
      first_ = false;
      write();
      if (!empty) end_ = data_.out_.size();
    }
    ~Fields() { data_.out_.resize(end_); }

   private:
    CatalogueData& data_;
    size_t end_;
    bool first_ = true;
  };

  void orNone(std::string_view t) {
    if (t.empty())
      mark(kNone);
    else
      text(t);
  }

  void addTitle(const StoredTitle& t, std::string_view carrierArtist, int64_t& disc, int64_t& track) {
    const int64_t trackDelta = t.track - (t.carrierIndex == disc ? track + 1 : 0);
    const int64_t discDelta = t.carrierIndex - disc;
    mark(kTitle);
    {
      Fields shown(*this);
      shown.add(t.url.empty(), [&] { text(t.url); });
      shown.add(trackDelta == 0, [&] {
        if (trackDelta != 0) out_ += std::to_string(trackDelta);
      });
      shown.add(discDelta == 0, [&] {
        if (discDelta != 0) out_ += std::to_string(discDelta);
      });
      const bool original = t.contentType == TTitle::kOriginal;
      shown.add(original, [&] {
        if (!original) orNone(t.contentType);
      });
    }
    mark(kOwn);
    {
      Fields searched(*this);
      searched.add(t.name.empty(), [&] { text(t.name); });
      const bool same = t.artist == carrierArtist;
      searched.add(same, [&] {
        if (!same) orNone(t.artist);
      });
      searched.add(t.originalArtist.empty(), [&] { text(t.originalArtist); });
      searched.add(t.film.empty(), [&] { text(t.film); });
    }
    disc = t.carrierIndex;
    track = t.track;
  }

  ExportTarget& target_;
  std::string& out_;  // the target's buffer
  const std::string marks_;
  int64_t carriers_ = 0;
  int64_t titles_ = 0;
};

// The five characters U+0080..U+009F that the data's marks are: Windows-1252
// gives none of them to a stored text (it has other characters for these
// bytes) and the folding makes none of them, so neither the texts nor their
// folded forms hold a mark.
std::string pickMarks() {
  std::string marks;
  for (int c = 0x80; c < 0xA0 && marks.size() < 5; ++c) {
    bool free = platform::ansiCharToUtf16(static_cast<unsigned char>(c)) != c;
    for (int b = 0; b < 256 && free; ++b) {
      free = textfold::foldByte(static_cast<unsigned char>(b)).find(static_cast<char>(c)) ==
             std::string_view::npos;
    }
    if (free) marks += static_cast<char>(c);
  }
  if (marks.size() < 5)
    throw std::logic_error("export-html: the folding leaves no marks for the page's data.");
  return marks;
}

// The tables the page reads its data with, as one JSON object: the counts,
// the marks, and every Windows-1252 character beyond ASCII with what it
// folds to (the folded bytes written as the characters U+0000..U+00FF), so
// that the page folds as voskodb find does.
std::string tablesJson(const CatalogueData& data, const std::string& marks) {
  std::string json = "{\"carriers\":" + std::to_string(data.carriers()) +
                     ",\"titles\":" + std::to_string(data.titles()) + ",\"marks\":\"";
  for (char m : marks) JsonText::appendEscaped(json, static_cast<unsigned char>(m));
  json += "\",\n\"fold\":{";
  for (int c = 0x80; c < 0x100; ++c) {
    const char byte = static_cast<char>(c);
    json += c > 0x80 ? ",\"" : "\"";
    JsonText::instance().append(json, std::string_view(&byte, 1));
    json += "\":\"";
    for (char f : textfold::foldByte(static_cast<unsigned char>(c))) {
      JsonText::appendEscaped(json, static_cast<unsigned char>(f));
    }
    json += '"';
  }
  json += "}}";
  return json;
}

}  // namespace

void exportHtmlCommand(const std::string& database, const std::string& out) {
  const KindRow& row = requireCarrierDatabase("export-html", database);
  const bool toStandardOutput = ExportTarget::isStandardOutput(out);
  std::error_code error;
  if (!toStandardOutput && std::filesystem::equivalent(database, out, error)) {
    // Replacing the database by its page would lose it.
    throw IllegalArgumentException("export-html: " + out +
                                   " is the database itself; the export would replace it.");
  }
  const std::string_view page = catalogueTemplate();
  const size_t carriersAt = page.find(kCarriersMark);
  const size_t tablesAt = page.find(kTablesMark);
  const std::string marks = pickMarks();
  ExportTarget target("export-html", out);
  CatalogueData data(target, marks);
  auto begin = [&] {
    data.reset();
    target.buffer() += page.substr(0, carriersAt);
    target.buffer() += '"';
  };
  begin();
  auto each = [&](const StoredCarrier& c) { data.add(c); };
  if (toStandardOutput) {
    // What went out cannot be taken back: the carriers are handed once.
    forEachCarrier(database, row, each);
  } else {
    forEachCarrier(database, row, each, [&] {
      target.restart();
      begin();
    });
  }
  const size_t afterCarriers = carriersAt + kCarriersMark.size();
  target.buffer() += '"';
  target.buffer() += page.substr(afterCarriers, tablesAt - afterCarriers);
  target.buffer() += tablesJson(data, marks);
  target.buffer() += page.substr(tablesAt + kTablesMark.size());
  target.commit();
  if (!toStandardOutput) {
    platform::writeConsoleLine("exported " + database + " (" + row.description + ") to " + out + ": " +
                               std::to_string(data.carriers()) + " carriers, " +
                               std::to_string(data.titles()) + " titles");
  }
}
