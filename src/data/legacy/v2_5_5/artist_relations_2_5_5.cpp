#include "data/legacy/v2_5_5/artist_relations_2_5_5.h"

#include "data/artist_relations_template_impl.h"

template class TArtistRelationOf<ArtistRelationNames2_5_5>;
template class TArtistRelationsOf<ArtistRelationNames2_5_5>;
