// The format 2.5, the oldest of the object-file formats: no content types,
// original artists, films or images, placeholder texts as initial values, XML
// values as child elements and no XML version. Its carrier traces its
// creation and has addTitle; its title is also an HTML persistent.
// Everything else is the object-file model of object_format.h.
#pragma once

#include <string>

#include "basis/xml_persistent.h"
#include "data/legacy/objects/object_format.h"
#include "data/legacy/v2_5/artist_relations_2_5.h"
#include "data/legacy/v2_5/config_2_5.h"

// The 2.5 title is also an HTML persistent; its table row stays empty.
class TTitleBase2_5 : public THTMLPersistent {
 public:
  // A new, empty "TR" element.
  TDomElement* toHTML(TDomDocument* document) override;
};

struct Format2_5 {
  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5]";
  static constexpr const char* kTitleName = "TTitle2_5";
  static constexpr const char* kCarrierName = "TSoundCarrier2_5";
  static constexpr const char* kCarriersName = "TSoundCarriers2_5";

  using TitleBase = TTitleBase2_5;
  using Config = TConfig2_5;
  using Relation = TArtistRelation2_5;
  using Relations = TArtistRelations2_5;

  using TitleFields = NoMoreFields;
  using CarrierFields = NoMoreFields;
  static constexpr StringFields<TitleFields, 0> kTitleFields{};
  static constexpr StringFields<CarrierFields, 0> kCarrierFields{};
  static constexpr TitleInitials kTitleInitials{"<unknown name>", "<unknown url>", "<unknown artist>"};
  static constexpr CarrierInitials kCarrierInitials{"<unknown name>", "<unknown label>", "<unknown artist>",
                                                    "<unknown type>", "<no notes>"};

  static constexpr bool kValuesAsElements = true;
  static constexpr const char* kXmlVersion = nullptr;
  static constexpr bool kTracesCreation = true;
  static constexpr bool kAddTitle = true;
  static constexpr bool kSplitArtist = false;

  static constexpr const char* kTitleTagError = "TTitle2_5.fromXML: Illegal base tag for vosko a title.";
  static constexpr const char* kTrackErrorPrefix = "";
  static constexpr const char* kCarrierTagError = "Illegal base tag for a vosko carrier.";
  static constexpr const char* kDatabaseTagError = "Illegal base tag for a vosko database.";
  static constexpr const char* kXmlVersionError = nullptr;
};
