// TTitle, one track of a sound carrier. A title held by a carrier points back
// to it through `carrier`; that link is not owned and never stored, and the
// carrier owns the title.
//
// Stored as name, artist, url, track, contentType, originalArtist, film and
// carrierIndex; in XML as a "TITLE" element.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "basis/xml_persistent.h"
#include "platform/export.h"

class TSoundCarrier;
class TTitle;

// A title's track or disc number, used as an int32_t. Setting it tells the
// carrier holding the title, which remembers the highest track of each disc
// so that numbering a new title needs no walk over all the others.
class VOSKO_API TitleNumber {
 public:
  TitleNumber(TTitle& title, int32_t value) : title_(title), value_(value) {}
  TitleNumber(const TitleNumber&) = delete;
  TitleNumber& operator=(const TitleNumber& other) { return *this = other.value_; }
  TitleNumber& operator=(int32_t value);
  operator int32_t() const { return value_; }

 private:
  TTitle& title_;
  int32_t value_;
};

// One track of a sound carrier, owned by the carrier that holds it.
class VOSKO_API TTitle : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TTitle)

  static constexpr const char* kOriginal = "Original";
  static constexpr const char* kRemix = "Remix";

  TTitle() { TTitle::initialize(); }
  TTitle(const std::string& name, const std::string& url);
  TTitle(const std::string& name, const std::string& url, const std::string& artist);

  // Plain properties. contentType and originalArtist have setters for the
  // side effects between the two.
  std::string name;
  std::string url;
  std::string artist;
  std::string contentType = kOriginal;
  std::string originalArtist;
  std::string film;
  // Zero-based position on its disc or side; -1 until a carrier numbers it.
  TitleNumber track{*this, -1};
  TSoundCarrier* carrier = nullptr;
  // Zero-based disc (or record or cassette side) within the carrier.
  TitleNumber carrierIndex{*this, 0};

  // "Original" clears originalArtist; then sets contentType.
  void setContentType(const std::string& value);
  // Trims blanks and control characters from both ends; a non-empty name
  // turns an "Original" into a "Remix".
  void setOriginalArtist(const std::string& value);

  // "<type> <n>", or for records and cassettes "<type> <medium> Seite <side>".
  static std::string formatCarrierIndex(int32_t index, const std::string& type);

  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // What writeTo writes for a title with these fields.
  struct StoredFields {
    std::string_view name;
    std::string_view artist;
    std::string_view url;
    int32_t track = 0;
    std::string_view contentType;
    std::string_view originalArtist;
    std::string_view film;
    int32_t carrierIndex = 0;
  };
  static void writeFields(TFile& file, const StoredFields& fields);
  // toString() of a title with these fields on a carrier of `carrierType`
  // (nullptr when it is on none), appended to `out`.
  static void appendText(std::string& out, const StoredFields& fields, const std::string* carrierType);
  // Writes a title of these fields as writeTPObject writes a TTitle: its
  // class name, then its block.
  static void writeStored(TFile& file, const StoredFields& fields);
  void initialize() override;
  std::string fileHeader() const override;

  // Reads a "TITLE" element without the setters' side effects. Every failure
  // is raised as EDomException "TTitle.fromXML: (Class) message".
  void fromXML(TDomElement* element) override;
  // Raises IOException "TTitle.toXML: title '<name>': " + unwritableXml() + "."
  // for a title XML cannot hold.
  TDomElement* toXML(TDomDocument* document) override;
  // Empty when XML holds every text of the title; otherwise the clause naming
  // the first field it cannot hold (modelxml::unwritableText).
  std::string unwritableXml() const;
};
