// The format 2.5.5: 2.5.3 with films for titles and images for carriers;
// a "Split" carrier assembles its artist from its titles; the XML database's
// VERSION is "1.0.0".
// Everything else is the object-file model of object_format.h.
#pragma once

#include <string>

#include "basis/xml_persistent.h"
#include "data/legacy/objects/object_format.h"
#include "data/legacy/v2_5_5/artist_relations_2_5_5.h"
#include "data/legacy/v2_5_5/config_2_5_5.h"

struct Format2_5_5 {
  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.5]";
  static constexpr const char* kTitleName = "TTitle2_5_5";
  static constexpr const char* kCarrierName = "TSoundCarrier2_5_5";
  static constexpr const char* kCarriersName = "TSoundCarriers2_5_5";

  using TitleBase = TXMLPersistent;
  using Config = TConfig2_5_5;
  using Relation = TArtistRelation2_5_5;
  using Relations = TArtistRelations2_5_5;

  struct TitleFields {
    std::string contentType;
    std::string originalArtist;
    std::string film;
  };
  struct CarrierFields {
    // "Split" matters to getArtist.
    std::string contentType;
    std::string image;
    std::string printImage;
  };
  static constexpr StringFields<TitleFields, 3> kTitleFields{
      {{&TitleFields::contentType, u"CONTENTTYPE", "Original"},
       {&TitleFields::originalArtist, u"ORIGINALARTIST", ""},
       {&TitleFields::film, u"FILM", ""}}};
  static constexpr StringFields<CarrierFields, 3> kCarrierFields{
      {{&CarrierFields::contentType, u"CONTENTTYPE", "Album"},
       {&CarrierFields::image, u"IMAGE", ""},
       {&CarrierFields::printImage, u"PRINTIMAGE", ""}}};
  static constexpr TitleInitials kTitleInitials{"", "<unknown url>", ""};
  static constexpr CarrierInitials kCarrierInitials{"", "", "", "Compact Disc", ""};

  static constexpr bool kValuesAsElements = false;
  static constexpr const char* kXmlVersion = "1.0.0";
  static constexpr bool kTracesCreation = false;
  static constexpr bool kAddTitle = false;
  static constexpr bool kSplitArtist = true;

  static constexpr const char* kTitleTagError = "TTitle2_5_5.fromXML: Illegal base tag for a vosko title.";
  static constexpr const char* kTrackErrorPrefix = "TTitle2_5_5.fromXML: Illegal track number: ";
  static constexpr const char* kCarrierTagError =
      "TSoundCarrier2_5_5.fromXML: Illegal base tag for a vosko carrier.";
  static constexpr const char* kDatabaseTagError =
      "TSoundCarriers2_5_5.fromXML: Illegal base tag for a vosko database.";
  static constexpr const char* kXmlVersionError =
      "TSoundCarriers2_5_5.fromXML: Illegal version of a vosko XML database.";
};
