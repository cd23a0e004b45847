#include "debug/trace_entry.h"

std::string TTraceEntry::toString() const { return TDebugEntry::toString() + message_; }

std::unique_ptr<TMappedObject> TTraceEntry::clone() const {
  return std::make_unique<TTraceEntry>(message_, time_, referenceTime_, level_, verboseMode_, channelName_);
}
