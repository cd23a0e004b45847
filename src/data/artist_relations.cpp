#include "data/artist_relations.h"

#include "data/artist_relations_template_impl.h"

template class TArtistRelationsOf<ArtistRelationNames>;
