// TDebugReader reads the entries back from where a writer put them
// (file_reader.h for a named file). read() hands the caller a new list, or
// null when there is nothing to read.
#pragma once

#include <memory>

#include "debug/debug_object.h"
#include "platform/export.h"

class TDebugEntries;

// Reads back the entries that a writer put somewhere.
class VOSKO_API TDebugReader : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TDebugReader)

  virtual std::unique_ptr<TDebugEntries> read() = 0;
};
