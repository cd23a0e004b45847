#include "app/reported_run.h"

#include <exception>

#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "platform/exception.h"

int runReported(const std::string& prefix, const std::function<int()>& work) {
  // The channel is fetched before the work starts so that a failure of the
  // first console line is reported like any other.
  TChannel* channel = TChannelPool::getChannel("vosko");
  try {
    return work();
  } catch (const Exception& e) {
    channel->error(&e, prefix + e.message(), 1);
  } catch (const std::exception& e) {
    channel->error(&e, prefix + platform::exceptionMessage(e), 1);
  }
  return 1;
}
