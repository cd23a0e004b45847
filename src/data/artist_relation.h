// TArtistRelation, one named relation between artists: for each first artist
// the set of second artists it is related to. The relation owns its table,
// the table its artist names and their TStringSet objects.
//
// Stored as name, symmetric (byte) and the table (object "TStringtable"); in
// XML as an "ARTISTRELATION" element with "FIRSTARTIST" children, each with
// its "SECONDARTIST" children. The behaviour is the one the legacy formats
// share (artist_relations_template.h); this file gives it the current names.
#pragma once

#include "data/artist_relations_template.h"
#include "data/relations_persistent.h"
#include "platform/export.h"

// The current artist-relation classes' names, stored in relation files and
// quoted in messages; the classes derive from TRelationsPersistent itself.
struct VOSKO_API ArtistRelationNames {
  using Persistent = TRelationsPersistent;
  static constexpr const char* kRelation = "TArtistRelation";
  static constexpr const char* kRelations = "TArtistRelations";
};

using TArtistRelation = TArtistRelationOf<ArtistRelationNames>;

extern template class TArtistRelationOf<ArtistRelationNames>;
