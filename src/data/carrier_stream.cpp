#include "data/carrier_stream.h"

#include <utility>

#include "basis/byte_cursor.h"
#include "data/sound_carrier.h"
#include "data/title.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"

namespace {

constexpr std::string_view kCarrierName = TSoundCarrier::kClassName;
constexpr std::string_view kTitleName = TTitle::kClassName;
constexpr std::string_view kTocListName = TTOCList::kClassName;
constexpr std::string_view kTocName = TTOCData::kClassName;
constexpr std::string_view kTrackName = TTOCTrack::kClassName;

// A stored list's count, bounded by the bytes left: each element takes at
// least its class name and its block's length.
bool listCount(ByteCursor& in, std::string_view elementName, int32_t& count) {
  return in.count(count) && static_cast<size_t>(count) <= in.size() / ByteCursor::objectLead(elementName);
}

bool track(ByteCursor& in, StoredTocTrack& track) {
  std::string_view audio;
  if (!in.int32(track.minutes) || !in.int32(track.seconds) || !in.int32(track.frames) ||
      !in.int32(track.trackNumber) || !in.chars(1, audio)) {
    return false;
  }
  track.isAudioTrack = audio[0] != 0;
  return true;
}

template <bool kLoaded>
bool toc(ByteCursor& in, StoredToc& toc) {
  int32_t discId = 0;
  int32_t tracks = 0;
  if (!in.int32(discId) ||
      !readObject<kLoaded>(in, kTrackName, [&](ByteCursor& c) { return track(c, toc.leadOut); }) ||
      !listCount(in, kTrackName, tracks)) {
    return false;
  }
  toc.discId = static_cast<uint32_t>(discId);
  toc.tracks.resize(static_cast<size_t>(tracks));
  for (size_t i = 0; i < toc.tracks.size(); ++i) {
    StoredTocTrack& t = toc.tracks[i];
    if (!readObject<kLoaded>(in, kTrackName, [&](ByteCursor& c) { return track(c, t); })) return false;
    // A table numbers its tracks by their places as it takes them; only the
    // lead-out keeps the number stored.
    t.trackNumber = static_cast<int32_t>(i);
  }
  return true;
}

template <bool kLoaded>
bool tocList(ByteCursor& in, StoredCarrier& carrier) {
  int32_t tocs = 0;
  if (!listCount(in, kTocName, tocs)) return false;
  if (carrier.tocs.size() < static_cast<size_t>(tocs)) carrier.tocs.resize(static_cast<size_t>(tocs));
  carrier.tocCount = tocs;
  for (int32_t i = 0; i < tocs; ++i) {
    if (!readObject<kLoaded>(in, kTocName, [&](ByteCursor& c) {
          return toc<kLoaded>(c, carrier.tocs[static_cast<size_t>(i)]);
        }))
      return false;
  }
  return true;
}

bool title(ByteCursor& in, StoredTitle& title) {
  return in.text(title.name) && in.text(title.artist) && in.text(title.url) && in.int32(title.track) &&
         in.text(title.contentType) && in.text(title.originalArtist) && in.text(title.film) &&
         in.int32(title.carrierIndex);
}

// Numbers the carrier's titles stored without a number (-1) as the carrier
// does when a title is added: after the highest number of its disc so far,
// wrapping around as the stored number does.
void numberTitles(std::vector<StoredTitle>& titles) {
  std::vector<std::pair<int32_t, int32_t>> last;  // disc, highest track; a carrier has few discs
  for (StoredTitle& t : titles) {
    auto it = last.begin();
    while (it != last.end() && it->first != t.carrierIndex) ++it;
    if (it == last.end()) it = last.insert(last.end(), {t.carrierIndex, -1});
    if (t.track == -1) t.track = static_cast<int32_t>(static_cast<uint32_t>(it->second) + 1u);
    if (t.track > it->second) it->second = t.track;
  }
}

template <bool kLoaded>
bool carrierHead(ByteCursor& in, StoredCarrier& c, int32_t& titles) {
  return in.text(c.name) && in.text(c.label) && in.text(c.artist) && in.text(c.type) &&
         in.number(c.release) && in.text(c.notes) && in.text(c.contentType) && in.text(c.image) &&
         in.text(c.printImage) &&
         readObject<kLoaded>(in, kTocListName, [&](ByteCursor& t) { return tocList<kLoaded>(t, c); }) &&
         listCount(in, kTitleName, titles);
}

template <bool kLoaded = false>
bool carrierFields(ByteCursor& in, StoredCarrier& c) {
  int32_t titles = 0;
  if (!carrierHead<kLoaded>(in, c, titles)) return false;
  c.titles.resize(static_cast<size_t>(titles));
  bool numbered = true;
  for (StoredTitle& t : c.titles) {
    if (!readObject<kLoaded>(in, kTitleName, [&](ByteCursor& b) { return title(b, t); })) return false;
    numbered = numbered && t.track != -1;
  }
  if (!numbered) numberTitles(c.titles);
  return true;
}

}  // namespace

