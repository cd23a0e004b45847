// TDebugEntry, one record of a debug channel: who made it, the caller's
// text, when, and how its text form is prefixed. Trace entries
// (trace_entry.h) and error entries (error_entry.h) are what channels make;
// all three are persistent and are the records of the binary debug file.
//
// Stored form, in this order: message, channelName (strings), verboseMode,
// level (integers), referenceTime, time (doubles, days since 1899-12-30).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

// One record of a debug channel, and the base of the trace and error entries.
class VOSKO_API TDebugEntry : public TPObject {
 public:
  VOSKO_CLASS_NAME(TDebugEntry)

  // Bits of verboseMode: what the text prefix shows.
  static constexpr int32_t kVerboseTime = 1;
  static constexpr int32_t kVerboseChannel = 2;
  static constexpr int32_t kVerboseElapsed = 4;

  TDebugEntry();
  // time = now. Raises CreateException "TDebugEntry.create: (Class) message".
  TDebugEntry(const std::string& message, double referenceTime, int32_t level, int32_t verboseMode,
              const std::string& channelName);
  TDebugEntry(const std::string& message, double time, double referenceTime, int32_t level,
              int32_t verboseMode, const std::string& channelName);

  // Empty strings, verboseMode and level 0, both times now.
  void initialize() override;
  // The prefix alone: [time stamp and a blank][channel name][" (n ms)"] ": ",
  // each part as the verbose bits ask.
  std::string toString() const override;
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  // "dd.mm.yyyy hh:nn:ss.zzz".
  static std::string formatTime(double time);
  // Milliseconds from referenceTime to time; 0 unless referenceTime is earlier.
  int64_t elapsedMillis() const;

  const std::string& getChannelName() const { return channelName_; }
  const std::string& getMessage() const { return message_; }
  double getTime() const { return time_; }
  double getReferenceTime() const { return referenceTime_; }
  int32_t getVerboseMode() const { return verboseMode_; }
  int32_t getLevel() const { return level_; }

 protected:
  void setFields(const std::string& message, double time, double referenceTime, int32_t level,
                 int32_t verboseMode, const std::string& channelName);

  std::string channelName_;
  std::string message_;
  double time_ = 0.0;
  double referenceTime_ = 0.0;
  int32_t verboseMode_ = 0;
  int32_t level_ = 0;
};
