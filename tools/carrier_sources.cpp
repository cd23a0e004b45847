#include "carrier_sources.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

#include "basis/byte_cursor.h"

namespace sample {
namespace {

// Every header of these files is one bracketed text.
size_t headerEnd(std::string_view bytes) {
  const size_t close = bytes.find(']');
  if (bytes.empty() || bytes.front() != '[' || close == std::string_view::npos)
    throw std::invalid_argument("no database header");
  return close + 1;
}

}  // namespace

CarrierSources::CarrierSources(const std::string& version, std::string_view bytes) {
  if (version == "1.5" || version == "2.0") {
    recordFile_ = true;
    dated_ = version == "2.0";
    readRecordFile(bytes);
  } else if (version == "2.5" || version == "2.5.3" || version == "2.5.5" || version == "2.5.7") {
    readObjectFile(bytes);
  } else {
    throw std::invalid_argument("no database format: " + version);
  }
}

bool CarrierSources::readRecord(std::string_view bytes, size_t at, Kind kind, Record& record) const {
  if (at > bytes.size()) return false;
  ByteCursor in(bytes, at);
  constexpr size_t kDate = ByteCursor::kDoubleSize;
  if (!in.int32(record.id) || !in.skipText() || (dated_ && !in.skip(kDate))) return false;
  if (kind == kTitle) {
    int32_t n = 0;
    if (!in.skipText() || !in.count(n) || static_cast<size_t>(n) > in.size() / ByteCursor::kInt32Size)
      return false;
    record.carrierIds.assign(static_cast<size_t>(n), -1);
    for (int32_t& id : record.carrierIds) in.int32(id);
    if (dated_) in.int32(record.artistId);
  } else if (kind == kCarrier) {
    if (!dated_) in.int32(record.artistId);
    // Then the label, the release, the notes and the type.
    in.int32(record.labelId);
    in.skip(kDate);
    in.skipText();
    in.skipText();
  }
  record.run = {at, in.position()};
  return in.ok();
}

void CarrierSources::readRecordFile(std::string_view bytes) {
  size_t at = headerEnd(bytes);
  for (const Kind kind : {kArtist, kLabel, kTitle, kCarrier}) {
    ByteCursor list(bytes, at);
    int32_t n = 0;
    if (!list.int32(n) || n < 0) throw std::invalid_argument("a list's count is missing");
    at = list.position();
    std::vector<Record>& records = kind == kTitle     ? titles_
                                   : kind == kCarrier ? carrierRecords_
                                                      : names_[kind];
    for (int32_t i = 0; i < n; ++i) {
      Record record;
      if (!readRecord(bytes, at, kind, record)) throw std::invalid_argument("a record is cut off");
      at = record.run.end;
      records.push_back(std::move(record));
    }
  }
}

void CarrierSources::readObjectFile(std::string_view bytes) {
  ByteCursor in(bytes, headerEnd(bytes));
  int32_t n = 0;
  // The database's block length, then its count of carriers.
  if (!in.skip(ByteCursor::kInt32Size) || !in.int32(n) || n < 0)
    throw std::invalid_argument("the database's count is missing");
  for (int32_t i = 0; i < n; ++i) {
    Record carrier;
    carrier.run.begin = in.position();
    ByteCursor block;
    if (!in.skipText() || !in.block(block)) throw std::invalid_argument("a carrier is cut off");
    carrier.run.end = in.position();
    carrierRecords_.push_back(carrier);
  }
}

std::vector<bool> CarrierSources::reached(std::string_view damaged,
                                          const std::vector<ByteRun>& changed) const {
  const auto hit = [&](const ByteRun& run) {
    const auto first = std::upper_bound(changed.begin(), changed.end(), run.begin,
                                        [](size_t at, const ByteRun& c) { return at < c.end; });
    return first != changed.end() && first->begin < run.end;
  };
  std::vector<bool> result(carriers(), false);
  if (!recordFile_) {
    for (size_t i = 0; i < result.size(); ++i) result[i] = hit(carrierRecords_[i].run);
    return result;
  }
  // The ids whose records the damage reaches, with those a damaged record took up.
  std::unordered_set<int32_t> names[2];
  std::unordered_set<int32_t> carrierIds;
  for (const Kind kind : {kArtist, kLabel}) {
    for (const Record& r : names_[kind]) {
      if (!hit(r.run)) continue;
      names[kind].insert(r.id);
      Record now;
      if (readRecord(damaged, r.run.begin, kind, now)) names[kind].insert(now.id);
    }
  }
  for (const Record& t : titles_) {
    bool reaches = hit(t.run);
    Record now;
    if (reaches && readRecord(damaged, t.run.begin, kTitle, now))
      carrierIds.insert(now.carrierIds.begin(), now.carrierIds.end());
    reaches = reaches || (dated_ && names[kArtist].count(t.artistId) > 0);
    if (reaches) carrierIds.insert(t.carrierIds.begin(), t.carrierIds.end());
  }
  for (size_t i = 0; i < result.size(); ++i) {
    const Record& c = carrierRecords_[i];
    result[i] = hit(c.run) || carrierIds.count(c.id) > 0 || names[kLabel].count(c.labelId) > 0 ||
                (!dated_ && names[kArtist].count(c.artistId) > 0);
  }
  return result;
}

}  // namespace sample
