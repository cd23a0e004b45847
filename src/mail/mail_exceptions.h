// The mail layer's exceptions: a malformed address, and the text of a failed
// delivery handed to the error events.
#pragma once

#include "basis/exceptions.h"

// An address that TMailAddress refuses, or a text that holds none.
VOSKO_EXCEPTION(IllegalMailAddressException, IllegalArgumentException);
// A delivery that failed, naming its step; it reaches the error events, never
// the caller of send().
VOSKO_EXCEPTION(MailTransportException, IOException);
