// The mail layer's exceptions: a malformed address, and the text of a failed
// delivery handed to the error events.
#pragma once

#include "basis/exceptions.h"

VOSKO_EXCEPTION(IllegalMailAddressException, IllegalArgumentException);
VOSKO_EXCEPTION(MailTransportException, IOException);
