#include "app/start_up.h"

#include "basis/start_up.h"
#include "data/data_start_up.h"
#include "data/legacy/v2_5/start_up_2_5.h"
#include "data/legacy/v2_5_3/start_up_2_5_3.h"
#include "data/legacy/v2_5_5/start_up_2_5_5.h"
#include "debug/channel_pool.h"
#include "platform/temp_files.h"

void startUp() {
  platform::platformStartUp();
  basisStartUp();
  debugStartUp();
  tocStartUp();
  dataStartUp();
  legacy2_5StartUp();
  legacy2_5_3StartUp();
  legacy2_5_5StartUp();
}

void shutDown() { shutdownDebug(); }
