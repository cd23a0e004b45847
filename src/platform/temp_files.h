// Temporary files that never outlive the process.
//
// Every temporary file that has a name is on one list while the name exists.
// At exit and on SIGINT, SIGTERM, SIGHUP and SIGQUIT the names on the list are
// removed; the signal handler then restores the previous disposition and
// raises the signal again, so the exit status still says which signal ended
// the program. The list has a fixed number of slots holding fixed-size paths
// and is consistent at every instant, since the handler may run at any time
// and may only call unlink. Each entry records the pid that made it, so a
// forked child never removes its parent's files.
#pragma once

#include <csignal>
#include <string>

#include "platform/export.h"

namespace platform {

// Installs the exit and signal handlers once, ignores SIGPIPE (a closed pipe
// shows as a failed write instead of ending the run) and opens /dev/null on
// any of the standard descriptors 0 to 2 that is closed, so that no file the
// program opens can take their place. Runs first in the start-up sequence.
VOSKO_API void platformStartUp();

// Adds a path to the list; returns its slot, or -1 when the list is full or
// the path too long, in which case the file is left unguarded.
VOSKO_API int registerTempFile(const std::string& path);
// Takes a slot off the list (nothing happens for -1).
VOSKO_API void unregisterTempFile(int slot);

// Blocks the cleanup signals for its lifetime, so that creating a file and
// putting its name on the list happen as one step.
class VOSKO_API CleanupSignalsBlocked {
 public:
  CleanupSignalsBlocked();
  ~CleanupSignalsBlocked();
  CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
  CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace platform
