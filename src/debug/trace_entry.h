// TTraceEntry, the progress record that TChannel::trace makes: the prefix
// and the caller's message on one line. No fields beyond TDebugEntry's.
#pragma once

#include "debug/debug_entry.h"
#include "platform/export.h"

// The progress record of a channel: the prefix and the caller's message.
class VOSKO_API TTraceEntry : public TDebugEntry {
 public:
  VOSKO_CLASS_NAME(TTraceEntry)

  using TDebugEntry::TDebugEntry;

  // Prefix + message, without a line break.
  std::string toString() const override;
  std::unique_ptr<TMappedObject> clone() const override;
};
