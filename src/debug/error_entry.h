// TErrorEntry, the failure record that TChannel::error makes: besides the
// fields of TDebugEntry the reported exception's class and message and the
// operating system's text for the last error code. Its text form is several
// lines, each ending in CR LF, and always ends with an empty line.
//
// Stored form: TDebugEntry's, then exceptionMessage, exceptionClass and
// systemMessage as strings.
#pragma once

#include <exception>

#include "debug/debug_entry.h"
#include "platform/export.h"

// The failure record of a channel: an entry with the exception's class and
// message and the system's text for the last error.
class VOSKO_API TErrorEntry : public TDebugEntry {
 public:
  VOSKO_CLASS_NAME(TErrorEntry)

  TErrorEntry() = default;
  // Class name and message of the exception, empty when it is null; time =
  // now. Each constructor raises CreateException "TErrorEntry.create: (Class) message".
  TErrorEntry(const std::exception* exception, double referenceTime, int32_t verboseMode,
              const std::string& channelName, const std::string& message, int32_t level,
              const std::string& systemMessage);
  // time = now.
  TErrorEntry(const std::string& exceptionMessage, double referenceTime, int32_t verboseMode,
              const std::string& channelName, const std::string& message, int32_t level,
              const std::string& systemMessage, const std::string& exceptionClass);
  TErrorEntry(const std::string& exceptionMessage, double time, double referenceTime, int32_t verboseMode,
              const std::string& channelName, const std::string& message, int32_t level,
              const std::string& systemMessage, const std::string& exceptionClass);

  // "FATAL ERROR: " for 1 and so on; "-UNKNOWN ERROR- " outside 0..4.
  static std::string levelName(int32_t level);

  void initialize() override;
  // Prefix, level name and message; then, when there is an exception class
  // or a system message, an empty line and TAB-indented lines for them; then
  // an empty line. Every line ends in CR LF.
  std::string toString() const override;
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  const std::string& getExceptionClass() const { return exceptionClass_; }
  const std::string& getExceptionMessage() const { return exceptionMessage_; }
  const std::string& getSystemMessage() const { return systemMessage_; }

 private:
  std::string exceptionClass_;
  std::string exceptionMessage_;
  std::string systemMessage_;
};
