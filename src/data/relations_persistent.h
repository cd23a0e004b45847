// TRelationsPersistent, the common base of the artist-relations classes: it
// gives them the file header of the relations database and reads the string
// tables they keep, checking that the file holds what they rely on.
#pragma once

#include <memory>
#include <string>

#include "basis/xml_persistent.h"
#include "platform/export.h"

class TFile;
class TStringtable;

// The base of the artist-relation classes: the relations database's file
// header and a checked reading of stored string tables.
class VOSKO_API TRelationsPersistent : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TRelationsPersistent)

  static constexpr const char* kFileHeader = "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]";

  std::string fileHeader() const override { return kFileHeader; }

 protected:
  // Reads the next object, which must be a TStringtable with TString keys;
  // the table owns its keys and values. Anything else is freed with all it
  // holds and raises IOException "<where>: Object is no TStringtable." or
  // "<where>: Illegal key: <Class>.".
  static std::unique_ptr<TStringtable> readStringtable(TFile& file, const std::string& where);
};
