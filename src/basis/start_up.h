// The foundation library's start-up step: registers its persistent classes
// and seeds the random-number generator. Runs first in the program's
// start-up sequence, before any file is read.
#pragma once

#include "platform/export.h"

VOSKO_API void basisStartUp();
