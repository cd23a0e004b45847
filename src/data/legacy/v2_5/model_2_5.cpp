// The object-file model of format 2.5, instantiated once.
#include "data/legacy/objects/object_model_impl.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"

template class TTitleOf<Format2_5>;
template class TSoundCarrierOf<Format2_5>;
template class TSoundCarriersOf<Format2_5>;

TDomElement* TTitleBase2_5::toHTML(TDomDocument* document) { return document->createElement(u"TR"); }
