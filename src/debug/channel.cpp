#include "debug/channel.h"

#include <memory>

#include "basis/properties.h"
#include "debug/binary_reader.h"
#include "debug/binary_writer.h"
#include "debug/debug_entry.h"
#include "debug/error_entry.h"
#include "debug/mail_writer_factory.h"
#include "debug/system_out_writer.h"
#include "debug/text_writer.h"
#include "debug/trace_entry.h"
#include "platform/clock.h"
#include "platform/system_info.h"

TChannel::TChannel(const std::string& name) : name_(name) {
  refresh();
  if (verboseMode_ & TDebugEntry::kVerboseElapsed) lastTime_ = platform::now();
}

TChannel::~TChannel() = default;

void TChannel::trace(const std::string& message, int32_t level) { traceTo(message, nullptr, level); }

void TChannel::traceTo(const std::string& message, TDebugWriter* extraWriter, int32_t level) {
  if (level > traceLevel_) return;
  try {
    TTraceEntry entry(message, lastTime_, level, verboseMode_, name_);
    if (verboseMode_ & TDebugEntry::kVerboseElapsed) lastTime_ = platform::now();
    traceWriters_.write(entry);
    if (extraWriter != nullptr) extraWriter->write(entry);
  } catch (...) {
    internalErrorOfCurrent("TChannel.trace");
  }
}

void TChannel::error(const std::exception* exception, const std::string& message, int32_t level) {
  error(exception, message, nullptr, level);
}

void TChannel::error(const std::exception* exception, const std::string& message, TDebugWriter* extraWriter,
                     int32_t level) {
  if (level > errorLevel_) return;
  try {
    // Whatever the last error code says at this moment, often that all went well.
    const std::string systemText = platform::lastErrorText();
    TErrorEntry entry(exception, lastTime_, verboseMode_, name_, message, level, systemText);
    if (verboseMode_ & TDebugEntry::kVerboseElapsed) lastTime_ = platform::now();
    errorWriters_.write(entry);
    if (extraWriter != nullptr) extraWriter->write(entry);
  } catch (...) {
    internalErrorOfCurrent("TChannel.error");
  }
}

void TChannel::refresh() {
  try {
    TProperties properties;
    properties.loadProperties(platform::configurationFile(kPropertiesFile));
    clear();
    readLevels(properties);
    readFileWriters(properties);
    // Last, so that the mail writers come after every other writer.
    TMailWriterFactory::readMailWriters(*this, properties);
  } catch (...) {
    internalErrorOfCurrent("TChannel.refresh");
    fallBack();
  }
}

void TChannel::clear() {
  try {
    traceWriters_.clear();
    errorWriters_.clear();
    readers_.clear();
  } catch (...) {
    internalErrorOfCurrent("TChannel.clear");
  }
}

void TChannel::readLevels(const TProperties& properties) {
  errorLevel_ = lookupInteger(properties, kKeyErrorLevel, kDefaultErrorLevel);
  traceLevel_ = lookupInteger(properties, kKeyTraceLevel, kDefaultTraceLevel);
  verboseMode_ = lookupInteger(properties, kKeyVerboseMode, kDefaultVerboseMode);
  if (lookupBoolean(properties, kKeyErrorSystemOut, true))
    errorWriters_.add(std::make_unique<TSystemOutWriter>());
  if (lookupBoolean(properties, kKeyTraceSystemOut, true))
    traceWriters_.add(std::make_unique<TSystemOutWriter>());
}

void TChannel::readFileWriters(const TProperties& properties) {
  const std::string errorFile = lookupString(properties, kKeyErrorFile);
  if (!errorFile.empty()) errorWriters_.add(std::make_unique<TTextWriter>(errorFile));

  const std::string binaryErrorFile = lookupString(properties, kKeyBinaryErrorFile);
  if (!binaryErrorFile.empty()) {
    errorWriters_.add(std::make_unique<TBinaryWriter>(binaryErrorFile));
    readers_.add(std::make_unique<TBinaryReader>(binaryErrorFile));
  }

  const std::string traceFile = lookupString(properties, kKeyTraceFile);
  if (!traceFile.empty()) traceWriters_.add(std::make_unique<TTextWriter>(traceFile));

  const std::string binaryTraceFile = lookupString(properties, kKeyBinaryTraceFile);
  if (!binaryTraceFile.empty()) {
    traceWriters_.add(std::make_unique<TBinaryWriter>(binaryTraceFile));
    readers_.add(std::make_unique<TBinaryReader>(binaryTraceFile));
  }
}

void TChannel::fallBack() noexcept {
  try {
    clear();
    traceWriters_.add(std::make_unique<TSystemOutWriter>());
    errorWriters_.add(std::make_unique<TSystemOutWriter>());
  } catch (...) {
    // The levels below are set whatever happened here.
  }
  errorLevel_ = kDefaultErrorLevel;
  traceLevel_ = kDefaultTraceLevel;
  verboseMode_ = kDefaultVerboseMode;
}

int32_t TChannel::lookupInteger(const TProperties& properties, const std::string& key,
                                int32_t defaultValue) const {
  const int32_t general = properties.getInteger(kSystemPrefix + key, defaultValue);
  return properties.getInteger(name_ + "." + key, general);
}

bool TChannel::lookupBoolean(const TProperties& properties, const std::string& key, bool defaultValue) const {
  const bool general = properties.getBoolean(kSystemPrefix + key, defaultValue);
  return properties.getBoolean(name_ + "." + key, general);
}

std::string TChannel::lookupString(const TProperties& properties, const std::string& key,
                                   const std::string& defaultValue) const {
  // An existing key with an empty value counts: it switches a writer off.
  const std::string general = properties.getProperty(kSystemPrefix + key, defaultValue);
  return properties.getProperty(name_ + "." + key, general);
}
