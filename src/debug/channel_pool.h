// The diagnostics module: the process-wide pool of channels, the three
// shared writers, and the module's start-up and shutdown.
//
// Ownership: the pool owns its channels; the module owns the pool (made by
// the first getChannel) and the shared writers (made by debugStartUp). All
// of them live until shutdownDebug; pointers handed out are not owned by
// the caller and are invalid after it.
#pragma once

#include <string>

#include "basis/hashtable.h"
#include "debug/debug_object.h"
#include "platform/export.h"

class TChannel;
class TDialogWriter;
class TListWriter;
class TSystemOutWriter;

// The channels of the process by name, letter case ignored; it owns them.
class VOSKO_API TChannelPool : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TChannelPool)

  TChannelPool();
  ~TChannelPool() override;

  // get(name) of the process-wide pool, which is made when there is none.
  static TChannel* getChannel(const std::string& name);

  // The channel of that name, letter case ignored; made and configured at
  // its first request, keeping the name as written then.
  TChannel* get(const std::string& name);

 private:
  // Lower-cased channel name (TString) to TChannel; owns both.
  THashtable channels_{true};
};

// Registers the persistent entry classes and makes the shared writers.
VOSKO_API void debugStartUp();
// "system.mail-shutdown-timeout" in debug.properties: how long shutdownDebug
// waits for queued mail, in seconds.
inline constexpr const char* kKeyMailShutdownTimeout = "system.mail-shutdown-timeout";
inline constexpr int kDefaultMailShutdownTimeout = 30;

// First runs the event loop until every queued mail is delivered or given
// up, for at most "system.mail-shutdown-timeout" seconds; then frees the
// pool (with every channel, writer and reader), then the dialog, console
// and list writers; each reference is null afterwards. A later getChannel
// makes a new pool. Calling it twice is harmless.
VOSKO_API void shutdownDebug();

// The shared writers, for callers that pass one as the extra writer of
// TChannel::error; null outside debugStartUp..shutdownDebug.
VOSKO_API TDialogWriter* dialogWriter();
VOSKO_API TSystemOutWriter* systemOutWriter();
VOSKO_API TListWriter* listWriter();
