// TDebugReaders, the list of the readers of a channel's binary files. It owns
// its readers (debug_list.h) and, like the other lists, reports its failures
// as internal errors.
#pragma once

#include <memory>

#include "debug/debug_list.h"
#include "platform/export.h"

class TDebugEntries;
class TDebugReader;

// The readers of a channel's binary files, owned by the list.
class VOSKO_API TDebugReaders : public TDebugList {
 public:
  VOSKO_CLASS_NAME(TDebugReaders)

  using TDebugList::get;

  // Takes the reader; a null reader is reported and ignored.
  void add(std::unique_ptr<TDebugReader> reader);
  // The reader at index, still owned by the list; null after an internal error.
  TDebugReader* get(int32_t index) const;
  // The entries of every reader in reader order, moved into one new list
  // that the caller owns. A failure is reported and the entries gathered so
  // far are returned.
  std::unique_ptr<TDebugEntries> read();
};
