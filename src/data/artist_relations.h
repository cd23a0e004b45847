// TArtistRelations, the artist-relations database: named TArtistRelation
// objects in a string table, which the database owns with its relations.
// Its binary file is the header
// "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]" and the
// table (object "TStringtable"); its XML form a "VOSKO" element whose
// VERSION is that header, with one "ARTISTRELATION" child per relation.
// The behaviour is the one the legacy formats share
// (artist_relations_template.h); this file gives it the current name.
#pragma once

#include "data/artist_relation.h"

using TArtistRelations = TArtistRelationsOf<ArtistRelationNames>;

extern template class TArtistRelationsOf<ArtistRelationNames>;
