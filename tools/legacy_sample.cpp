#include "legacy_sample.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "data/legacy/records/record_file.h"
#include "description_line.h"
#include "legacy_records.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/exception.h"

namespace sample {
namespace {

// The lists of one format and how each record line fills them.
template <class Records>
class Database {
 public:
  void add(const std::string& kind, Line& line) {
    int32_t id = line.id();
    std::string name = line.text();
    if (kind == "artist") {
      addNamed(artists_, std::make_unique<typename Records::Artist>(name, id), line);
    } else if (kind == "label") {
      addNamed(labels_, std::make_unique<typename Records::Label>(name, id), line);
    } else if (kind == "title") {
      addTitle(std::make_unique<typename Records::Title>(name, id), line);
    } else if (kind == "carrier") {
      addCarrier(std::make_unique<typename Records::Carrier>(name, id), line);
    } else {
      line.fail("unknown record '" + kind + "'");
    }
  }

  void write(const std::string& path) {
    legacy::RecordFile file;
    file.openWrite(path);
    std::string header = Records::Format::header();
    if (file.write(header.data(), header.size()) != header.size()) {
      throw Exception(legacy::RecordIO::kWriteError);
    }
    artists_.writeTo(file);
    labels_.writeTo(file);
    titles_.writeTo(file);
    carriers_.writeTo(file);
    file.commit();
  }

 private:
  // A date field of a dated record; false for any other key.
  template <class Record>
  static bool readDate(Record& record, const std::string& key, Line& line) {
    if constexpr (Records::kDated) {
      if (key == "date") {
        record.date = line.date();
        return true;
      }
    }
    return false;
  }

  template <class List, class Record>
  void addNamed(List& list, std::unique_ptr<Record> record, Line& line) {
    if constexpr (Records::kDated) record->date = 0;
    while (!line.atEnd()) {
      std::string key = line.word();
      if (!readDate(*record, key, line)) line.fail("unknown field '" + key + "'");
    }
    list.add(std::move(record));
  }

  void addTitle(std::unique_ptr<typename Records::Title> title, Line& line) {
    if constexpr (Records::kDated) title->date = 0;
    while (!line.atEnd()) {
      std::string key = line.word();
      if (key == "url") {
        title->url = line.text();
      } else if (key == "carriers") {
        while (line.nextIsNumber()) title->carrierIds.emplace_back(line.id());
      } else if (readDate(*title, key, line)) {
      } else if (key == "artist" && Records::kDated) {
        if constexpr (Records::kDated) title->artistId = line.id();
      } else {
        line.fail("unknown field '" + key + "'");
      }
    }
    titles_.add(std::move(title));
  }

  void addCarrier(std::unique_ptr<typename Records::Carrier> carrier, Line& line) {
    if constexpr (Records::kDated) carrier->date = 0;
    carrier->release = 0;
    while (!line.atEnd()) {
      std::string key = line.word();
      if (key == "label") {
        carrier->labelId = line.id();
      } else if (key == "release") {
        carrier->release = line.date();
      } else if (key == "type") {
        carrier->type = line.text();
      } else if (key == "notes") {
        carrier->notes = line.text();
      } else if (readDate(*carrier, key, line)) {
      } else if (key == "artist" && !Records::kDated) {
        if constexpr (!Records::kDated) carrier->artistId = line.id();
      } else {
        line.fail("unknown field '" + key + "'");
      }
    }
    carriers_.add(std::move(carrier));
  }

  typename Records::Format::Artists artists_;
  typename Records::Format::Labels labels_;
  typename Records::Format::Titles titles_;
  typename Records::Format::Carriers carriers_;
};

template <class Records>
void writeLines(const std::vector<Line*>& lines, const std::string& path) {
  Database<Records> database;
  for (Line* line : lines) database.add(line->word(), *line);
  database.write(path);
}

}  // namespace

void writeLegacyDatabase(const std::string& description, const std::string& path) {
  std::vector<std::unique_ptr<Line>> lines;
  std::string_view rest = description;
  for (int number = 1; !rest.empty(); ++number) {
    size_t end = rest.find('\n');
    std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || text[first] == '#') continue;
    auto line = std::make_unique<Line>(text, number);
    if (!line->empty()) lines.push_back(std::move(line));
  }
  if (lines.empty()) throw std::invalid_argument("line 1: the description names no format");
  Line& head = *lines.front();
  if (head.word() != "format") head.fail("the first record must be 'format 1.5' or 'format 2.0'");
  std::string version = head.word();
  if (!head.atEnd()) head.fail("unexpected text after the format");
  std::vector<Line*> records;
  for (size_t i = 1; i < lines.size(); ++i) records.push_back(lines[i].get());
  if (version == "2.0") {
    writeLines<Records2_0>(records, path);
  } else if (version == "1.5") {
    writeLines<Records1_5>(records, path);
  } else {
    head.fail("unknown format '" + version + "'");
  }
}

}  // namespace sample
