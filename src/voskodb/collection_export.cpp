#include "voskodb/collection_export.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "basis/exceptions.h"
#include "data/sound_carrier.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "voskodb/carrier_source.h"
#include "voskodb/export_target.h"

namespace {

// Windows-1252 text in the output's UTF-8, each byte's written form worked
// out once: the per-byte conversion would otherwise dominate a large export.
class TextForms {
 public:
  // `escape` gives the form of the ASCII bytes that the format escapes, or
  // an empty string for the byte itself.
  template <class Escape>
  explicit TextForms(Escape escape) {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::string form = escape(byte);
      if (form.empty()) form = platform::ansiToUtf8(std::string_view(&byte, 1));
      plain_[b] = form.size() == 1 && form[0] == byte;
      forms_[b] = form;
    }
  }

  void append(std::string& out, std::string_view text) const {
    size_t plainFrom = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto b = static_cast<unsigned char>(text[i]);
      if (plain_[b]) continue;
      out.append(text.data() + plainFrom, i - plainFrom);
      out += forms_[b];
      plainFrom = i + 1;
    }
    out.append(text.data() + plainFrom, text.size() - plainFrom);
  }

 private:
  std::array<bool, 256> plain_{};
  std::array<std::string, 256> forms_;
};

void appendNumber(std::string& out, int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Where a title is on its carrier, counted as TTitle::formatCarrierIndex
// shows it: a record or cassette has two sides per medium.
struct Position {
  int64_t disc = 0;
  std::optional<int64_t> side;  // none: the medium has no sides
};

Position positionOf(int32_t carrierIndex, std::string_view type) {
  if (type == TSoundCarrier::kRecord || type == TSoundCarrier::kCassette)
    return {carrierIndex / 2 + 1, carrierIndex % 2 + 1};
  return {static_cast<int64_t>(carrierIndex) + 1, std::nullopt};
}

// ---- CSV ---------------------------------------------------------------------------

class CsvRows {
 public:
  // With `spreadsheet`, a cell that a spreadsheet could take for a formula
  // is written as text (see collection_export.h).
  explicit CsvRows(bool spreadsheet = false) : spreadsheet_(spreadsheet) {}

  void begin(std::string& out) {
    out +=
        "carrier,carrier_artist,label,release,medium,kind,disc,side,track,artist,title,url,content_type,"
        "original_artist,film\r\n";
  }

  void carrier(std::string& out, const StoredCarrier& c) {
    // The carrier's columns are the same in each of its rows.
    lead_.clear();
    for (std::string_view text : {c.name, c.artist, c.label}) field(lead_, text);
    field(lead_, platform::formatIsoDate(c.release));
    field(lead_, c.type);
    field(lead_, c.contentType);
    if (c.titles.empty()) {
      out += lead_;
      out += ",,,,,,,,\r\n";
    }
    for (const StoredTitle& title : c.titles) {
      out += lead_;
      const Position at = positionOf(title.carrierIndex, c.type);
      appendNumber(out, at.disc);
      out += ',';
      if (at.side) appendNumber(out, *at.side);
      out += ',';
      appendNumber(out, static_cast<int64_t>(title.track) + 1);
      out += ',';
      for (std::string_view text :
           {title.artist, title.name, title.url, title.contentType, title.originalArtist})
        field(out, text);
      quoted(out, title.film);
      out += "\r\n";
    }
  }

  void end(std::string&) {}

 private:
  // The field, quoted when it must be, and the comma after it.
  void field(std::string& out, std::string_view text) const {
    quoted(out, text);
    out += ',';
  }
  void quoted(std::string& out, std::string_view text) const {
    // Spreadsheets run a cell that starts with one of these as a formula.
    const bool asText =
        spreadsheet_ && !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quote) out += '"';
    if (asText) out += '\'';
    forms().append(out, text);
    if (quote) out += '"';
  }

  static const TextForms& forms() {
    // A quote appears only inside a quoted field, where it is doubled.
    static const TextForms kForms([](char c) { return std::string(c == '"' ? "\"\"" : ""); });
    return kForms;
  }

  bool spreadsheet_;
  std::string lead_;
};

// ---- JSON --------------------------------------------------------------------------

class JsonDocument {
 public:
  void begin(std::string& out) { out += R"({"format":"vosko-collection","version":1,"carriers":[)"; }

