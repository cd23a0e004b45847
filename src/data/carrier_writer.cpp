#include "data/carrier_writer.h"

#include "basis/exceptions.h"
#include "data/sound_carriers.h"

TCarrierWriter::TCarrierWriter(const std::string& fileName, int32_t count)
    : file_(fileName, true, TSoundCarrier::kFileHeader), openedAt_(carrier_.release), carriersLeft_(count) {
  if (count < 0) throw IllegalStateException("TCarrierWriter: negative carrier count.");
  TSoundCarriers list;
  file_.beginBlock(list.isLengthPrefixed(), list.isWriteBuffered());
  file_.writeInt(count);
}

void TCarrierWriter::beginCarrier(int32_t titles) {
  if (titlesLeft_ >= 0 || carriersLeft_ == 0 || titles < 0 || carrier_.size() != 0) {
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
  --carriersLeft_;
  carrier_.initializeReleased(openedAt_);
}

void TCarrierWriter::close() {
  if (titlesLeft_ >= 0 || carriersLeft_ != 0)
    throw IllegalStateException("TCarrierWriter.close: carriers missing.");
  file_.endBlock();
  file_.close();
}
