#include "debug/debug_entry.h"

#include <cmath>

#include "basis/date_time_value.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"
#include "platform/clock.h"
#include "platform/exception.h"

namespace {

// Times read from a foreign or damaged file may be anything; beyond this
// span (about 27,000 years) the figure is meaningless and the day count
// would no longer fit the integer arithmetic of the elapsed time.
constexpr double kMaxElapsedDays = 1.0e7;

}  // namespace

TDebugEntry::TDebugEntry() { TDebugEntry::initialize(); }

TDebugEntry::TDebugEntry(const std::string& message, double referenceTime, int32_t level, int32_t verboseMode,
                         const std::string& channelName) {
  try {
    TDebugEntry::initialize();
    setFields(message, platform::now(), referenceTime, level, verboseMode, channelName);
  } catch (const std::exception& e) {
    throw CreateException(platform::wrapMessage("TDebugEntry.create", e));
  }
}

TDebugEntry::TDebugEntry(const std::string& message, double time, double referenceTime, int32_t level,
                         int32_t verboseMode, const std::string& channelName) {
  try {
    TDebugEntry::initialize();
    setFields(message, time, referenceTime, level, verboseMode, channelName);
  } catch (const std::exception& e) {
    throw CreateException(platform::wrapMessage("TDebugEntry.create", e));
  }
}

void TDebugEntry::setFields(const std::string& message, double time, double referenceTime, int32_t level,
                            int32_t verboseMode, const std::string& channelName) {
  message_ = message;
  time_ = time;
  referenceTime_ = referenceTime;
  level_ = level;
  verboseMode_ = verboseMode;
  channelName_ = channelName;
}

void TDebugEntry::initialize() {
  channelName_.clear();
  message_.clear();
  time_ = platform::now();
  referenceTime_ = time_;
  verboseMode_ = 0;
  level_ = 0;
}

std::string TDebugEntry::formatTime(double time) {
  platform::DateTimeParts p = platform::decodeDateTime(time);
  return TString::zeroPad(p.day, 2) + "." + TString::zeroPad(p.month, 2) + "." + TString::zeroPad(p.year, 4) +
         " " + TString::zeroPad(p.hour, 2) + ":" + TString::zeroPad(p.minute, 2) + ":" +
         TString::zeroPad(p.second, 2) + "." + TString::zeroPad(p.millisecond, 3);
}

int64_t TDebugEntry::elapsedMillis() const {
  if (!std::isfinite(time_) || !std::isfinite(referenceTime_)) return 0;
  if (time_ - referenceTime_ > kMaxElapsedDays) return 0;
  return TTDateTime::millisBetween(referenceTime_, time_);
}

std::string TDebugEntry::toString() const {
  std::string prefix;
  if (verboseMode_ & kVerboseTime) prefix += formatTime(time_) + " ";
  if (verboseMode_ & kVerboseChannel) prefix += channelName_;
  if (verboseMode_ & kVerboseElapsed) prefix += " (" + std::to_string(elapsedMillis()) + " ms)";
  return prefix + ": ";
}

std::unique_ptr<TMappedObject> TDebugEntry::clone() const {
  return std::make_unique<TDebugEntry>(message_, time_, referenceTime_, level_, verboseMode_, channelName_);
}

void TDebugEntry::readFrom(TFile& file) {
  message_ = file.readString();
  channelName_ = file.readString();
  verboseMode_ = file.readInt();
  level_ = file.readInt();
  referenceTime_ = file.readDouble();
  time_ = file.readDouble();
}

void TDebugEntry::writeTo(TFile& file) {
  file.writeString(message_);
  file.writeString(channelName_);
  file.writeInt(verboseMode_);
  file.writeInt(level_);
  file.writeDouble(referenceTime_);
  file.writeDouble(time_);
}
