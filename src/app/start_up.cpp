#include "app/start_up.h"

#include "data/legacy/v2_5/start_up_2_5.h"
#include "data/legacy/v2_5_3/start_up_2_5_3.h"
#include "data/legacy/v2_5_5/start_up_2_5_5.h"
#include "data/library_start_up.h"

void startUp() {
  libraryStartUp();
  legacy2_5StartUp();
  legacy2_5_3StartUp();
  legacy2_5_5StartUp();
}

void shutDown() { libraryShutDown(); }
