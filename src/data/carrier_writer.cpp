#include "data/carrier_writer.h"

#include <climits>
#include <memory>
#include <utility>

#include "basis/exceptions.h"
#include "data/sound_carriers.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"

namespace {

constexpr int32_t kCountAtClose = -1;

}  // namespace

CarrierTarget::CarrierTarget(std::string fileName) : fileName_(std::move(fileName)) {}

CarrierTarget::CarrierTarget(const char* fileName) : fileName_(fileName) {}

CarrierTarget::CarrierTarget(Each each) : each_(std::move(each)) {}

void CarrierTarget::hand(int64_t index, const StoredCarrier& carrier) const {
  if (index < handed_) return;
  try {
    each_(carrier);
  } catch (...) {
    consumerFailed_ = true;
    throw;
  }
  ++handed_;
}

TCarrierWriter::TCarrierWriter(const CarrierTarget& target, int32_t count)
    : openedAt_(carrier_.release), carriersLeft_(count) {
  if (count < 0) throw IllegalStateException("TCarrierWriter: negative carrier count.");
  if (!target.isFile()) {
    consumer_ = &target;
    return;
  }
  file_.emplace(target.fileName(), true, TSoundCarrier::kFileHeader);
  TSoundCarriers list;
  file_->beginBlock(list.isLengthPrefixed(), list.isWriteBuffered());
  file_->writeInt(count);
}

TCarrierWriter::TCarrierWriter(const CarrierTarget& target)
    : openedAt_(carrier_.release), carriersLeft_(kCountAtClose) {
  if (!target.isFile()) {
    consumer_ = &target;
    return;
  }
  file_.emplace(target.fileName(), true, TSoundCarrier::kFileHeader);
  TSoundCarriers list;
  file_->beginBlock(list.isLengthPrefixed(), list.isWriteBuffered());
  countAt_ = file_->filePosition();
  file_->writeInt(0);
}

void TCarrierWriter::startCarrier(int32_t titles) {
  if (titlesLeft_ >= 0 || carriersLeft_ == 0 || carriersWritten_ == INT32_MAX || titles < 0) {
    throw IllegalStateException("TCarrierWriter.beginCarrier: carrier out of turn.");
  }
  titlesLeft_ = titles;
  lastTracks_.clear();
  lastDiscTrack_ = nullptr;
}

void TCarrierWriter::beginCarrier(int32_t titles) {
  if (carrier_.size() != 0) throw IllegalStateException("TCarrierWriter.beginCarrier: carrier out of turn.");
  startCarrier(titles);
  if (consumer_ != nullptr) {
    viewCarrier(carrier_, stored_);
    texts_.clear();
    textLengths_.clear();
    return;
  }
  file_->writeString(carrier_.className());
  file_->beginBlock(carrier_.isLengthPrefixed(), carrier_.isWriteBuffered());
  carrier_.writeOwnFields(*file_);
  file_->writeInt(titles);
}

int32_t TCarrierWriter::numbered(int32_t disc, int32_t track) {
  if (lastDiscTrack_ == nullptr || disc != lastDisc_) {
    lastDiscTrack_ = &lastTracks_.try_emplace(disc, -1).first->second;
    lastDisc_ = disc;
  }
  int32_t& last = *lastDiscTrack_;
  // As add() numbers a title: after the highest number of its disc, where a
  // walk from -1 only counts numbers above -1; the stored number wraps.
  if (track == -1) track = static_cast<int32_t>(static_cast<uint32_t>(last) + 1u);
  if (track > last) last = track;
  return track;
}

void TCarrierWriter::addTitle() {
  addTitle(title_.name, title_.url, title_.artist);
  title_.initialize();
}

void TCarrierWriter::addTitle(std::string_view name, std::string_view url, std::string_view artist) {
  if (titlesLeft_ <= 0) throw IllegalStateException("TCarrierWriter.addTitle: title out of turn.");
  // title() is initial between titles: it gives every other field.
  const int32_t track = numbered(title_.carrierIndex, title_.track);
  --titlesLeft_;
  if (consumer_ != nullptr) {
    // The texts are the caller's only until it returns: they are copied, in
    // the order handCarrier() takes them.
    for (std::string_view text : {name, artist, url, std::string_view(title_.contentType),
                                  std::string_view(title_.originalArtist), std::string_view(title_.film)})
      hold(text);
    stored_.titles.push_back({{}, {}, {}, track, {}, {}, {}, title_.carrierIndex});
    return;
  }
  TTitle::writeStored(*file_, {name, artist, url, track, title_.contentType, title_.originalArtist,
                               title_.film, title_.carrierIndex});
}

