// TListWriter keeps a clone of every entry it receives in memory, for as
// long as the writer lives. It owns the list and the clones in it.
#pragma once

#include <memory>

#include "debug/debug_writer.h"
#include "platform/export.h"

class TDebugEntries;

// The writer that keeps a clone of every entry in memory.
class VOSKO_API TListWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TListWriter)

  TListWriter();
  ~TListWriter() override;

  // Raises IOException "TListWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;

  // The entries received so far; still owned by the writer.
  TDebugEntries* getEntries() const { return entries_.get(); }

 private:
  std::unique_ptr<TDebugEntries> entries_;
};
