#include "app/start_up.h"

#include <csignal>

#include "data/legacy/v2_5/start_up_2_5.h"
#include "data/legacy/v2_5_3/start_up_2_5_3.h"
#include "data/legacy/v2_5_5/start_up_2_5_5.h"
#include "data/library_start_up.h"

void startUp() {
  // A file grown past the size limit (ulimit -f) is a write that fails with
  // its reason, reported like a full disk, not a signal that ends the
  // program before it can say why or take back what it began.
  std::signal(SIGXFSZ, SIG_IGN);
  libraryStartUp();
  legacy2_5StartUp();
  legacy2_5_3StartUp();
  legacy2_5_5StartUp();
}

void shutDown() { libraryShutDown(); }
