// The artist-relation classes of format 2.5.5: TRelationsPersistent2_5_5,
// TArtistRelation2_5_5 and TArtistRelations2_5_5, the shared legacy
// relation classes under this version's names (see data/artist_relations_template.h).
#pragma once

#include "data/artist_relations_template.h"

struct ArtistRelationNames2_5_5 {
  using Persistent = TRelationsPersistentOf<ArtistRelationNames2_5_5>;
  static constexpr const char* kPersistent = "TRelationsPersistent2_5_5";
  static constexpr const char* kRelation = "TArtistRelation2_5_5";
  static constexpr const char* kRelations = "TArtistRelations2_5_5";
};

using TRelationsPersistent2_5_5 = TRelationsPersistentOf<ArtistRelationNames2_5_5>;
using TArtistRelation2_5_5 = TArtistRelationOf<ArtistRelationNames2_5_5>;
using TArtistRelations2_5_5 = TArtistRelationsOf<ArtistRelationNames2_5_5>;

extern template class TArtistRelationOf<ArtistRelationNames2_5_5>;
extern template class TArtistRelationsOf<ArtistRelationNames2_5_5>;
