#include "mail/mail_queue.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "basis/expect_message.h"
#include "mail/mail_message.h"
#include "mail/mail_test_util.h"
#include "mail/smtp_peer.h"

namespace {

using namespace std::chrono_literals;
using testutil::SmtpPeer;

// A mail that knows which of its kind are alive.
class CountedMessage : public TMailMessage {
 public:
  explicit CountedMessage(const std::string& subject) : TMailMessage(subject, &kTo) { live().insert(this); }
  ~CountedMessage() override { live().erase(this); }
  static std::set<CountedMessage*>& live() {
    static std::set<CountedMessage*> messages;
    return messages;
  }
  static inline const TMailAddress kTo{"to@example.org"};
};

class MailQueueTest : public ::testing::Test {
 protected:
  void TearDown() override {
    queue.reset();
    EXPECT_TRUE(testutil::runLoopUntil([] { return TCustomSmtpClient::liveSessions() == 0; }, 5s));
    EXPECT_TRUE(CountedMessage::live().empty());
  }
  void makeQueue(int32_t size = TMailQueue::kDefaultSize) {
    queue = std::make_unique<TMailQueue>(size);
    queue->setOnMailSend([this](TMailQueue& q) {
      sent++;
      waitingAtSend.push_back(q.waiting());
    });
    queue->setOnMailError([this](TMailQueue& q, const MailTransportException& e) {
      errors.push_back(e.message());
      waitingAtError.push_back(q.waiting());
    });
  }
  CountedMessage* add(const std::string& subject) {
    auto message = std::make_unique<CountedMessage>(subject);
    CountedMessage* raw = message.get();
    queue->add(std::move(message));
    return raw;
  }
  // A peer that refuses the recipient of one connection.
  static void refuse(SmtpPeer& peer) {
    peer.send("220 ready")
        .expect()
        .send("250 hello")
        .expect()
        .send("250 ok")
        .expect()
        .send("550 no such user");
  }

  testutil::SettingsDir settings;
  std::unique_ptr<TMailQueue> queue;
  int sent = 0;
  std::vector<std::string> errors;
  std::vector<int32_t> waitingAtSend;
  std::vector<int32_t> waitingAtError;
};

TEST_F(MailQueueTest, SizeBelowTenIsRefused) {
  EXPECT_EQ(messageOf<IllegalArgumentException>([] { TMailQueue q(9); }),
            "TMailQueue.create(integer): Queue size must be at minimum 10.");
  EXPECT_EQ(TMailQueue(10).getMaxSize(), 10);
  EXPECT_EQ(TMailQueue().getMaxSize(), 255);
}

TEST_F(MailQueueTest, FullQueueDropsOldestAndKeepsSending) {
  settings.enableMail(1);  // the loop does not run: nothing is really sent
  makeQueue(10);
  for (int i = 1; i <= 12; ++i) add("mail " + std::to_string(i));
  EXPECT_EQ(queue->waiting(), 10);
  std::set<std::string> subjects;
  int busy = 0;
  for (CountedMessage* m : CountedMessage::live()) {
    subjects.insert(m->getSubject());
    busy += m->isBusy() ? 1 : 0;
  }
  EXPECT_EQ(subjects.count("mail 1") + subjects.count("mail 2"), 0u);
  EXPECT_EQ(subjects.size(), 10u);
  // The dropped mails were being delivered; the queue went on with another.
  EXPECT_EQ(busy, 1);
}

TEST_F(MailQueueTest, SwitchedOffQueueFreesMailWithoutEvent) {
  for (const char* file : {"", "system.mail-enabled = false\nsystem.from-header = v@example.org\n"}) {
    settings.write(file);
    makeQueue();
    add("mail");
    EXPECT_EQ(queue->waiting(), 0);
    EXPECT_TRUE(CountedMessage::live().empty());
    testutil::runLoopFor(50ms);
    EXPECT_EQ(sent, 0);
    EXPECT_TRUE(errors.empty());
  }
}

TEST_F(MailQueueTest, SecondMailWaitsForTheFirstDelivery) {
  SmtpPeer peer;
  peer.acceptMail().nextSession().acceptMail();
  peer.start();
  settings.enableMail(peer.port());
  makeQueue();
  CountedMessage* first = add("first");
  CountedMessage* second = add("second");
  EXPECT_TRUE(first->isBusy());
  EXPECT_FALSE(second->isBusy());
  queue->setOnMailSend([&](TMailQueue& q) {
    if (++sent == 1) {
      EXPECT_TRUE(second->isBusy());
    }
    waitingAtSend.push_back(q.waiting());
  });
  EXPECT_TRUE(TMailQueue::deliverAll(10s));
  EXPECT_EQ(sent, 2);
  EXPECT_EQ(waitingAtSend, (std::vector<int32_t>{1, 0}));
  EXPECT_TRUE(errors.empty());
  ASSERT_TRUE(testutil::runLoopUntil([&] { return peer.finished(); }));
  auto hasSubject = [](const std::vector<std::string>& lines, const std::string& subject) {
    return std::find(lines.begin(), lines.end(), "Subject: " + subject) != lines.end();
  };
  EXPECT_TRUE(hasSubject(peer.received(0), "first"));
  EXPECT_TRUE(hasSubject(peer.received(1), "second"));
}

TEST_F(MailQueueTest, MailFailingTwiceIsDropped) {
  SmtpPeer peer;
  refuse(peer);
  refuse(peer.nextSession());
  peer.start();
  settings.enableMail(peer.port());
  makeQueue();
  add("doomed");
  EXPECT_TRUE(TMailQueue::deliverAll(10s));
  const std::string text = "TMailQueue.mailError: TMailMessage.requestDone: Error 550 @request mail..";
  EXPECT_EQ(errors, (std::vector<std::string>{text, text}));
  EXPECT_EQ(waitingAtError, (std::vector<int32_t>{1, 0}));
  EXPECT_TRUE(CountedMessage::live().empty());
  EXPECT_EQ(sent, 0);
}

TEST_F(MailQueueTest, FailedMailIsTriedAgainWhenNothingElseWaits) {
  SmtpPeer peer;
  refuse(peer);
  peer.nextSession().acceptMail();
  peer.start();
  settings.enableMail(peer.port());
  makeQueue();
  add("second chance");
  EXPECT_TRUE(TMailQueue::deliverAll(10s));
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(queue->waiting(), 0);
}

TEST_F(MailQueueTest, DeliverAllReturnsAtOnceWithoutWork) {
  makeQueue();
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(TMailQueue::deliverAll(5s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

}  // namespace
