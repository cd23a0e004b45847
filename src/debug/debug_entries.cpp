#include "debug/debug_entries.h"

TDebugEntries::TDebugEntries() { TDebugEntries::initialize(); }

void TDebugEntries::initialize() {
  TArrayList::initialize();
  setOwnsObjects(true);
}
