// convert1_5: turns a 1.5 database into a current one (data/sound_carriers.h)
// and stores it. Every title of a 1.5 carrier gets the carrier's artist.
#pragma once

#include <memory>
#include <string>

#include "data/legacy/v1_5/manager_1_5.h"

// Loads inputFile into the manager and stores the converted database as
// outputFile; nothing is written unless every carrier converts. The manager
// is freed before the function returns, also when it fails.
void convert1_5(std::unique_ptr<TManager1_5> manager, const std::string& inputFile,
                const std::string& outputFile);
