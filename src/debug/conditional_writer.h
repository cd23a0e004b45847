// TConditionalWriter, the base of writers with a level threshold of their
// own (the mail writer): a descendant writes an entry only when the entry's
// level is at most the writer's level.
#pragma once

#include <cstdint>

#include "debug/debug_writer.h"
#include "platform/export.h"

// A writer that passes on only the entries up to a level of its own.
class VOSKO_API TConditionalWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TConditionalWriter)

  explicit TConditionalWriter(int32_t level) : level_(level) {}

  int32_t getLevel() const { return level_; }
  void setLevel(int32_t level) { level_ = level; }

 protected:
  // True when an entry of entryLevel passes this writer's threshold.
  bool accepts(int32_t entryLevel) const { return entryLevel <= level_; }

  int32_t level_;
};
