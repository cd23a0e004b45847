// The format 2.5.3: content types for carriers and titles and original
// artists for titles; XML values as attributes, the database's VERSION being
// the file header.
// Everything else is the object-file model of object_format.h.
#pragma once

#include <string>

#include "basis/xml_persistent.h"
#include "data/legacy/objects/object_format.h"
#include "data/legacy/v2_5_3/artist_relations_2_5_3.h"
#include "data/legacy/v2_5_3/config_2_5_3.h"

struct Format2_5_3 {
  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.3]";
  static constexpr const char* kTitleName = "TTitle2_5_3";
  static constexpr const char* kCarrierName = "TSoundCarrier2_5_3";
  static constexpr const char* kCarriersName = "TSoundCarriers2_5_3";

  using TitleBase = TXMLPersistent;
  using Config = TConfig2_5_3;
  using Relation = TArtistRelation2_5_3;
  using Relations = TArtistRelations2_5_3;

  struct TitleFields {
    std::string contentType;
    std::string originalArtist;
  };
  struct CarrierFields {
    std::string contentType;
  };
  static constexpr StringFields<TitleFields, 2> kTitleFields{
      {{&TitleFields::contentType, u"CONTENTTYPE", "Original"},
       {&TitleFields::originalArtist, u"ORIGINALARTIST", ""}}};
  static constexpr StringFields<CarrierFields, 1> kCarrierFields{
      {{&CarrierFields::contentType, u"CONTENTTYPE", "Album"}}};
  static constexpr TitleInitials kTitleInitials{"", "<unknown url>", ""};
  static constexpr CarrierInitials kCarrierInitials{"", "", "", "Compact Disc", ""};

  static constexpr bool kValuesAsElements = false;
  static constexpr const char* kXmlVersion = kFileHeader;
  static constexpr bool kTracesCreation = false;
  static constexpr bool kAddTitle = false;
  static constexpr bool kSplitArtist = false;

  static constexpr const char* kTitleTagError = "TTitle2_5_3.fromXML: Illegal base tag for a vosko title.";
  static constexpr const char* kTrackErrorPrefix = "";
  static constexpr const char* kCarrierTagError =
      "TSoundCarrier2_5_3.fromXML: Illegal base tag for a vosko carrier.";
  static constexpr const char* kDatabaseTagError =
      "TSoundCarriers2_5_3.fromXML: Illegal base tag for a vosko database.";
  static constexpr const char* kXmlVersionError =
      "TSoundCarriers2_5_3.fromXML: Illegal version of a vosko database.";
};
