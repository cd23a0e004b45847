// The object-file model of format 2.5.3, instantiated once.
#include "data/legacy/objects/object_model_impl.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"

template class TTitleOf<Format2_5_3>;
template class TSoundCarrierOf<Format2_5_3>;
template class TSoundCarriersOf<Format2_5_3>;
