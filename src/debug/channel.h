// TChannel, a named debug channel: callers report progress with trace() and
// failures with error(); the channel filters each record by level, turns it
// into an entry stamped with the time and its name, and hands it to the
// writers its configuration attached. Channels come from the pool
// (channel_pool.h), which owns them; a channel owns its writer and reader
// lists and everything in them.
//
// Configuration is read once, when the channel is made, from
// "debug.properties" in the program's directory, or else in the installation's
// configuration directory (platform::configurationFile). Every key K is looked up
// as "<name>.K", then "system.K", then the built-in default; a value that is
// absent or unusable (no integer, no boolean) falls through to the next.
// Without the file the channel prints errors up to level 4 and traces up to
// level 5 on the console.
//
// Nothing a channel does raises into the caller: its own failures are
// internal errors (debug_object.h).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "debug/debug_object.h"
#include "debug/debug_readers.h"
#include "debug/debug_writers.h"
#include "platform/export.h"

class TProperties;

// A named debug channel: it filters its records by level and hands them to
// the writers its configuration attached.
class VOSKO_API TChannel : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TChannel)

  static constexpr const char* kPropertiesFile = "debug.properties";
  static constexpr const char* kSystemPrefix = "system.";
  static constexpr const char* kKeyErrorLevel = "debug.errorlevel";
  static constexpr const char* kKeyTraceLevel = "debug.tracelevel";
  static constexpr const char* kKeyVerboseMode = "debug.verbosemode";
  static constexpr const char* kKeyErrorSystemOut = "debug.errorsystemout";
  static constexpr const char* kKeyTraceSystemOut = "debug.tracesystemout";
  static constexpr const char* kKeyErrorFile = "debug.errorfile";
  static constexpr const char* kKeyBinaryErrorFile = "debug.binary-errorfile";
  static constexpr const char* kKeyTraceFile = "debug.tracefile";
  static constexpr const char* kKeyBinaryTraceFile = "debug.binary-tracefile";

  static constexpr int32_t kDefaultErrorLevel = 4;
  static constexpr int32_t kDefaultTraceLevel = 5;
  static constexpr int32_t kDefaultVerboseMode = 3;

  // Configures the channel (refresh) and, when the verbose mode asks for
  // elapsed times, starts counting them now.
  explicit TChannel(const std::string& name);
  ~TChannel() override;

  // A trace entry to every trace writer when level <= traceLevel.
  void trace(const std::string& message, int32_t level);
  // An error entry to every error writer when level <= errorLevel. The
  // exception may be null; its class and message go into the entry.
  void error(const std::exception* exception, const std::string& message, int32_t level);
  // The same, and then to extraWriter (not owned; may be null) as well.
  void error(const std::exception* exception, const std::string& message, TDebugWriter* extraWriter,
             int32_t level);

  // Drops all writers and readers and builds them again from the
  // configuration file; on any failure reports it and falls back to one
  // console writer per list with the default levels.
  void refresh();
  // Frees every writer and reader.
  void clear();

  const std::string& getName() const { return name_; }
  int32_t getErrorLevel() const { return errorLevel_; }
  int32_t getTraceLevel() const { return traceLevel_; }
  int32_t getVerboseMode() const { return verboseMode_; }
  double getLastTime() const { return lastTime_; }
  TDebugWriters& getTraceWriters() { return traceWriters_; }
  TDebugWriters& getErrorWriters() { return errorWriters_; }
  TDebugReaders& getReaders() { return readers_; }

  // Key K for this channel by the lookup rule above (the mail step reads its keys with these too).
  int32_t lookupInteger(const TProperties& properties, const std::string& key, int32_t defaultValue) const;
  bool lookupBoolean(const TProperties& properties, const std::string& key, bool defaultValue) const;
  std::string lookupString(const TProperties& properties, const std::string& key,
                           const std::string& defaultValue = "") const;

 private:
  // trace() with an extra writer after the channel's own (not owned; may be null).
  void traceTo(const std::string& message, TDebugWriter* extraWriter, int32_t level);
  void readLevels(const TProperties& properties);
  void readFileWriters(const TProperties& properties);
  void fallBack() noexcept;

  int32_t errorLevel_ = kDefaultErrorLevel;
  int32_t traceLevel_ = kDefaultTraceLevel;
  int32_t verboseMode_ = kDefaultVerboseMode;
  std::string name_;
  TDebugWriters traceWriters_;
  TDebugWriters errorWriters_;
  TDebugReaders readers_;
  double lastTime_ = 0.0;
};
