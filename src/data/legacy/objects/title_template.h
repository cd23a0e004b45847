// TTitleOf<Format>, one title (track) of a carrier in the object-file
// formats 2.5, 2.5.3 and 2.5.5 (see object_format.h for what a Format gives).
// The file stores it under the name "TTitle": name, artist, url, then the
// version's own strings. Its track is not stored: the carrier numbers its
// titles from 1 as it adds them. `carrier` points to the owning carrier and is
// not owned.
#pragma once

#include <cstdint>
#include <string>

#include "basis/file.h"
#include "xml/dom_node.h"

template <class Format>
class TSoundCarrierOf;

template <class Format>
class TTitleOf : public Format::TitleBase, public Format::TitleFields {
 public:
  static constexpr const char* kClassName = Format::kTitleName;
  const char* className() const override { return kClassName; }

  static constexpr const char* kFileHeader = Format::kFileHeader;

  TTitleOf() { TTitleOf::initialize(); }
  TTitleOf(const std::string& name, const std::string& url);
  TTitleOf(const std::string& name, const std::string& url, const std::string& artist);

  // Plain properties.
  std::string name;
  std::string url;
  std::string artist;
  // 1-based; set by the carrier's add.
  int32_t track = 0;
  TSoundCarrierOf<Format>* carrier = nullptr;

  // "<track, 2 digits> <artist>[ (<originalArtist>[, <film>])] - <name>, <url>[ (<contentType>)]",
  // each part where the version has the field.
  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  void initialize() override;
  std::string fileHeader() const override { return kFileHeader; }

  // A "TITLE" element with NAME, ARTIST, URL, TRACK and the version's own
  // values. Raises EDomException Format::kTitleTagError, or
  // Format::kTrackErrorPrefix followed by the conversion message of a TRACK
  // that is no integer; with values as elements also TXMLHelper's error for a
  // missing child.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;
};
