// KeptErrno: errno as it was, put back when the guard goes. A probe whose
// failure is an answer (a stat of a path that may not exist, a cleanup that
// may find nothing to remove) wears one, so that a report made later shows
// the error of the failure it reports, not the probe's. A scope left by an
// exception keeps errno as the failure left it: that is the error reported.
#pragma once

#include <cerrno>
#include <exception>

namespace platform {

class KeptErrno {
 public:
  KeptErrno() : saved_(errno), exceptions_(std::uncaught_exceptions()) {}
  ~KeptErrno() {
    if (std::uncaught_exceptions() <= exceptions_) errno = saved_;
  }
  KeptErrno(const KeptErrno&) = delete;
  KeptErrno& operator=(const KeptErrno&) = delete;

 private:
  int saved_;
  int exceptions_;
};

}  // namespace platform
