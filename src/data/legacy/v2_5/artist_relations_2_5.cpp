#include "data/legacy/v2_5/artist_relations_2_5.h"

#include "data/legacy/shared/legacy_artist_relations_impl.h"

template class TArtistRelationOf<ArtistRelationNames2_5>;
template class TArtistRelationsOf<ArtistRelationNames2_5>;
