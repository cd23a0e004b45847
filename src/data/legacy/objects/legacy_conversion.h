// The frame that the conversions of the formats 2.5, 2.5.3 and 2.5.5 share:
// the class-name map that reads an old file into the version's classes, and
// the run from the loaded source to the stored current database. Each
// version supplies only its per-carrier rules.
//
// Ownership: the frame owns the source it is given and the map, and releases
// them in the order map, source when it returns, also when a step raises.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "basis/hashtable.h"
#include "data/carrier_writer.h"
#include "data/sound_carrier.h"
#include "data/title.h"

// The classes of one legacy version that the stored names "TTitle",
// "TSoundCarrier" and "TSoundCarriers" stand for.
struct LegacyClassNames {
  const char* title;
  const char* carrier;
  const char* carriers;
};

// A table owning its TString keys and values, filled in the order title,
// carrier, database.
std::unique_ptr<THashtable> makeClassNameMap(const LegacyClassNames& names);

// Builds the current carrier (with its titles) for one source carrier.
using CarrierConversion = std::function<std::unique_ptr<TSoundCarrier>(TMappedObject& sourceCarrier)>;

// Loads `inputFile` into `source` through the class-name map, converts every
// source carrier in order and writes each to `output` as it is made (the
// bytes TSoundCarriers::store writes for all of them). Nothing is put in
// place unless the whole input was read and converted.
void convertLegacyDatabase(std::unique_ptr<TArrayList> source, const LegacyClassNames& names,
                           const std::string& inputFile, const CarrierTarget& output,
                           const CarrierConversion& convertCarrier);

// Adds the title to the carrier, which owns it from then on (the title is
// freed when add refuses it).
void addConvertedTitle(TSoundCarrier& carrier, std::unique_ptr<TTitle> title);
