#include "object_sample.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "basis/file.h"
#include "description_line.h"
#include "platform/clock.h"
#include "platform/code_page.h"

namespace sample {
namespace {

bool hasContentTypes(ObjectFormat format) { return format != ObjectFormat::k2_5; }
bool hasImagesAndFilms(ObjectFormat format) { return format == ObjectFormat::k2_5_5; }

std::string formatName(ObjectFormat format) {
  switch (format) {
    case ObjectFormat::k2_5:
      return "2.5";
    case ObjectFormat::k2_5_3:
      return "2.5.3";
    case ObjectFormat::k2_5_5:
      return "2.5.5";
  }
  return "";
}

void readCarrier(Line& line, ObjectFormat format, ObjectCarrier& carrier) {
  carrier.name = line.text();
  while (!line.atEnd()) {
    std::string key = line.word();
    if (key == "release") {
      carrier.release = line.date();
      continue;
    }
    std::string* field = key == "label"                                     ? &carrier.label
                         : key == "artist"                                  ? &carrier.artist
                         : key == "type"                                    ? &carrier.type
                         : key == "notes"                                   ? &carrier.notes
                         : key == "contenttype" && hasContentTypes(format)  ? &carrier.contentType
                         : key == "image" && hasImagesAndFilms(format)      ? &carrier.image
                         : key == "printimage" && hasImagesAndFilms(format) ? &carrier.printImage
                                                                            : nullptr;
    if (field == nullptr) line.fail("a carrier of format " + formatName(format) + " has no " + key);
    *field = line.text();
  }
}

void readTitle(Line& line, ObjectFormat format, ObjectTitle& title) {
  title.name = line.text();
  while (!line.atEnd()) {
    std::string key = line.word();
    std::string* field = key == "artist"                                      ? &title.artist
                         : key == "url"                                       ? &title.url
                         : key == "contenttype" && hasContentTypes(format)    ? &title.contentType
                         : key == "originalartist" && hasContentTypes(format) ? &title.originalArtist
                         : key == "film" && hasImagesAndFilms(format)         ? &title.film
                                                                              : nullptr;
    if (field == nullptr) line.fail("a title of format " + formatName(format) + " has no " + key);
    *field = line.text();
  }
}

}  // namespace

ObjectFormat parseObjectFormat(const std::string& version) {
  if (version == "2.5") return ObjectFormat::k2_5;
  if (version == "2.5.3") return ObjectFormat::k2_5_3;
  if (version == "2.5.5") return ObjectFormat::k2_5_5;
  throw std::invalid_argument("unknown format '" + version + "'");
}

std::string objectFormatHeader(ObjectFormat format) {
  return "[Application:Vosko.Type:SoundCarrier-Database.Version:" + formatName(format) + "]";
}

ObjectCarrier defaultCarrier(ObjectFormat format) {
  ObjectCarrier carrier;
  if (format == ObjectFormat::k2_5) {
    carrier.name = "<unknown name>";
    carrier.label = "<unknown label>";
    carrier.artist = "<unknown artist>";
    carrier.type = "<unknown type>";
    carrier.notes = "<no notes>";
  } else {
    carrier.type = "Compact Disc";
    carrier.contentType = "Album";
  }
  return carrier;
}

ObjectTitle defaultTitle(ObjectFormat format) {
  ObjectTitle title;
  title.url = "<unknown url>";
  if (format == ObjectFormat::k2_5) {
    title.name = "<unknown name>";
    title.artist = "<unknown artist>";
  } else {
    title.contentType = "Original";
  }
  return title;
}

ObjectDatabase parseObjectDescription(const std::string& description) {
  ObjectDatabase database;
  bool haveFormat = false;
  size_t start = 0;
  for (int number = 1; start <= description.size(); ++number) {
    size_t end = description.find('\n', start);
    if (end == std::string::npos) end = description.size();
    std::string_view text(description.data() + start, end - start);
    start = end + 1;
    if (!text.empty() && text.front() == '#') continue;
    Line line(text, number);
    if (line.empty()) continue;
    std::string record = line.word();
    if (!haveFormat) {
      if (record != "format") line.fail("the first record names the format");
      try {
        database.format = parseObjectFormat(line.word());
      } catch (const std::invalid_argument& e) {
        line.fail(e.what());
      }
      haveFormat = true;
    } else if (record == "carrier") {
      ObjectCarrier carrier = defaultCarrier(database.format);
      readCarrier(line, database.format, carrier);
      database.carriers.push_back(std::move(carrier));
    } else if (record == "title") {
      if (database.carriers.empty()) line.fail("a title needs a carrier before it");
      ObjectCarrier& carrier = database.carriers.back();
      ObjectTitle title = defaultTitle(database.format);
      title.artist = carrier.artist;
      readTitle(line, database.format, title);
      carrier.titles.push_back(std::move(title));
    } else {
      line.fail("unknown record '" + record + "'");
    }
    if (!line.atEnd()) line.fail("unexpected text at the end");
  }
  if (!haveFormat) throw std::invalid_argument("line 1: the first record names the format");
  return database;
}

ObjectDatabaseWriter::ObjectDatabaseWriter(ObjectFormat format, const std::string& path, int32_t carrierCount)
    : format_(format), expected_(carrierCount) {
  file_ = std::make_unique<TFile>(path, true, objectFormatHeader(format));
  file_->beginBlock(true, false);
  file_->writeInt(carrierCount);
}

ObjectDatabaseWriter::~ObjectDatabaseWriter() = default;

void ObjectDatabaseWriter::writeCarrier(const ObjectCarrier& carrier) {
  file_->writeString("TSoundCarrier");
  file_->beginBlock(true, false);
  file_->writeString(carrier.name);
  file_->writeString(carrier.label);
  file_->writeString(carrier.artist);
  file_->writeString(carrier.type);
  file_->writeDouble(carrier.release);
  file_->writeString(carrier.notes);
  if (hasContentTypes(format_)) file_->writeString(carrier.contentType);
  if (hasImagesAndFilms(format_)) {
    file_->writeString(carrier.image);
    file_->writeString(carrier.printImage);
  }
  file_->writeInt(static_cast<int32_t>(carrier.titles.size()));
  for (const ObjectTitle& title : carrier.titles) writeTitle(title);
  file_->endBlock();
  ++written_;
}

void ObjectDatabaseWriter::writeTitle(const ObjectTitle& title) {
  file_->writeString("TTitle");
  file_->beginBlock(true, false);
  file_->writeString(title.name);
  file_->writeString(title.artist);
  file_->writeString(title.url);
  if (hasContentTypes(format_)) {
    file_->writeString(title.contentType);
    file_->writeString(title.originalArtist);
  }
  if (hasImagesAndFilms(format_)) file_->writeString(title.film);
  file_->endBlock();
}

void ObjectDatabaseWriter::finish() {
  if (written_ != expected_) {
    throw std::logic_error(std::to_string(written_) + " carriers written, " + std::to_string(expected_) +
                           " announced");
  }
  file_->endBlock();
  file_->close();
}

void writeObjectDatabase(const ObjectDatabase& database, const std::string& path) {
  ObjectDatabaseWriter writer(database.format, path, static_cast<int32_t>(database.carriers.size()));
  for (const ObjectCarrier& carrier : database.carriers) writer.writeCarrier(carrier);
  writer.finish();
}

void writeObjectDatabase(const std::string& description, const std::string& path) {
  writeObjectDatabase(parseObjectDescription(description), path);
}

}  // namespace sample
