// TDebugWriter, the destination of a channel's records. A channel hands each
// record that passes its level filter to every writer of its list in turn
// (debug_writers.h). The entry given to write() stays the caller's; a writer
// that keeps it keeps a clone. Writers raise their failures as
// IOException "<Writer>.write: (Class) message"; the channel turns them into
// internal errors.
#pragma once

#include "debug/debug_object.h"
#include "platform/export.h"

class TDebugEntry;

// The destination of a channel's records.
class VOSKO_API TDebugWriter : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TDebugWriter)

  virtual void write(const TDebugEntry& entry) = 0;
};
