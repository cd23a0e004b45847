#include "mail/mail_message.h"

#include <unistd.h>

#include "basis/properties.h"
#include "basis/system.h"
#include "platform/exception.h"

namespace {

const char* const kRequestNames[] = {"connect", "hello", "mail-from", "verify", "rcpt-to", "data",
                                     "quit",    "reset", "open",      "mail",   "custom"};

// The name this machine greets the server with.
std::string localHostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace

TMailMessage::TMailMessage(const std::string& subject) : TMailMessage(subject, nullptr) {}

TMailMessage::TMailMessage(const std::string& subject, const TMailAddress* recipient) : subject_(subject) {
  if (recipient != nullptr) addRecipient(recipient);
  readSettings();
}

TMailMessage::~TMailMessage() { releaseClient(); }

void TMailMessage::setFrom(const TMailAddress* address) {
  if (address == nullptr) throw IllegalArgumentException("TMailMessage: From-address is nil.");
  from_ = cloneAs(*address);
}

void TMailMessage::addRecipient(const TMailAddress* address) {
  if (address == nullptr) throw IllegalArgumentException("TMailMessage: Recipient-address is nil.");
  recipients_.push_back(cloneAs(*address));
}

std::string TMailMessage::requestName(int32_t request) {
  if (request < 0 || request > 10) return "unknown";
  return kRequestNames[request];
}

void TMailMessage::readSettings() {
  try {
    TProperties properties(TSystem::kPropertiesFile);
    bool enabled = properties.getBoolean(TSystem::keyMailEnabled(), false);
    std::string host = properties.getProperty(TSystem::keySmtpHostAddress(), "");
    int32_t port = properties.getInteger(TSystem::keySmtpHostPort(), kDefaultPort);
    std::unique_ptr<TMailAddress> from =
        TMailAddress::parse(properties.getProperty(TSystem::keyFromHeader()));
    mailEnabled_ = enabled;
    smtpHost_ = host;
    smtpPort_ = port;
    from_ = std::move(from);
  } catch (const std::exception&) {
    // Mail without its settings is switched off, never half configured.
    mailEnabled_ = false;
    smtpHost_.clear();
    smtpPort_ = kDefaultPort;
    from_.reset();
  }
}

void TMailMessage::send() {
  if (!mailEnabled_) return;
  // Each step reports its own failure once; after notifyError the receiver
  // may have freed this message, so every path returns at once.
  try {
    if (isBusy()) throw MailTransportException("Busy ... already about to send a mail.");
    client_ = std::make_unique<TSmtpCli>();
    client_->setHost(smtpHost_);
    client_->setPort(std::to_string(smtpPort_));
    client_->setSignOn(localHostName());
    const std::string sender = from_ ? from_->toString() : "";
    client_->setHdrFrom(sender);
    client_->setHdrReplyTo(sender);
    client_->setHdrSubject(subject_);
    client_->mailMessage() = lines_.strings();
  } catch (const std::exception& e) {
    return notifyError(platform::prefixMessage("TMailMessage.send", e) + ".");
  }
  try {
    assembleRecipients();
  } catch (const std::exception& e) {
    return notifyError(platform::prefixMessage("TMailMessage.assembleRecipients", e) + ".");
  }
  try {
    assignEvents();
  } catch (const std::exception& e) {
    return notifyError(platform::prefixMessage("TMailMessage.assignEvents", e) + ".");
  }
  try {
    client_->open();
  } catch (const std::exception& e) {
    return notifyError(platform::prefixMessage("TMailMessage.send", e) + ".");
  }
}

void TMailMessage::assembleRecipients() {
  if (!client_) throw MailTransportException("Not connected");
  if (recipients_.empty()) throw MailTransportException("No recipients");
  // The envelope takes the bare address: servers refuse display names there.
  for (const auto& recipient : recipients_)
    client_->rcptName().push_back("<" + recipient->getAddress() + ">");
}

void TMailMessage::assignEvents() {
  if (!client_) throw MailTransportException("Not connected");
  client_->setOnRequestDone(
      [this](TCustomSmtpClient&, TSmtpRequest request, int32_t error) { requestDone(request, error); });
  client_->setOnDisplay([](TCustomSmtpClient&, const std::string&) {});
  client_->setOnSessionClosed([](TCustomSmtpClient&, int32_t) {});
}

void TMailMessage::requestDone(TSmtpRequest request, int32_t error) {
  try {
    const std::string name = requestName(static_cast<int32_t>(request));
    if (error != 0) throw MailTransportException("Error " + std::to_string(error) + " @request " + name);
    if (request == TSmtpRequest::smtpOpen || request == TSmtpRequest::smtpConnect) {
      if (!client_) throw MailTransportException("Not connected");
      client_->mail();
    } else if (request == TSmtpRequest::smtpMail) {
      releaseClient();
      return notifySent();
    }
  } catch (const std::exception& e) {
    notifyError(platform::prefixMessage("TMailMessage.requestDone", e) + ".");
  }
}

void TMailMessage::notifyError(const std::string& text) {
  releaseClient();
  if (!onMailError_) return;
  // The receiver may free this message, and with it the member handler.
  ErrorEvent handler = onMailError_;
  MailTransportException exception(text);
  handler(*this, exception);
}

void TMailMessage::notifySent() {
  if (!onMailSend_) return;
  SendEvent handler = onMailSend_;
  handler(*this);
}

// The client is inside its own request-done event here at times; it raises
// that event from a copy and touches nothing of itself afterwards, so it may
// be destroyed at once.
void TMailMessage::releaseClient() { client_.reset(); }
