#include "data/data_start_up.h"

#include "basis/class_registry.h"
#include "data/artist_relation.h"
#include "data/artist_relations.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"
#include "debug/channel_pool.h"

void tocStartUp() {
  ClassRegistry::registerClass<TTOCTrack>();
  ClassRegistry::registerClass<TTOCData>();
}

void dataStartUp() {
  ClassRegistry::registerClass<TTitle>();
  ClassRegistry::registerClass<TTOCList>();
  ClassRegistry::registerClass<TSoundCarrier>();
  ClassRegistry::registerClass<TSoundCarriers>();
  ClassRegistry::registerClass<TArtistRelation>();
  ClassRegistry::registerClass<TArtistRelations>();
  // Configured now, so that a broken configuration is reported before any work.
  TChannelPool::getChannel("vosko");
  TChannelPool::getChannel("performance");
}