CarrierStream::CarrierStream() = default;
CarrierStream::~CarrierStream() = default;

bool CarrierStream::open(const std::string& path) {
  failed_ = true;
  try {
    file_.openRead(path);
    const int64_t size = file_.size();
    window_ = std::make_unique<ByteWindow>(file_, size);
    const std::string_view header = TSoundCarrier::kFileHeader;
    std::string_view bytes;
    std::string_view found;
    int32_t length = 0;
    int32_t count = 0;
    if (!window_->peek(header.size() + 2 * ByteCursor::kInt32Size, bytes)) return false;
    ByteCursor head(bytes);
    if (!head.chars(header.size(), found) || found != header || !head.int32(length) || !head.int32(count) ||
        length < static_cast<int32_t>(ByteCursor::kInt32Size)) {
      return false;
    }
    const int64_t blockEnd = static_cast<int64_t>(header.size() + ByteCursor::kInt32Size) + length;
    if (blockEnd > size) return false;
    window_->take(bytes.size());
    trailing_ = size - blockEnd;
    blockLeft_ = length - static_cast<int64_t>(ByteCursor::kInt32Size);
    count_ = ByteCursor::storedCount(count);
    read_ = 0;
    held_ = 0;
    failed_ = false;
    return true;
  } catch (...) {
    return false;
  }
}

bool CarrierStream::next(StoredCarrier& carrier) {
  if (failed_ || read_ >= count_) return false;
  failed_ = true;  // until the carrier is read whole
  try {
    window_->take(held_);
    held_ = 0;
    constexpr size_t kLead = ByteCursor::objectLead(kCarrierName);
    std::string_view bytes;
    int32_t n = 0;
    if (blockLeft_ < static_cast<int64_t>(kLead) || !window_->peek(kLead, bytes)) return false;
    ByteCursor lead(bytes);
    if (!lead.className(kCarrierName) || !lead.int32(n) || n < 0 ||
        blockLeft_ < static_cast<int64_t>(kLead) + n ||
        !window_->peek(kLead + static_cast<size_t>(n), bytes)) {
      return false;
    }
    ByteCursor in(bytes);
    if (!readObject(in, kCarrierName, [&](ByteCursor& c) { return carrierFields(c, carrier); })) return false;
    held_ = bytes.size();
    blockLeft_ -= static_cast<int64_t>(held_);
    ++read_;
    failed_ = false;
    return true;
  } catch (...) {
    return false;
  }
}

bool readStoredCarrier(ByteCursor& in, StoredCarrier& carrier, bool asLoaded) {
  if (asLoaded)
    return readObject<true>(in, kCarrierName, [&](ByteCursor& c) { return carrierFields<true>(c, carrier); });
  return readObject(in, kCarrierName, [&](ByteCursor& c) { return carrierFields(c, carrier); });
}

bool readStoredCarrierHead(ByteCursor& block, StoredCarrier& carrier, int32_t& titles) {
  return carrierHead<false>(block, carrier, titles);
}

bool readStoredTitle(ByteCursor& in, StoredTitle& stored) {
  return readObject(in, kTitleName, [&](ByteCursor& b) { return title(b, stored); });
}

void numberStoredTitles(std::vector<StoredTitle>& titles) { numberTitles(titles); }

