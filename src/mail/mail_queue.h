// TMailQueue, the outgoing mail of one sender: it owns the mails it is
// given, delivers one at a time, holds at most maxSize waiting mails and
// reports each delivery and each failure through its two events.
//
// Order of work: the first mail added to an idle queue is sent at once;
// after each delivery the newest waiting mail is sent next; a full queue
// drops its oldest mail. A mail that fails once stays waiting, marked; once
// no delivery is under way the queue goes on with the newest unmarked mail,
// and when only marked mails are left it tries the newest of them again. A
// second failure drops a mail, so every mail is tried at most twice.
//
// With "system.mail-enabled" off (or no "system.properties") the queue frees
// what it is given and raises no event; so it does with a mail that is inert
// itself (its own settings could not be read), which would never end.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "basis/mapped_object.h"
#include "mail/mail_exceptions.h"
#include "platform/export.h"

class TMailMessage;

// The outgoing mail of one sender, delivered one mail at a time, each tried
// at most twice.
class VOSKO_API TMailQueue : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TMailQueue)

  using SendEvent = std::function<void(TMailQueue& sender)>;
  using ErrorEvent = std::function<void(TMailQueue& sender, const MailTransportException& exception)>;

  static constexpr int32_t kDefaultSize = 255;
  static constexpr int32_t kMinimumSize = 10;

  TMailQueue();
  // A size below 10 raises IllegalArgumentException
  // "TMailQueue.create(integer): Queue size must be at minimum 10.".
  explicit TMailQueue(int32_t size);
  // Frees every waiting mail unsent.
  ~TMailQueue() override;

  // Takes the message in every case; sends it when no delivery is under way.
  void add(std::unique_ptr<TMailMessage> message);
  // Takes the message out of the queue and frees it; one that was not there
  // is freed too and raises IllegalStateException "Can't happen: Miss mail in queue.".
  void removeMail(TMailMessage* message);

  int32_t waiting() const { return static_cast<int32_t>(messages_.size()); }
  int32_t getMaxSize() const { return maxSize_; }
  bool isMailEnabled() const { return mailEnabled_; }
  // True while a mail waits or is being delivered.
  bool hasWork() const { return !messages_.empty(); }

  void setOnMailSend(SendEvent handler) { onMailSend_ = std::move(handler); }
  void setOnMailError(ErrorEvent handler) { onMailError_ = std::move(handler); }

  // Runs the thread's event loop until no queue of the process has work and
  // every SMTP connection is closed, or until the time-out has passed.
  // Returns true when everything was delivered or given up.
  static bool deliverAll(std::chrono::milliseconds timeout);
  // True when some queue of the process has work or a connection is open.
  static bool anyWork();
  // The mails of every queue of the process not delivered yet, each
  // queue's oldest first; valid until the next turn of the loop.
  static std::vector<const TMailMessage*> undelivered();

 private:
  void mailSend(TMailMessage& message);
  void mailError(TMailMessage& message, const MailTransportException& exception);
  void notifyError(const std::string& text);
  // Starts the next attempt when no mail is being delivered.
  void sendNext();
  bool isFailed(const TMailMessage* message) const;

  std::vector<std::unique_ptr<TMailMessage>> messages_;  // oldest first
  std::vector<TMailMessage*> failed_;                    // not owned
  int32_t maxSize_ = kDefaultSize;
  SendEvent onMailSend_;
  ErrorEvent onMailError_;
  bool mailEnabled_ = false;
  // Retries posted to the loop hold it weakly and skip a queue that is gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};
