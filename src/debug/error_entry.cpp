#include "debug/error_entry.h"

#include "basis/exceptions.h"
#include "basis/file.h"
#include "platform/clock.h"
#include "platform/exception.h"

namespace {

// The exception and system texts come from elsewhere and may span lines;
// each must stay on its own line of the entry.
std::string withoutBreaks(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

}  // namespace

TErrorEntry::TErrorEntry(const std::exception* exception, double referenceTime, int32_t verboseMode,
                         const std::string& channelName, const std::string& message, int32_t level,
                         const std::string& systemMessage) {
  try {
    TErrorEntry::initialize();
    setFields(message, platform::now(), referenceTime, level, verboseMode, channelName);
    if (exception != nullptr) {
      exceptionClass_ = platform::exceptionClassName(*exception);
      exceptionMessage_ = platform::exceptionMessage(*exception);
    }
    systemMessage_ = systemMessage;
  } catch (const std::exception& e) {
    throw CreateException(platform::wrapMessage("TErrorEntry.create", e));
  }
}

TErrorEntry::TErrorEntry(const std::string& exceptionMessage, double referenceTime, int32_t verboseMode,
                         const std::string& channelName, const std::string& message, int32_t level,
                         const std::string& systemMessage, const std::string& exceptionClass)
    : TErrorEntry(exceptionMessage, platform::now(), referenceTime, verboseMode, channelName, message, level,
                  systemMessage, exceptionClass) {}

TErrorEntry::TErrorEntry(const std::string& exceptionMessage, double time, double referenceTime,
                         int32_t verboseMode, const std::string& channelName, const std::string& message,
                         int32_t level, const std::string& systemMessage, const std::string& exceptionClass) {
  try {
    TErrorEntry::initialize();
    setFields(message, time, referenceTime, level, verboseMode, channelName);
    exceptionMessage_ = exceptionMessage;
    exceptionClass_ = exceptionClass;
    systemMessage_ = systemMessage;
  } catch (const std::exception& e) {
    throw CreateException(platform::wrapMessage("TErrorEntry.create", e));
  }
}

std::string TErrorEntry::levelName(int32_t level) {
  switch (level) {
    case 0:
      return "NO ERROR: ";
    case 1:
      return "FATAL ERROR: ";
    case 2:
      return "ERROR: ";
    case 3:
      return "WARNING: ";
    case 4:
      return "ERROR NOTICE: ";
    default:
      return "-UNKNOWN ERROR- ";
  }
}

void TErrorEntry::initialize() {
  TDebugEntry::initialize();
  exceptionClass_.clear();
  exceptionMessage_.clear();
  systemMessage_.clear();
}

std::string TErrorEntry::toString() const {
  static const char* const kLineEnd = "\r\n";
  std::string text = TDebugEntry::toString() + levelName(level_) + message_ + kLineEnd;
  if (!exceptionClass_.empty() || !systemMessage_.empty()) text += kLineEnd;
  if (!exceptionClass_.empty()) {
    text += std::string("\texception") + kLineEnd;
    text += "\tclass: " + exceptionClass_ + kLineEnd;
    if (!exceptionMessage_.empty()) text += "\tmessage: " + withoutBreaks(exceptionMessage_) + kLineEnd;
  }
  if (!systemMessage_.empty()) text += "\tsystem message: " + withoutBreaks(systemMessage_) + kLineEnd;
  text += kLineEnd;
  return text;
}

std::unique_ptr<TMappedObject> TErrorEntry::clone() const {
  return std::make_unique<TErrorEntry>(exceptionMessage_, time_, referenceTime_, verboseMode_, channelName_,
                                       message_, level_, systemMessage_, exceptionClass_);
}

void TErrorEntry::readFrom(TFile& file) {
  TDebugEntry::readFrom(file);
  exceptionMessage_ = file.readString();
  exceptionClass_ = file.readString();
  systemMessage_ = file.readString();
}

void TErrorEntry::writeTo(TFile& file) {
  TDebugEntry::writeTo(file);
  file.writeString(exceptionMessage_);
  file.writeString(exceptionClass_);
  file.writeString(systemMessage_);
}