bool CarrierStream::finished() const { return !failed_ && read_ == count_ && blockLeft_ == 0; }

void fillTocTrack(const StoredTocTrack& stored, TTOCTrack& track) {
  track.minutes = stored.minutes;
  track.seconds = stored.seconds;
  track.frames = stored.frames;
  track.trackNumber = stored.trackNumber;
  track.isAudioTrack = stored.isAudioTrack;
}

void fillCarrier(const StoredCarrier& stored, TSoundCarrier& carrier) {
  carrier.name.assign(stored.name);
  carrier.label.assign(stored.label);
  carrier.artist.assign(stored.artist);
  carrier.type.assign(stored.type);
  carrier.release = stored.release;
  carrier.notes.assign(stored.notes);
  carrier.contentType.assign(stored.contentType);
  carrier.image.assign(stored.image);
  carrier.printImage.assign(stored.printImage);
  // Appended, not added: adding would number the tracks by their places,
  // which an XML form need not hold.
  auto tocs = std::make_unique<TTOCList>();
  for (int32_t i = 0; i < stored.tocCount; ++i) {
    const StoredToc& from = stored.tocs[static_cast<size_t>(i)];
    auto toc = std::make_unique<TTOCData>();
    toc->discId = from.discId;
    fillTocTrack(from.leadOut, *toc->leadOut);
    for (const StoredTocTrack& t : from.tracks) {
      auto track = std::make_unique<TTOCTrack>();
      fillTocTrack(t, *track);
      toc->append(std::move(track));
    }
    tocs->append(std::move(toc));
  }
  carrier.tocList = std::move(tocs);
}

void fillTitle(const StoredTitle& stored, TTitle& title) {
  title.name.assign(stored.name);
  title.artist.assign(stored.artist);
  title.url.assign(stored.url);
  title.track = stored.track;
  title.contentType.assign(stored.contentType);
  title.originalArtist.assign(stored.originalArtist);
  title.film.assign(stored.film);
  title.carrierIndex = stored.carrierIndex;
}

namespace {

StoredTocTrack viewTrack(const TTOCTrack& track) {
  return {track.minutes, track.seconds, track.frames, track.trackNumber, track.isAudioTrack};
}

}  // namespace

void viewCarrier(const TSoundCarrier& carrier, StoredCarrier& stored) {
  stored.name = carrier.name;
  stored.label = carrier.label;
  stored.artist = carrier.artist;
  stored.type = carrier.type;
  stored.release = carrier.release;
  stored.notes = carrier.notes;
  stored.contentType = carrier.contentType;
  stored.image = carrier.image;
  stored.printImage = carrier.printImage;
  const int32_t tocs = carrier.tocList ? carrier.tocList->size() : 0;
  if (stored.tocs.size() < static_cast<size_t>(tocs)) stored.tocs.resize(static_cast<size_t>(tocs));
  stored.tocCount = tocs;
  for (int32_t i = 0; i < tocs; ++i) {
    const TTOCData& from = *carrier.tocList->getTOC(i);
    StoredToc& to = stored.tocs[static_cast<size_t>(i)];
    to.discId = from.discId;
    to.leadOut = from.leadOut ? viewTrack(*from.leadOut) : StoredTocTrack{};
    to.tracks.clear();
    for (int32_t j = 0; j < from.size(); ++j) to.tracks.push_back(viewTrack(*from.getTrack(j)));
  }
  stored.titles.clear();
  for (int32_t i = 0; i < carrier.size(); ++i) {
    const TTitle& t = *carrier.getTitle(i);
    stored.titles.push_back(
        {t.name, t.artist, t.url, t.track, t.contentType, t.originalArtist, t.film, t.carrierIndex});
  }
}

std::unique_ptr<TSoundCarrier> makeCarrier(const StoredCarrier& stored) {
  auto carrier = std::make_unique<TSoundCarrier>();
  fillCarrier(stored, *carrier);
  for (const StoredTitle& t : stored.titles) {
    auto title = std::make_unique<TTitle>();
    fillTitle(t, *title);
    carrier->add(std::move(title));
  }
  return carrier;
}
