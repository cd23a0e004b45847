#include "data/carrier_writer.h"

#include <climits>
#include <memory>

#include "basis/exceptions.h"
#include "data/sound_carriers.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"

namespace {

constexpr int32_t kCountAtClose = -1;

}  // namespace

TCarrierWriter::TCarrierWriter(const std::string& fileName, int32_t count)
    : file_(fileName, true, TSoundCarrier::kFileHeader), openedAt_(carrier_.release), carriersLeft_(count) {
  if (count < 0) throw IllegalStateException("TCarrierWriter: negative carrier count.");
  TSoundCarriers list;
  file_.beginBlock(list.isLengthPrefixed(), list.isWriteBuffered());
  file_.writeInt(count);
}

TCarrierWriter::TCarrierWriter(const std::string& fileName)
    : file_(fileName, true, TSoundCarrier::kFileHeader),
      openedAt_(carrier_.release),
      carriersLeft_(kCountAtClose) {
  TSoundCarriers list;
  file_.beginBlock(list.isLengthPrefixed(), list.isWriteBuffered());
  countAt_ = file_.filePosition();
  file_.writeInt(0);
}

void TCarrierWriter::beginCarrier(int32_t titles) {
  if (titlesLeft_ >= 0 || carriersLeft_ == 0 || carriersWritten_ == INT32_MAX || titles < 0 ||
      carrier_.size() != 0) {
    throw IllegalStateException("TCarrierWriter.beginCarrier: carrier out of turn.");
  }
  file_.writeString(carrier_.className());
  file_.beginBlock(carrier_.isLengthPrefixed(), carrier_.isWriteBuffered());
  carrier_.writeOwnFields(file_);
  file_.writeInt(titles);
  titlesLeft_ = titles;
  lastTracks_.clear();
  lastDiscTrack_ = nullptr;
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
  TTitle::writeStored(file_, {name, artist, url, numbered(title_.carrierIndex, title_.track),
                              title_.contentType, title_.originalArtist, title_.film, title_.carrierIndex});
  --titlesLeft_;
}

void TCarrierWriter::endCarrier() {
  if (titlesLeft_ != 0) throw IllegalStateException("TCarrierWriter.endCarrier: titles missing.");
  file_.endBlock();
  titlesLeft_ = -1;
  if (carriersLeft_ != kCountAtClose) --carriersLeft_;
  ++carriersWritten_;
  carrier_.initializeReleased(openedAt_);
}

void TCarrierWriter::write(const StoredCarrier& stored) {
  if (titlesLeft_ >= 0) throw IllegalStateException("TCarrierWriter.write: carrier out of turn.");
  fillCarrier(stored, carrier_);
  if (stored.titles.size() > static_cast<size_t>(INT32_MAX))
    throw IllegalStateException("TCarrierWriter.write: too many titles.");
  beginCarrier(static_cast<int32_t>(stored.titles.size()));
  // carrier() starts the next carrier without these tables of contents.
  carrier_.tocList->clear();
  for (const StoredTitle& t : stored.titles) {
    TTitle::writeStored(
        file_, {t.name, t.artist, t.url, t.track, t.contentType, t.originalArtist, t.film, t.carrierIndex});
  }
  titlesLeft_ = 0;
  endCarrier();
}

void TCarrierWriter::close() {
  if (titlesLeft_ >= 0 || (carriersLeft_ != 0 && carriersLeft_ != kCountAtClose))
    throw IllegalStateException("TCarrierWriter.close: carriers missing.");
  file_.endBlock();
  if (carriersLeft_ == kCountAtClose) {
    // As a block's length is patched: the count in its place, then on at the end.
    const int64_t end = file_.fileSize();
    file_.seek(countAt_);
    file_.writeInt(carriersWritten_);
    file_.seek(end);
  }
  file_.close();
}
