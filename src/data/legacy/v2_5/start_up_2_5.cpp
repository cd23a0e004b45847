#include "data/legacy/v2_5/start_up_2_5.h"

#include "basis/class_registry.h"
#include "data/legacy/v2_5/artist_relations_2_5.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "debug/channel_pool.h"

void legacy2_5StartUp() {
  ClassRegistry::registerClass<TTitle2_5>();
  ClassRegistry::registerClass<TSoundCarrier2_5>();
  ClassRegistry::registerClass<TSoundCarriers2_5>();
  ClassRegistry::registerClass<TArtistRelation2_5>();
  ClassRegistry::registerClass<TArtistRelations2_5>();
  TChannelPool::getChannel("vosko");
  TChannelPool::getChannel("performance");
}
