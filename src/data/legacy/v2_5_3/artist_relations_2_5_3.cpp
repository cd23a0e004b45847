#include "data/legacy/v2_5_3/artist_relations_2_5_3.h"

#include "data/artist_relations_template_impl.h"

template class TArtistRelationOf<ArtistRelationNames2_5_3>;
template class TArtistRelationsOf<ArtistRelationNames2_5_3>;