void TCarrierWriter::hold(std::string_view text) {
  texts_.append(text);
  textLengths_.push_back(text.size());
}

void TCarrierWriter::endCarrier() {
  if (titlesLeft_ != 0) throw IllegalStateException("TCarrierWriter.endCarrier: titles missing.");
  if (consumer_ != nullptr) {
    // The views into the texts are made now that they stay where they are.
    const char* at = texts_.data();
    const size_t* length = textLengths_.data();
    auto next = [&] {
      const std::string_view text(at, *length++);
      at += text.size();
      return text;
    };
    for (StoredTitle& t : stored_.titles) {
      t.name = next();
      t.artist = next();
      t.url = next();
      t.contentType = next();
      t.originalArtist = next();
      t.film = next();
    }
    handCarrier();
  } else {
    file_->endBlock();
  }
  titlesLeft_ = -1;
  if (carriersLeft_ != kCountAtClose) --carriersLeft_;
  ++carriersWritten_;
  carrier_.initializeReleased(openedAt_);
}

void TCarrierWriter::write(const StoredCarrier& stored) {
  if (titlesLeft_ >= 0) throw IllegalStateException("TCarrierWriter.write: carrier out of turn.");
  if (stored.titles.size() > static_cast<size_t>(INT32_MAX))
    throw IllegalStateException("TCarrierWriter.write: too many titles.");
  const auto titles = static_cast<int32_t>(stored.titles.size());
  if (consumer_ != nullptr) {
    startCarrier(titles);
    stored_ = stored;
    titlesLeft_ = 0;
    handCarrier();
    titlesLeft_ = -1;
    if (carriersLeft_ != kCountAtClose) --carriersLeft_;
    ++carriersWritten_;
    return;
  }
  fillCarrier(stored, carrier_);
  beginCarrier(titles);
  // carrier() starts the next carrier without these tables of contents.
  carrier_.tocList->clear();
  for (const StoredTitle& t : stored.titles) {
    TTitle::writeStored(
        *file_, {t.name, t.artist, t.url, t.track, t.contentType, t.originalArtist, t.film, t.carrierIndex});
  }
  titlesLeft_ = 0;
  endCarrier();
}

void TCarrierWriter::handCarrier() {
  // As the stream reads the stored carrier: a table numbers its tracks by
  // their places, and titles stored without a number get one.
  for (int32_t i = 0; i < stored_.tocCount; ++i) {
    std::vector<StoredTocTrack>& tracks = stored_.tocs[static_cast<size_t>(i)].tracks;
    for (size_t j = 0; j < tracks.size(); ++j) tracks[j].trackNumber = static_cast<int32_t>(j);
  }
  for (const StoredTitle& t : stored_.titles) {
    if (t.track == -1) {
      numberStoredTitles(stored_.titles);
      break;
    }
  }
  consumer_->hand(carriersWritten_, stored_);
}

void TCarrierWriter::close() {
  if (titlesLeft_ >= 0 || (carriersLeft_ != 0 && carriersLeft_ != kCountAtClose))
    throw IllegalStateException("TCarrierWriter.close: carriers missing.");
  if (consumer_ != nullptr) {
    // Only a file that changed under the conversion's ways can make one of
    // them end before the carriers an earlier one handed on.
    if (carriersWritten_ < consumer_->handed())
      throw IOException("TCarrierWriter.close: the database changed while it was converted.");
    return;
  }
  file_->endBlock();
  if (carriersLeft_ == kCountAtClose) {
    // As a block's length is patched: the count in its place, then on at the end.
    const int64_t end = file_->fileSize();
    file_->seek(countAt_);
    file_->writeInt(carriersWritten_);
    file_->seek(end);
  }
  file_->close();
}
