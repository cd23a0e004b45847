// Helpers of the mail tests: running the thread's event loop for a bounded
// time, and a current directory holding a "system.properties" of the test's
// own (the mail layer reads its settings from the current directory).
#pragma once

#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/event_loop.h"
#include "test_util.h"

namespace testutil {

// Runs the loop until done() holds or the limit has passed; true when done.
template <class Done>
bool runLoopUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  asio::io_context& loop = platform::eventLoop();
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    loop.restart();
    if (loop.run_one_for(std::chrono::milliseconds(20)) == 0 && loop.stopped()) {
      // No handler at all: only another thread (the peer) can change things.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return true;
}

// Runs the loop for the whole duration (to see that nothing happens).
inline void runLoopFor(std::chrono::milliseconds duration) {
  runLoopUntil([] { return false; }, duration);
}

// The test runs in a fresh directory; the previous one is restored at the end.
class SettingsDir {
 public:
  SettingsDir() {
    char buf[4096];
    previous_ = getcwd(buf, sizeof buf) != nullptr ? buf : ".";
    if (chdir(dir_.path().c_str()) != 0) previous_.clear();
  }
  ~SettingsDir() {
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) previous_.clear();
  }
  SettingsDir(const SettingsDir&) = delete;
  SettingsDir& operator=(const SettingsDir&) = delete;

  void write(const std::string& text) const { writeFile(dir_.file("system.properties"), text); }
  // Mail switched on, to the peer's port on this machine.
  void enableMail(uint16_t port, const std::string& from = "Vosko Debug <debug@example.org>") const {
    write(
        "system.mail-enabled = true\n"
        "system.smtp-host.address = 127.0.0.1\n"
        "system.smtp-host.port = " +
        std::to_string(port) +
        "\n"
        "system.from-header = " +
        from + "\n");
  }

 private:
  TempDir dir_;
  std::string previous_;
};

}  // namespace testutil
