// TDebugEntries, the persistent list of debug entries: the content of a
// binary debug file and of the list writer. It owns its entries.
//
// File: the 58-byte header "[Application:debug.Type:DebugEntries-Database.Version:1.0]",
// then the list's block: an integer count and each entry as its class name
// ("TTraceEntry", "TErrorEntry") and its own block (debug_entry.h).
#pragma once

#include <string>

#include "basis/array_list.h"
#include "platform/export.h"

// The owning list of debug entries that a binary debug file holds.
class VOSKO_API TDebugEntries : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TDebugEntries)

  static constexpr const char* kFileHeader = "[Application:debug.Type:DebugEntries-Database.Version:1.0]";

  TDebugEntries();

  // Sets owns-objects, also for a list that the class registry made.
  void initialize() override;
  std::string fileHeader() const override { return kFileHeader; }
};
