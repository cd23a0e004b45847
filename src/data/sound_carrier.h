// TSoundCarrier, one compact disc, record, cassette or the like: its data,
// its titles (the list's elements) and the tables of contents of its discs.
// The carrier owns its titles and its TTOCList; each title points back to it.
//
// Stored as name, label, artist, type, release, notes, contentType, image,
// printImage, the object "TTOCList" and the title list; in XML as a
// "CARRIER" element with "NOTES", "TOCS" and "TITLES" children.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "data/title.h"
#include "data/toc_list.h"
#include "platform/export.h"

// One sound carrier with its titles and the tables of contents of its discs,
// owning both.
class VOSKO_API TSoundCarrier : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TSoundCarrier)

  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]";
  static constexpr const char* kCompactDisc = "Compact Disc";
  // Records and cassettes have two sides per medium.
  static constexpr const char* kRecord = "Schallplatte";
  static constexpr const char* kCassette = "Audiokassette";
  static constexpr const char* kAlbum = "Album";
  static constexpr const char* kSampler = "Sampler";
  static constexpr const char* kSplit = "Split";
  static constexpr const char* kSamplerArtist = "<Sampler>";

  TSoundCarrier() { TSoundCarrier::initialize(); }
  TSoundCarrier(const std::string& name, const std::string& label, const std::string& type);

  // Plain properties, read and written directly. contentType has a setter
  // for its effect on artist.
  std::string name;
  std::string label;
  std::string artist;
  std::string type = kCompactDisc;
  // Days since 30.12.1899, the fraction the time of day; now by default.
  double release = 0;
  std::string notes;
  std::string contentType = kAlbum;
  std::string image;
  std::string printImage;
  // Owned; created by initialize when missing.
  std::unique_ptr<TTOCList> tocList;

  // "<name>, <artist> - <label>, <release date> <type> (<contentType>)".
  std::string toString() const override;
  // Replaces the fields, the TOC list and the titles by those stored; each
  // title goes through add().
  void readFrom(TFile& file) override;
  // Raises IOException "TSoundCarrier.write: TOC list not assigned." without a TOC list.
  void writeTo(TFile& file) override;
  // What writeTo writes before the titles: every field and the TOC list.
  void writeOwnFields(TFile& file);
  // Every field to its default; keeps an existing TOC list and the titles.
  // The release defaults to the current time.
  void initialize() override;
  // initialize() with `release` for the current time, for one who makes many
  // carriers at once and need not ask the clock for each.
  void initializeReleased(double release);
  std::string fileHeader() const override;

  // Replaces the carrier's contents by a "CARRIER" element's; titles keep the
  // TRACK read. Every failure is raised as EDomException
  // "TSoundCarrier.fromXML: (Class) message".
  void fromXML(TDomElement* element) override;
  // Raises IOException "TSoundCarrier.toXML: TOC list not assigned." without a
  // TOC list, "TSoundCarrier.toXML: carrier '<name>': " + unwritableXml() + "."
  // for a carrier XML cannot hold.
  TDomElement* toXML(TDomDocument* document) override;
  // Empty when the XML form holds the carrier with its titles exactly;
  // otherwise the clause naming the first field it cannot hold
  // ("title 2 'Song': FILM holds the byte 0x07 ...", see modelxml::unwritableText).
  std::string unwritableXml() const;

  using TArrayList::add;
  // Appends a TTitle, links it to this carrier and gives it the number after
  // the highest of its disc when it has none (-1); anything else raises
  // IllegalArgumentException "TSoundCarrier.add: Object is no title.".
  int32_t add(TMappedObject* obj) override;
  // add(title) for a title the caller hands over, without asking its class.
  int32_t add(std::unique_ptr<TTitle> title);
  // Removes and frees the title at index; the titles behind it on the same
  // disc, up to the first title of another disc, move up one number.
  void remove(int32_t index) override;
  using TArrayList::remove;

  TTitle* getTitle(int32_t index) const;
  // Highest track on that disc or side; -1 when it has none.
  int32_t getLastTrack(int32_t carrierIndex) const;
  // True when some title's artist differs from the carrier's.
  bool hasMixedArtists() const;
  // "<Sampler>" when the artists are mixed, then the split artist for a
  // "Split"; stores and returns the result.
  std::string getArtist();
  // "Sampler" sets the artist to "<Sampler>", "Split" to the split artist.
  void setContentType(const std::string& kind);
  // The distinct title artists, each followed by a blank; raises
  // IllegalStateException for a carrier that is not a "Split".
  std::string assembleSplitArtist() const;

 private:
  friend class TitleNumber;
  void titleNumbersChanged() { lastTracksValid_ = false; }
  bool lastTracksKnown() const { return lastTracksValid_ && lastTracksAt_ == modificationCount(); }
  void noteTrack(int32_t carrierIndex, int32_t track) const;
  int32_t adopt(TTitle* title);

  // The highest track of each disc, as the titles held say while known: it
  // is forgotten when a title's number changes or the titles held change
  // other than through add.
  mutable std::map<int32_t, int32_t> lastTracks_;
  mutable bool lastTracksValid_ = false;
  mutable uint64_t lastTracksAt_ = 0;
};
