// The thread's event loop. Asynchronous sockets, name lookups and timers
// complete through it, and only while somebody runs it: the program's own
// code never does, except the diagnostics' shutdown, which runs it until the
// mail queues are empty (mail/mail_queue.h).
#pragma once

#include <asio/io_context.hpp>

#include "platform/export.h"

namespace platform {

// The one io_context of the (single-threaded) program, made on first use.
VOSKO_API asio::io_context& eventLoop();

}  // namespace platform
