// The fault loop every writer of a named file must pass: the n-th write, the
// n-th sync and the n-th rename fail in turn, for every n the operation
// reaches, with unnamed and with named temporary files; after each run the
// target is the old file or (only when the operation succeeded) the complete
// new one, and no temporary file is left beside it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/os_file.h"
#include "test_util.h"

namespace testutil {

// restore() puts the old state in place; write() runs the operation and may throw.
inline void expectOldOrNewUnderFaults(const TempDir& dir, const std::string& target,
                                      const std::function<void()>& restore,
                                      const std::function<void()>& write) {
  namespace faults = platform::faults;
  for (bool named : {false, true}) {
    restore();
    const std::string oldBytes = exists(target) ? readFile(target) : "";
    const std::vector<std::string> oldEntries = dir.entries();
    faults::reset();
    faults::withoutUnnamedFiles(named);
    write();
    const long calls[] = {faults::writeCalls(), faults::syncCalls(), faults::renameCalls()};
    const std::string newBytes = readFile(target);
    const std::vector<std::string> newEntries = dir.entries();
    ASSERT_NE(oldBytes, newBytes) << "the operation must change the file";
    for (int kind = 0; kind < 3; ++kind) {
      for (long n = 1; n <= calls[kind] + 1; ++n) {
        restore();
        faults::reset();
        faults::withoutUnnamedFiles(named);
        (kind == 0 ? faults::failNthWrite : kind == 1 ? faults::failNthSync : faults::failNthRename)(n);
        bool failed = false;
        try {
          write();
        } catch (...) {
          failed = true;
        }
        faults::reset();
        const std::string where = std::string(named ? "named, " : "unnamed, ") +
                                  (kind == 0   ? "write "
                                   : kind == 1 ? "sync "
                                               : "rename ") +
                                  std::to_string(n);
        EXPECT_EQ(failed, n <= calls[kind]) << where;
        EXPECT_EQ(exists(target) ? readFile(target) : "", failed ? oldBytes : newBytes) << where;
        EXPECT_EQ(dir.entries(), failed ? oldEntries : newEntries) << where;
      }
    }
  }
  faults::reset();
}

}  // namespace testutil
