#include "data/legacy/v2_5_3/start_up_2_5_3.h"

#include "basis/class_registry.h"
#include "data/legacy/v2_5_3/artist_relations_2_5_3.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "debug/channel_pool.h"

void legacy2_5_3StartUp() {
  ClassRegistry::registerClass<TTitle2_5_3>();
  ClassRegistry::registerClass<TSoundCarrier2_5_3>();
  ClassRegistry::registerClass<TSoundCarriers2_5_3>();
  ClassRegistry::registerClass<TArtistRelation2_5_3>();
  ClassRegistry::registerClass<TArtistRelations2_5_3>();
  TChannelPool::getChannel("vosko");
  TChannelPool::getChannel("performance");
}
