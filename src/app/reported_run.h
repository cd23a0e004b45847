// The one place where a run of the program turns a failure into a report:
// the failure goes to channel "vosko" at level 1 ("FATAL ERROR: ") as the
// prefix followed by the exception's message, and the run ends with exit
// code 1. convertVOSKO and voskodb both end their runs here, so a failure
// reads the same whichever program met it. A reader of standard output that
// went away (EOutputClosed) ends the run quietly with 0; the report's system
// message is the error of the failure, or none.
#pragma once

#include <functional>
#include <string>

// Returns what `work` returns, or 1 when it raised an exception, which is
// then reported as `prefix` + message.
int runReported(const std::string& prefix, const std::function<int()>& work);
