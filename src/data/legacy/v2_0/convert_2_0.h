// convert2_0: turns a 2.0 database into a current one (data/sound_carriers.h)
// and stores it. A 2.0 carrier has no artist of its own; it takes the artist
// of its titles, or becomes a sampler when they differ.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/carrier_writer.h"
#include "data/legacy/v2_0/manager_2_0.h"

// True when the carrier's first title has an artist (not -1) and another of
// its titles has a different artist id.
bool mixedArtists(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier);
// The artist id of the carrier's first title; -1 for a carrier without
// titles or with mixed artists.
int32_t carrierArtistId(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier);

// Loads inputFile into the manager and writes the converted database to
// `output` (a file, or a consumer of its carriers); nothing is put in place unless every carrier converts.
// The manager is freed before the function returns, also when it fails. The conversion reads the file's bytes
// directly where it can (convertBytes2_0), and the loaded records otherwise, with the same output.
void convert2_0(std::unique_ptr<TManager2_0> manager, const std::string& inputFile,
                const CarrierTarget& output);

// The two ways of convert2_0 on their own, for the tests that hold them to
// the same output. convertBytes2_0 answers false, with nothing written, for
// any database it does not take; convertLoaded2_0 loads inputFile into the
// manager and reports every failure.
bool convertBytes2_0(const std::string& inputFile, const CarrierTarget& output);
void convertLoaded2_0(TManager2_0& manager, const std::string& inputFile, const CarrierTarget& output);

// convert2_0 without the manager, whose settings the conversion never uses:
// the same output for a reader that must not consult the settings store.
void convertCarriers2_0(const std::string& inputFile, const CarrierTarget& output);
