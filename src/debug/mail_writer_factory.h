// TMailWriterFactory, the mail step of a channel's configuration: it reads
// the mail keys of "debug.properties" for one channel (with the channel's
// lookup rule, so "<name>.K" overrides "system.K") and puts the error and the
// trace mail writer at the end of the channel's lists. It is also the one
// place that decides where the writers report their deliveries: as a trace
// on channel "system".
#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

class TChannel;
class TMailWriter;
class TProperties;

// Builds a channel's mail writers from its mail keys.
class VOSKO_API TMailWriterFactory {
 public:
  static constexpr const char* kKeyMailEnabled = "debug.mail.enabled";
  static constexpr const char* kKeyMailFrom = "debug.mail.from";
  static constexpr const char* kKeyErrorMailLevel = "debug.error-mail.level";
  static constexpr const char* kKeyErrorMailRecipients = "debug.error-mail.recipients";
  static constexpr const char* kKeyTraceMailLevel = "debug.trace-mail.level";
  static constexpr const char* kKeyTraceMailRecipients = "debug.trace-mail.recipients";

  // When "debug.mail.enabled" holds for the channel, appends one mail writer
  // to its error writers and one to its trace writers, both sharing one
  // sender ("debug.mail.from", else the system sender). An unparsable sender
  // raises IllegalMailAddressException, which sends the channel into its fallback.
  static void readMailWriters(TChannel& channel, const TProperties& properties);

  // Adds every address of text (blanks and commas between them) to writer;
  // an invalid one is reported as an internal error of the channel and skipped.
  static void parseRecipients(const TChannel& channel, TMailWriter& writer, const std::string& text);

  // Traces the delivery notice on channel "system".
  static void reportOnSystemChannel(const std::string& text, int32_t level);
};
