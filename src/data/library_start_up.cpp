#include "data/library_start_up.h"

#include "basis/start_up.h"
#include "data/data_start_up.h"
#include "debug/channel_pool.h"
#include "platform/temp_files.h"

void libraryStartUp() {
  platform::platformStartUp();
  basisStartUp();
  debugStartUp();
  tocStartUp();
  dataStartUp();
}

void libraryShutDown() { shutdownDebug(); }
