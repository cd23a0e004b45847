// The artist-relation classes of format 2.5.3: TRelationsPersistent2_5_3,
// TArtistRelation2_5_3 and TArtistRelations2_5_3, the shared legacy
// relation classes under this version's names (see data/artist_relations_template.h).
#pragma once

#include "data/artist_relations_template.h"

struct ArtistRelationNames2_5_3 {
  using Persistent = TRelationsPersistentOf<ArtistRelationNames2_5_3>;
  static constexpr const char* kPersistent = "TRelationsPersistent2_5_3";
  static constexpr const char* kRelation = "TArtistRelation2_5_3";
  static constexpr const char* kRelations = "TArtistRelations2_5_3";
};

using TRelationsPersistent2_5_3 = TRelationsPersistentOf<ArtistRelationNames2_5_3>;
using TArtistRelation2_5_3 = TArtistRelationOf<ArtistRelationNames2_5_3>;
using TArtistRelations2_5_3 = TArtistRelationsOf<ArtistRelationNames2_5_3>;

extern template class TArtistRelationOf<ArtistRelationNames2_5_3>;
extern template class TArtistRelationsOf<ArtistRelationNames2_5_3>;
