#include "app/reported_run.h"

#include <cerrno>
#include <exception>

#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "platform/console.h"
#include "platform/exception.h"

int runReported(const std::string& prefix, const std::function<int()>& work) {
  // The channel is fetched before the work starts so that a failure of the
  // first console line is reported like any other.
  TChannel* channel = TChannelPool::getChannel("vosko");
  // The report quotes errno as the failure's system message: what was left
  // from before the work (a configuration file looked for and not found)
  // belongs to no failure of it.
  errno = 0;
  try {
    return work();
  } catch (const EOutputClosed&) {
    // Whoever read the output has all they wanted (`voskodb dump x | head`).
    return 0;
  } catch (const Exception& e) {
    channel->error(&e, prefix + e.message(), 1);
  } catch (const std::exception& e) {
    channel->error(&e, prefix + platform::exceptionMessage(e), 1);
  }
  return 1;
}
