// The start-up steps of the current model. tocStartUp registers the table of
// contents classes, dataStartUp the model's other persistent classes (so the
// file reader can recreate them by their stored names) and fetches the
// diagnostics channels "vosko" and "performance". Both run in the program's
// start-up sequence, after the diagnostics' own step and before any file is read.
#pragma once

#include "platform/export.h"

VOSKO_API void tocStartUp();
VOSKO_API void dataStartUp();
