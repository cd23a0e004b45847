#include "platform/temp_files.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr int kSlots = 16;
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

enum SlotState : int { kFree = 0, kFilling = 1, kActive = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  pid_t owner = 0;
  char path[PATH_MAX] = {};
};

std::array<Slot, kSlots> slots;
struct sigaction previousActions[NSIG];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slot states");

// Async-signal-safe: reads the slot states and calls getpid and unlink only.
void removeAll() {
  pid_t self = ::getpid();
  for (Slot& slot : slots) {
    if (slot.state.load() == kActive && slot.owner == self) ::unlink(slot.path);
  }
}

void onSignal(int signal) {
  int savedErrno = errno;
  removeAll();
  ::sigaction(signal, &previousActions[signal], nullptr);
  ::raise(signal);  // delivered once the handler returns, as the signal is blocked until then
  errno = savedErrno;
}

void onExit() { removeAll(); }

void openStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
}

}  // namespace

void platformStartUp() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  openStandardDescriptors();
  std::signal(SIGPIPE, SIG_IGN);
  std::atexit(onExit);
  for (int signal : kCleanupSignals) {
    struct sigaction previous {};
    ::sigaction(signal, nullptr, &previous);
    // A signal ignored by whoever started us (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    previousActions[signal] = previous;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

int registerTempFile(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[static_cast<size_t>(i)];
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.owner = ::getpid();
    slot.state.store(kActive);
    return i;
  }
  return -1;
}

void unregisterTempFile(int slot) {
  if (slot >= 0 && slot < kSlots) slots[static_cast<size_t>(slot)].state.store(kFree);
}

CleanupSignalsBlocked::CleanupSignalsBlocked() {
  sigset_t block;
  sigemptyset(&block);
  for (int signal : kCleanupSignals) sigaddset(&block, signal);
  ::pthread_sigmask(SIG_BLOCK, &block, &previous_);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace platform
