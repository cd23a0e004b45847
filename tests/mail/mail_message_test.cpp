#include "mail/mail_message.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "basis/expect_message.h"
#include "mail/mail_test_util.h"
#include "mail/smtp_peer.h"

namespace {

using namespace std::chrono_literals;
using testutil::runLoopUntil;
using testutil::SmtpPeer;

class MailMessageTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMailMessage> makeMessage(const std::string& subject = "Subject") {
    TMailAddress to("Receiver Name", "to@example.org");
    auto message = std::make_unique<TMailMessage>(subject, &to);
    // The receivers free the message first and then still use their own
    // captures: the message must have raised the event from a copy.
    message->setOnMailSend([this](TMailMessage&) {
      this->message.reset();
      sent++;
    });
    message->setOnMailError([this](TMailMessage&, const MailTransportException& e) {
      this->message.reset();
      errors.push_back(e.message());
    });
    return message;
  }

  testutil::SettingsDir settings;
  std::unique_ptr<TMailMessage> message;
  int sent = 0;
  std::vector<std::string> errors;
};

TEST_F(MailMessageTest, NilAddressesRaise) {
  TMailMessage m("s");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { m.setFrom(nullptr); }),
            "TMailMessage: From-address is nil.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { m.addRecipient(nullptr); }),
            "TMailMessage: Recipient-address is nil.");
}

TEST_F(MailMessageTest, SettingsFallBackTogether) {
  struct Case {
    const char* file;  // nullptr: no settings file
    bool enabled;
    const char* host;
    int32_t port;
    const char* from;  // "" for none
  } cases[] = {
      {nullptr, false, "", 25, ""},
      {"system.mail-enabled = TRUE\nsystem.smtp-host.address = mx.example.org\nsystem.smtp-host.port = 2525\n"
       "system.from-header = Vosko <v@example.org>\n",
       true, "mx.example.org", 2525, "\"Vosko\" <v@example.org>"},
      {"system.mail-enabled = yes\nsystem.smtp-host.port = many\nsystem.from-header = v@example.org\n", false,
       "", 25, "v@example.org"},
      // Without a usable sender everything falls back, even the switch.
      {"system.mail-enabled = true\nsystem.smtp-host.address = mx.example.org\n", false, "", 25, ""},
      {"system.mail-enabled = true\nsystem.smtp-host.address = mx\nsystem.from-header = Vosko\n", false, "",
       25, ""},
  };
  for (const auto& c : cases) {
    if (c.file != nullptr) {
      settings.write(c.file);
    } else {
      unlink("system.properties");
    }
    TMailMessage m("s");
    EXPECT_EQ(m.isMailEnabled(), c.enabled) << c.file;
    EXPECT_EQ(m.getSmtpHost(), c.host) << c.file;
    EXPECT_EQ(m.getSmtpPort(), c.port) << c.file;
    EXPECT_EQ(m.getFrom() ? m.getFrom()->toString() : "", c.from) << c.file;
  }
}

TEST_F(MailMessageTest, InertMessageSendsNothing) {
  message = makeMessage();
  message->send();
  EXPECT_FALSE(message->isBusy());
  testutil::runLoopFor(50ms);
  EXPECT_EQ(sent, 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(MailMessageTest, DeliversWithBareEnvelopeRecipientAndHello) {
  SmtpPeer peer;
  peer.acceptMail();
  peer.start();
  settings.enableMail(peer.port());
  message = makeMessage("Error\r\nBcc: x@example.org");
  message->addLine("first line");
  message->send();
  EXPECT_TRUE(message->isBusy());
  ASSERT_TRUE(runLoopUntil([&] { return sent == 1 && peer.finished(); }));
  EXPECT_EQ(message, nullptr);
  EXPECT_TRUE(errors.empty());
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::vector<std::string> lines = peer.received();
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], std::string("HELO ") + (host[0] != '\0' ? host : "localhost"));
  EXPECT_EQ(lines[1], "MAIL FROM:<>");
  EXPECT_EQ(lines[2], "RCPT TO:<to@example.org>");
  EXPECT_EQ(lines[4], "Reply-To: \"Vosko Debug\" <debug@example.org>");
  EXPECT_EQ(lines[5], "From: \"Vosko Debug\" <debug@example.org>");
  EXPECT_EQ(lines[6], "To: ");
  EXPECT_EQ(lines[7], "Subject: ErrorBcc: x@example.org");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "first line"), lines.end());
  EXPECT_EQ(lines.back(), "QUIT");
}

TEST_F(MailMessageTest, RefusedRecipientBecomesErrorEvent) {
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello").expect().send("250 ok").expect().send("550 no such user");
  peer.start();
  settings.enableMail(peer.port());
  message = makeMessage();
  message->send();
  ASSERT_TRUE(runLoopUntil([&] { return !errors.empty() && peer.finished(); }));
  EXPECT_EQ(errors, (std::vector<std::string>{"TMailMessage.requestDone: Error 550 @request mail."}));
  EXPECT_EQ(sent, 0);
}

TEST_F(MailMessageTest, StepFailuresAreReportedOnce) {
  settings.enableMail(1);  // never reached: the loop does not run
  TMailMessage noRecipient("s");
  noRecipient.setOnMailError(
      [&](TMailMessage&, const MailTransportException& e) { errors.push_back(e.message()); });
  noRecipient.send();
  EXPECT_FALSE(noRecipient.isBusy());

  message = makeMessage();
  TMailMessage* busy = message.get();
  busy->setOnMailError(
      [&](TMailMessage&, const MailTransportException& e) { errors.push_back(e.message()); });
  busy->send();
  EXPECT_TRUE(busy->isBusy());
  busy->send();  // also ends the delivery under way
  EXPECT_FALSE(busy->isBusy());
  EXPECT_EQ(errors, (std::vector<std::string>{"TMailMessage.assembleRecipients: No recipients.",
                                              "TMailMessage.send: Busy ... already about to send a mail.."}));
}

TEST(MailMessageNamesTest, RequestNames) {
  const char* names[] = {"connect", "hello", "mail-from", "verify", "rcpt-to", "data",
                         "quit",    "reset", "open",      "mail",   "custom"};
  for (int32_t i = 0; i <= 10; ++i) EXPECT_EQ(TMailMessage::requestName(i), names[i]);
  EXPECT_EQ(TMailMessage::requestName(11), "unknown");
  EXPECT_EQ(TMailMessage::requestName(-1), "unknown");
}

}  // namespace
