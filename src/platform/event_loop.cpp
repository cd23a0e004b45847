#include "platform/event_loop.h"

namespace platform {

asio::io_context& eventLoop() {
  static asio::io_context loop(1);
  return loop;
}

}  // namespace platform
