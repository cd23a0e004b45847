// TMailMessage, one mail (subject, sender, recipients, body lines) that
// delivers itself through an SMTP client of its own.
//
// The settings come from "system.properties" in the current directory when
// the message is made: "system.mail-enabled", "system.smtp-host.address",
// "system.smtp-host.port" (25) and the required "system.from-header". When
// any of them cannot be read the message is inert: send() does nothing.
//
// Delivery is asynchronous: send() returns at once and the outcome arrives
// later from the thread's event loop as onMailSend or onMailError. Neither
// send() nor the client's events ever raise; failures become error events
// whose MailTransportException names the step. The message does nothing
// after raising an event, so the event's receiver may free it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "basis/mapped_object.h"
#include "basis/string_collection.h"
#include "mail/mail_address.h"
#include "mail/mail_exceptions.h"
#include "mail/smtp_client.h"
#include "platform/export.h"

// One mail that delivers itself through its own client and reports the
// outcome through its two events.
class VOSKO_API TMailMessage : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TMailMessage)

  using SendEvent = std::function<void(TMailMessage& sender)>;
  using ErrorEvent = std::function<void(TMailMessage& sender, const MailTransportException& exception)>;

  static constexpr int32_t kDefaultPort = 25;

  // As TMailMessage(subject, nullptr).
  explicit TMailMessage(const std::string& subject);
  // A copy of recipient (when not null) becomes the first recipient; then
  // the settings are read.
  TMailMessage(const std::string& subject, const TMailAddress* recipient);
  // Releases the client (ending a delivery under way without an event).
  ~TMailMessage() override;

  void setSubject(const std::string& subject) { subject_ = subject; }
  const std::string& getSubject() const { return subject_; }
  // Stores a copy; null raises IllegalArgumentException "TMailMessage: From-address is nil.".
  void setFrom(const TMailAddress* address);
  const TMailAddress* getFrom() const { return from_.get(); }
  // Appends a copy; null raises IllegalArgumentException "TMailMessage: Recipient-address is nil.".
  void addRecipient(const TMailAddress* address);
  const std::vector<std::unique_ptr<TMailAddress>>& getRecipients() const { return recipients_; }
  void addLine(const std::string& text) { lines_.add(text); }
  void addEmptyLine() { lines_.addEmpty(); }
  const TStringCollection& getLines() const { return lines_; }

  // Starts the delivery: open the connection, then the mail transaction.
  void send();
  // True while a delivery is under way (a client exists).
  bool isBusy() const { return client_ != nullptr; }

  void setOnMailSend(SendEvent handler) { onMailSend_ = std::move(handler); }
  void setOnMailError(ErrorEvent handler) { onMailError_ = std::move(handler); }

  bool isMailEnabled() const { return mailEnabled_; }
  const std::string& getSmtpHost() const { return smtpHost_; }
  int32_t getSmtpPort() const { return smtpPort_; }

  // "connect" ... "custom" for the request kinds 0 to 10, else "unknown".
  static std::string requestName(int32_t request);

 private:
  void readSettings();
  void assembleRecipients();
  void assignEvents();
  void requestDone(TSmtpRequest request, int32_t error);
  void notifyError(const std::string& text);
  void notifySent();
  void releaseClient();

  std::string subject_;
  std::string smtpHost_;
  int32_t smtpPort_ = kDefaultPort;
  TStringCollection lines_;
  std::unique_ptr<TMailAddress> from_;
  std::vector<std::unique_ptr<TMailAddress>> recipients_;
  std::unique_ptr<TSmtpCli> client_;
  SendEvent onMailSend_;
  ErrorEvent onMailError_;
  bool mailEnabled_ = false;
};
