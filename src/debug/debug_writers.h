// TDebugWriters, the list of the writers that receive a channel's records,
// in order. It owns its writers (debug_list.h); write() is the one operation
// of the lists that raises, so that the channel can report a writer's failure.
#pragma once

#include <memory>

#include "debug/debug_list.h"
#include "platform/export.h"

class TDebugEntry;
class TDebugWriter;

// The writers a channel hands each record to, in order, owned by the list.
class VOSKO_API TDebugWriters : public TDebugList {
 public:
  VOSKO_CLASS_NAME(TDebugWriters)

  using TDebugList::get;

  // Takes the writer; a null writer is reported and ignored.
  void add(std::unique_ptr<TDebugWriter> writer);
  // The writer at index, still owned by the list; null after an internal error.
  TDebugWriter* get(int32_t index) const;
  // Every writer's write in list order. The first failure stops the loop and
  // is raised as IOException "TDebugWriters.write(TDebugEntry): (Class) message".
  void write(const TDebugEntry& entry);
};
