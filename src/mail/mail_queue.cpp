#include "mail/mail_queue.h"

#include <algorithm>
#include <asio/post.hpp>

#include "basis/properties.h"
#include "basis/system.h"
#include "mail/mail_message.h"
#include "mail/smtp_client.h"
#include "platform/event_loop.h"
#include "platform/exception.h"

namespace {

// Every queue alive in the process, for deliverAll.
std::vector<TMailQueue*>& liveQueues() {
  static std::vector<TMailQueue*> queues;
  return queues;
}

}  // namespace

TMailQueue::TMailQueue() : TMailQueue(kDefaultSize) {}

TMailQueue::TMailQueue(int32_t size) {
  if (size < kMinimumSize) {
    throw IllegalArgumentException("TMailQueue.create(integer): Queue size must be at minimum 10.");
  }
  maxSize_ = size;
  try {
    mailEnabled_ = TProperties(TSystem::kPropertiesFile).getBoolean(TSystem::keyMailEnabled(), false);
  } catch (const std::exception&) {
    mailEnabled_ = false;
  }
  liveQueues().push_back(this);
}

TMailQueue::~TMailQueue() {
  std::erase(liveQueues(), this);
  failed_.clear();
  messages_.clear();
}

void TMailQueue::add(std::unique_ptr<TMailMessage> message) {
  // A message without its settings would never send nor fail, and would
  // hold the queue up for good.
  if (!mailEnabled_ || !message || !message->isMailEnabled()) return;
  if (static_cast<int32_t>(messages_.size()) >= maxSize_) removeMail(messages_.front().get());
  message->setOnMailSend([this](TMailMessage& sender) { mailSend(sender); });
  message->setOnMailError([this](TMailMessage& sender, const MailTransportException& exception) {
    mailError(sender, exception);
  });
  messages_.push_back(std::move(message));
  sendNext();
}

void TMailQueue::removeMail(TMailMessage* message) {
  std::erase(failed_, message);
  auto it = std::find_if(messages_.begin(), messages_.end(),
                         [message](const std::unique_ptr<TMailMessage>& m) { return m.get() == message; });
  if (it == messages_.end()) {
    delete message;
    throw IllegalStateException("Can't happen: Miss mail in queue.");
  }
  messages_.erase(it);
}

bool TMailQueue::isFailed(const TMailMessage* message) const {
  return std::find(failed_.begin(), failed_.end(), message) != failed_.end();
}

void TMailQueue::sendNext() {
  if (!mailEnabled_ || messages_.empty()) return;
  for (const auto& m : messages_) {
    if (m->isBusy()) return;
  }
  auto unmarked = std::find_if(messages_.rbegin(), messages_.rend(),
                               [this](const std::unique_ptr<TMailMessage>& m) { return !isFailed(m.get()); });
  TMailMessage* next = unmarked != messages_.rend() ? unmarked->get() : messages_.back().get();
  next->send();
}

void TMailQueue::mailSend(TMailMessage& message) {
  std::string failure;
  try {
    removeMail(&message);
  } catch (const std::exception& e) {
    failure = platform::exceptionMessage(e);
  }
  sendNext();
  if (!failure.empty()) return notifyError("TMailQueue.mailSend: " + failure + ".");
  if (!onMailSend_) return;
  SendEvent handler = onMailSend_;
  handler(*this);
}

void TMailQueue::mailError(TMailMessage& message, const MailTransportException& exception) {
  // The message may be freed below; the exception belongs to its caller's frame.
  std::string text = "TMailQueue.mailError: " + exception.message() + ".";
  try {
    if (isFailed(&message)) {
      removeMail(&message);
    } else {
      failed_.push_back(&message);
    }
  } catch (const std::exception& e) {
    text = platform::prefixMessage("TMailQueue.mailError", e) + ".";
  }
  // The next attempt starts from the loop: a send that fails at once would
  // otherwise re-enter this handler from inside the failing message.
  asio::post(platform::eventLoop(), [this, alive = std::weak_ptr<int>(alive_)] {
    if (alive.lock()) sendNext();
  });
  notifyError(text);
}

void TMailQueue::notifyError(const std::string& text) {
  if (!onMailError_) return;
  ErrorEvent handler = onMailError_;
  MailTransportException exception(text);
  handler(*this, exception);
}

bool TMailQueue::anyWork() {
  for (const TMailQueue* queue : liveQueues()) {
    if (queue->hasWork()) return true;
  }
  return TCustomSmtpClient::liveSessions() > 0;
}

std::vector<const TMailMessage*> TMailQueue::undelivered() {
  std::vector<const TMailMessage*> mails;
  for (const TMailQueue* queue : liveQueues()) {
    for (const auto& message : queue->messages_) mails.push_back(message.get());
  }
  return mails;
}

bool TMailQueue::deliverAll(std::chrono::milliseconds timeout) {
  asio::io_context& loop = platform::eventLoop();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (anyWork()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    loop.restart();
    loop.run_one_for(deadline - now);
    // Out of handlers with work left: nothing can move any more.
    if (loop.stopped() && anyWork()) return false;
  }
  return true;
}
