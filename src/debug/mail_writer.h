// TMailWriter, the writer that sends a channel's records by mail. Each entry
// whose level passes the writer's threshold becomes one mail to the writer's
// recipients, handed to the writer's own queue (mail/mail_queue.h), which
// delivers it later from the thread's event loop. A writer without
// recipients sends nothing.
//
// After each delivery the writer hands a notice to the delivery report its
// maker gave it (the configuration traces it on channel "system"). An entry
// written while such a notice is being reported is never mailed by any mail
// writer: mailing it would make another delivery and another notice, for ever.
//
// Ownership: the writer owns its queue (and with it the mails still
// waiting, dropped unsent when the writer goes) and its recipients. The
// sender is shared: a channel's error and trace mail writers use one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "debug/conditional_writer.h"
#include "mail/mail_exceptions.h"
#include "platform/export.h"

class TMailAddress;
class TMailMessage;
class TMailQueue;

// The writer that mails each entry passing its threshold to its recipients.
class VOSKO_API TMailWriter : public TConditionalWriter {
 public:
  VOSKO_CLASS_NAME(TMailWriter)

  // (text, level) of the notice after a delivery.
  using DeliveryReport = std::function<void(const std::string& text, int32_t level)>;

  static constexpr int32_t kDefaultLevel = 1;
  static constexpr const char* kDeliveryNotice = "TMailWriter.mailSend: Queue said error mail send.";
  static constexpr int32_t kDeliveryNoticeLevel = 3;

  // Without a delivery report deliveries go unreported.
  TMailWriter(std::shared_ptr<const TMailAddress> sender, int32_t level, DeliveryReport report = {});
  ~TMailWriter() override;

  // Queues one mail for the entry when its level is at most the writer's,
  // there are recipients and no delivery notice is being reported.
  // Raises IOException "TMailWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;

  // Appends the address in text; an invalid one raises IllegalMailAddressException.
  void addRecipient(const std::string& text);
  const std::vector<std::unique_ptr<TMailAddress>>& getRecipients() const { return recipients_; }
  const TMailAddress* getSender() const { return sender_.get(); }
  TMailQueue& getQueue() { return *queue_; }

  // The mail for an entry: subject naming this host and the entry's channel,
  // a framed body with the entry's text one line per body line, the sender
  // and the recipients.
  std::unique_ptr<TMailMessage> createMessage(const TDebugEntry& entry) const;

  // The sender when the configuration names none: "system.from-header" of
  // system.properties, a placeholder when that key is missing, empty when
  // the file is missing.
  static std::string systemSender();
  static constexpr const char* kPlaceholderSender = "vosko@localhost";

 private:
  void mailSend();
  void mailError(const MailTransportException& exception);

  DeliveryReport report_;
  std::shared_ptr<const TMailAddress> sender_;
  std::vector<std::unique_ptr<TMailAddress>> recipients_;
  std::unique_ptr<TMailQueue> queue_;
};
