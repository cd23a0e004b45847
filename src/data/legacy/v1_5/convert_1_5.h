// convert1_5: turns a 1.5 database into a current one (data/sound_carriers.h)
// and stores it. Every title of a 1.5 carrier gets the carrier's artist.
#pragma once

#include <memory>
#include <string>

#include "data/carrier_writer.h"
#include "data/legacy/v1_5/manager_1_5.h"

// Loads inputFile into the manager and writes the converted database to
// `output` (a file, or a consumer of its carriers); nothing is put in place unless every carrier converts.
// The manager is freed before the function returns, also when it fails. The conversion reads the file's bytes
// directly where it can (convertBytes1_5), and the loaded records otherwise, with the same output.
void convert1_5(std::unique_ptr<TManager1_5> manager, const std::string& inputFile,
                const CarrierTarget& output);

// The two ways of convert1_5 on their own, for the tests that hold them to
// the same output. convertBytes1_5 answers false, with nothing written, for
// any database it does not take; convertLoaded1_5 loads inputFile into the
// manager and reports every failure.
bool convertBytes1_5(const std::string& inputFile, const CarrierTarget& output);
void convertLoaded1_5(TManager1_5& manager, const std::string& inputFile, const CarrierTarget& output);

// convert1_5 without the manager, whose settings the conversion never uses:
// the same output for a reader that must not consult the settings store.
void convertCarriers1_5(const std::string& inputFile, const CarrierTarget& output);
