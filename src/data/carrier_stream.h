// CarrierStream, a current sound-carrier database read carrier by carrier
// straight from its bytes, for whoever only reads it (voskodb's listings,
// counts and exports): one carrier's bytes are held at a time, whatever the
// size of the file, and nothing is made per title.
//
// The stream reads the plain form, the one TSoundCarriers::store writes: the
// header, the database's block with its count, then each carrier as
// "TSoundCarrier" with its "TTOCList" of "TTOCData" (lead-out and tracks as
// "TTOCTrack") and its "TTitle"s, every block exactly as long as its
// contents. Every file in that form loads without a failure and gives the
// same carriers, fields and numbers as TSoundCarriers::load. Anything else,
// damaged or merely unusual, makes the stream say no (open or next return
// false) and the caller takes the loaded model's way, which reports what
// it finds.
//
//   CarrierStream in;
//   StoredCarrier carrier;
//   if (!in.open(path)) -> load it
//   for (int32_t i = 0; i < in.count(); ++i) if (!in.next(carrier)) -> load it
//   if (!in.finished()) -> load it
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "basis/byte_window.h"
#include "data/title.h"
#include "platform/export.h"
#include "platform/os_file.h"

class TSoundCarrier;
class TTOCTrack;

// A track of a table of contents as stored: its time address, number and kind.
struct VOSKO_API StoredTocTrack {
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t frames = 0;
  int32_t trackNumber = 0;
  bool isAudioTrack = true;
};

// A table of contents as loading makes it: its tracks numbered by their
// places (0, 1, ...), whatever the file stored; the lead-out as stored.
struct VOSKO_API StoredToc {
  uint32_t discId = 0;
  StoredTocTrack leadOut;
  std::vector<StoredTocTrack> tracks;
};

// A title's fields as stored; `track` is the number the title has once its
// carrier holds it (a stored -1 numbered as TSoundCarrier::add numbers it).
using StoredTitle = TTitle::StoredFields;

// A carrier's fields, tables of contents and titles as stored. The texts are
// views of the stream's bytes, valid until its next call of next().
struct VOSKO_API StoredCarrier {
  std::string_view name;
  std::string_view label;
  std::string_view artist;
  std::string_view type;
  double release = 0;
  std::string_view notes;
  std::string_view contentType;
  std::string_view image;
  std::string_view printImage;
  // Only the first tocCount entries hold this carrier's; the rest keep their
  // room for the next carrier.
  std::vector<StoredToc> tocs;
  int32_t tocCount = 0;
  std::vector<StoredTitle> titles;
};

// A current database's carriers read one at a time from the file's bytes;
// anything outside the plain form makes it say no.
class VOSKO_API CarrierStream {
 public:
  CarrierStream();
  ~CarrierStream();
  CarrierStream(const CarrierStream&) = delete;
  CarrierStream& operator=(const CarrierStream&) = delete;

  // Opens the database at `path` and reads its header, the block's length
  // and the count; false, raising nothing, when the file cannot be read or
  // does not start in the plain form.
  bool open(const std::string& path);
  // The carriers the database holds (a stored count below 0 is none).
  int32_t count() const { return count_; }
  // Reads the next carrier into `carrier`; false when none is left or the
  // bytes leave the plain form.
  bool next(StoredCarrier& carrier);
  // After count() carriers: true when the database's block ended right
  // after the last of them, as loading requires.
  bool finished() const;
  // The bytes of the file after the database's block (which loading leaves
  // unread); known once open() succeeded.
  int64_t trailingBytes() const { return trailing_; }

 private:
  platform::OsFile file_;
  std::unique_ptr<ByteWindow> window_;
  int64_t blockLeft_ = 0;  // bytes of the database's block not yet taken
  int64_t trailing_ = 0;
  int32_t count_ = 0;
  int32_t read_ = 0;
  size_t held_ = 0;  // the bytes of the carrier last read, taken at the next call
  bool failed_ = true;
};

class ByteCursor;

// One carrier object ("TSoundCarrier" and its block) from `in` into
// `carrier`, as CarrierStream reads it: every block exactly as long as its
// contents. With `asLoaded`, as TSoundCarriers::load reads it from the
// database's block instead: the fields in turn, each block's length only
// bounded by the bytes left. False for anything else; `in` is then spent.
VOSKO_API bool readStoredCarrier(ByteCursor& in, StoredCarrier& carrier, bool asLoaded = false);
// The carrier's own fields, its TOC list and its title count (bounded by the
// bytes left) from the start of its block, for a reader that takes the
// titles one by one with readStoredTitle; their numbers are then given by
// numberStoredTitles.
VOSKO_API bool readStoredCarrierHead(ByteCursor& block, StoredCarrier& carrier, int32_t& titles);
// One title object ("TTitle" and a block exactly as long as its fields).
VOSKO_API bool readStoredTitle(ByteCursor& in, StoredTitle& title);
// Numbers the titles stored without a number (-1) as the carrier does when
// they are added in this order.
VOSKO_API void numberStoredTitles(std::vector<StoredTitle>& titles);

// The model's track filled from a stored one, every field as it stands.
VOSKO_API void fillTocTrack(const StoredTocTrack& stored, TTOCTrack& track);
// The model's carrier filled from a stored one: its fields and its TOC list,
// the tracks numbered as held (the titles are not touched).
VOSKO_API void fillCarrier(const StoredCarrier& stored, TSoundCarrier& carrier);
// The model's title filled from a stored one, every field (not its carrier).
VOSKO_API void fillTitle(const StoredTitle& stored, TTitle& title);
// The stored form of a carrier of the model: views of its texts, valid
// while it lives unchanged.
VOSKO_API void viewCarrier(const TSoundCarrier& carrier, StoredCarrier& stored);
// The carrier as TSoundCarriers::load makes it, with its titles.
VOSKO_API std::unique_ptr<TSoundCarrier> makeCarrier(const StoredCarrier& stored);