  void carrier(std::string& out, const StoredCarrier& c) {
    out += first_ ? "\n{" : ",\n{";
    first_ = false;
    text(out, "\"name\":", c.name);
    text(out, ",\"artist\":", c.artist);
    text(out, ",\"label\":", c.label);
    text(out, ",\"release\":", platform::formatIsoDate(c.release));
    text(out, ",\"medium\":", c.type);
    text(out, ",\"kind\":", c.contentType);
    text(out, ",\"notes\":", c.notes);
    text(out, ",\"image\":", c.image);
    text(out, ",\"print_image\":", c.printImage);
    out += ",\"titles\":[";
    for (size_t i = 0; i < c.titles.size(); ++i) {
      const StoredTitle& title = c.titles[i];
      const Position at = positionOf(title.carrierIndex, c.type);
      out += i == 0 ? "{\"disc\":" : ",{\"disc\":";
      appendNumber(out, at.disc);
      if (at.side) {
        out += ",\"side\":";
        appendNumber(out, *at.side);
      }
      out += ",\"track\":";
      appendNumber(out, static_cast<int64_t>(title.track) + 1);
      text(out, ",\"artist\":", title.artist);
      text(out, ",\"title\":", title.name);
      text(out, ",\"url\":", title.url);
      text(out, ",\"content_type\":", title.contentType);
      text(out, ",\"original_artist\":", title.originalArtist);
      text(out, ",\"film\":", title.film);
      out += '}';
    }
    out += "]}";
  }

  void end(std::string& out) { out += "\n]}\n"; }

 private:
  static void text(std::string& out, std::string_view key, std::string_view value) {
    static const TextForms kForms([](char c) -> std::string {
      static const char* const kHex = "0123456789abcdef";
      switch (c) {
        case '"':
          return "\\\"";
        case '\\':
          return "\\\\";
        case '\n':
          return "\\n";
        case '\r':
          return "\\r";
        case '\t':
          return "\\t";
        default:
          if (static_cast<unsigned char>(c) >= 0x20) return "";
          return std::string("\\u00") + kHex[c >> 4] + kHex[c & 15];
      }
    });
    out += key;
    out += '"';
    kForms.append(out, value);
    out += '"';
  }

  bool first_ = true;
};

// ---- the commands ------------------------------------------------------------------

// Replacing the database by its own export would lose it.
void refuseSameFile(const std::string& command, const std::string& database, const std::string& out) {
  std::error_code error;
  if (std::filesystem::equivalent(database, out, error)) {
    throw IllegalArgumentException(command + ": " + out +
                                   " is the database itself; the export would replace it.");
  }
}

// Writes the collection in the format of `initial`, which each start (and
// start over) copies.
template <class Format>
void exportCollection(const std::string& command, const std::string& database, const std::string& out,
                      const Format& initial) {
  const KindRow& row = requireCarrierDatabase(command, database);
  const bool toStandardOutput = ExportTarget::isStandardOutput(out);
  if (!toStandardOutput) refuseSameFile(command, database, out);
  ExportTarget target(command, out);
  Format format = initial;
  int64_t carriers = 0, titles = 0;
  format.begin(target.buffer());
  auto each = [&](const StoredCarrier& carrier) {
    format.carrier(target.buffer(), carrier);
    target.spill();
    ++carriers;
    titles += static_cast<int64_t>(carrier.titles.size());
  };
  if (toStandardOutput) {
    // What went out cannot be taken back: the carriers are handed once.
    forEachCarrier(database, row, each);
  } else {
    forEachCarrier(database, row, each, [&] {
      target.restart();
      format = initial;
      carriers = titles = 0;
      format.begin(target.buffer());
    });
  }
  format.end(target.buffer());
  target.commit();
  if (!toStandardOutput) {
    platform::writeConsoleLine("exported " + database + " (" + row.description + ") to " + out + ": " +
                               std::to_string(carriers) + " carriers, " + std::to_string(titles) + " titles");
  }
}

}  // namespace

void exportCsvCommand(const std::string& database, const std::string& out, bool spreadsheet) {
  exportCollection("export-csv", database, out, CsvRows(spreadsheet));
}

void exportJsonCommand(const std::string& database, const std::string& out) {
  exportCollection("export-json", database, out, JsonDocument());
}
