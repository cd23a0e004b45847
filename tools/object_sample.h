// Writes sound-carrier databases of the object-file formats 2.5, 2.5.3 and
// 2.5.5 as the old applications stored them, for the sample files, the tests
// and the benchmark of the legacy readers. The bytes are put together here
// from the format's description, independently of the readers' classes, and
// the records carry the class names the old applications stored:
// "TSoundCarrier" and "TTitle".
//
// A description is UTF-8 text, one record per line; "#" starts a comment line.
// The first record line names the format, then carriers follow, each with
// its titles on the lines after it:
//
//   format 2.5.5
//   carrier "Die Bestie in Menschengestalt" [label "..."] [artist "..."]
//           [type "..."] [release D] [notes "..."] [contenttype "..."]
//           [image "..."] [printimage "..."]
//   title "Schrei nach Liebe" [artist "..."] [url "..."] [contenttype "..."]
//         [originalartist "..."] [film "..."]
//
// Format 2.5.3 knows no image, printimage or film; format 2.5 no contenttype
// or originalartist either. Fields left out take the initial values of the
// format's model, except that a release left out is 0 and a title's artist
// left out is its carrier's (as the 2.5 application's addTitle did it).
// Texts are quoted and written in Windows-1252; they know the escapes \\ \"
// \n \r \t and \xHH (one raw byte). A date D is yyyy-mm-dd or a number of
// days since 30.12.1899 (any form strtod reads, so a value is written bit for bit).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFile;

namespace sample {

enum class ObjectFormat { k2_5, k2_5_3, k2_5_5 };

// "2.5", "2.5.3" or "2.5.5"; anything else raises std::invalid_argument.
ObjectFormat parseObjectFormat(const std::string& version);
// The format's file header.
std::string objectFormatHeader(ObjectFormat format);

struct ObjectTitle {
  std::string name;
  std::string artist;
  std::string url;
  std::string contentType;
  std::string originalArtist;
  std::string film;
};

struct ObjectCarrier {
  std::string name;
  std::string label;
  std::string artist;
  std::string type;
  double release = 0;
  std::string notes;
  std::string contentType;
  std::string image;
  std::string printImage;
  std::vector<ObjectTitle> titles;
};

// The initial values of the format's model (release 0).
ObjectCarrier defaultCarrier(ObjectFormat format);
ObjectTitle defaultTitle(ObjectFormat format);

struct ObjectDatabase {
  ObjectFormat format = ObjectFormat::k2_5_5;
  std::vector<ObjectCarrier> carriers;
};

// Raises std::invalid_argument "line N: <what>" for a description it cannot read.
ObjectDatabase parseObjectDescription(const std::string& description);

// Writes a database carrier by carrier, so that large ones need not be held
// in memory. The file replaces one at `path` only when finish() completes it.
class ObjectDatabaseWriter {
 public:
  // REQUIRES: exactly carrierCount carriers follow.
  ObjectDatabaseWriter(ObjectFormat format, const std::string& path, int32_t carrierCount);
  ~ObjectDatabaseWriter();
  ObjectDatabaseWriter(const ObjectDatabaseWriter&) = delete;
  ObjectDatabaseWriter& operator=(const ObjectDatabaseWriter&) = delete;

  void writeCarrier(const ObjectCarrier& carrier);
  // Raises std::logic_error when fewer or more carriers were written than announced.
  void finish();

 private:
  void writeTitle(const ObjectTitle& title);

  ObjectFormat format_;
  int32_t expected_;
  int32_t written_ = 0;
  std::unique_ptr<TFile> file_;
};

void writeObjectDatabase(const ObjectDatabase& database, const std::string& path);
// parseObjectDescription, then writeObjectDatabase.
void writeObjectDatabase(const std::string& description, const std::string& path);

}  // namespace sample
