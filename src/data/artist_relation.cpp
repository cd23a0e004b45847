#include "data/artist_relation.h"

#include "data/artist_relations_template_impl.h"

template class TArtistRelationOf<ArtistRelationNames>;
