#include "debug/mail_writer_factory.h"

#include <memory>

#include "basis/properties.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "debug/mail_writer.h"
#include "mail/mail_address.h"

void TMailWriterFactory::readMailWriters(TChannel& channel, const TProperties& properties) {
  if (!channel.lookupBoolean(properties, kKeyMailEnabled, false)) return;
  std::shared_ptr<const TMailAddress> sender =
      TMailAddress::parse(channel.lookupString(properties, kKeyMailFrom, TMailWriter::systemSender()));

  auto errorMail = std::make_unique<TMailWriter>(
      sender, channel.lookupInteger(properties, kKeyErrorMailLevel, TMailWriter::kDefaultLevel),
      reportOnSystemChannel);
  parseRecipients(channel, *errorMail, channel.lookupString(properties, kKeyErrorMailRecipients));
  channel.getErrorWriters().add(std::move(errorMail));

  auto traceMail = std::make_unique<TMailWriter>(
      sender, channel.lookupInteger(properties, kKeyTraceMailLevel, TMailWriter::kDefaultLevel),
      reportOnSystemChannel);
  parseRecipients(channel, *traceMail, channel.lookupString(properties, kKeyTraceMailRecipients));
  channel.getTraceWriters().add(std::move(traceMail));
}

void TMailWriterFactory::parseRecipients(const TChannel& channel, TMailWriter& writer,
                                         const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(" ,", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      try {
        writer.addRecipient(text.substr(start, end - start));
      } catch (const std::exception& e) {
        channel.internalError("TChannel.parseRecipients", &e);
      } catch (...) {
        channel.internalError("TChannel.parseRecipients", nullptr);
      }
    }
    start = end + 1;
  }
}

void TMailWriterFactory::reportOnSystemChannel(const std::string& text, int32_t level) {
  TChannelPool::getChannel("system")->trace(text, level);
}
