// Mail writers: what the mail step of a channel's configuration builds, the
// mail a writer makes of an entry, and which entries it queues.
#include "debug/mail_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "basis/exceptions.h"
#include "channel_fixture.h"
#include "debug/error_entry.h"
#include "mail/mail_address.h"
#include "mail/mail_message.h"
#include "mail/mail_queue.h"
#include "mail/smtp_peer.h"

namespace {

// Runs the test in a directory of its own, where system.properties is looked for.
class MailWriterTest : public ChannelFixture {
 protected:
  void SetUp() override {
    ChannelFixture::SetUp();
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    oldDirectory_ = buffer;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(oldDirectory_.c_str()), 0);
    ChannelFixture::TearDown();
  }
  void systemProperties(const std::string& text) { testutil::writeFile(dir.file("system.properties"), text); }

  static std::vector<std::string> classes(TDebugWriters& writers) {
    std::vector<std::string> names;
    std::unique_ptr<TArrayList> all = writers.get(instanceTest<TDebugWriter>());
    for (int32_t i = 0; i < all->size(); ++i) names.push_back(all->get(i)->className());
    return names;
  }
  static TMailWriter* mailWriter(TDebugWriters& writers) {
    return static_cast<TMailWriter*>(writers.get("TMailWriter")->get(0));
  }

  std::string oldDirectory_;
};

TErrorEntry errorEntry(int32_t level) {
  IOException failure("TFile: IO error while read binary.");
  return TErrorEntry(&failure, 0.0, 2, "vosko", "convertVosko.exe: it failed", level, "Success");
}

TEST_F(MailWriterTest, MailStepAddsTwoWritersLastSharingOneSender) {
  configure("system.debug.errorfile = " + dir.file("errors.txt") +
            "\n"
            "system.debug.mail.enabled = true\n"
            "system.debug.mail.from = Vosko Debug <debug@example.org>\n"
            "vosko.debug.error-mail.level = 2\n");
  TChannel* vosko = channel("vosko");
  EXPECT_EQ(classes(vosko->getErrorWriters()),
            (std::vector<std::string>{"TSystemOutWriter", "TTextWriter", "TMailWriter"}));
  EXPECT_EQ(classes(vosko->getTraceWriters()), (std::vector<std::string>{"TSystemOutWriter", "TMailWriter"}));
  TMailWriter* errorMail = mailWriter(vosko->getErrorWriters());
  TMailWriter* traceMail = mailWriter(vosko->getTraceWriters());
  EXPECT_EQ(errorMail->getLevel(), 2);
  EXPECT_EQ(traceMail->getLevel(), 1);
  EXPECT_EQ(errorMail->getSender(), traceMail->getSender());
  EXPECT_EQ(errorMail->getSender()->toString(), "\"Vosko Debug\" <debug@example.org>");
  EXPECT_TRUE(errorMail->getRecipients().empty());
}

TEST_F(MailWriterTest, RecipientListsSkipInvalidPiecesWithOneReportEach) {
  configure(
      "system.debug.mail.enabled = TRUE\n"
      "system.debug.mail.from = debug@example.org\n"
      "system.debug.error-mail.recipients = a@example.org, nobody ,,b@example.org\n"
      "system.debug.trace-mail.recipients = c@example.org\n");
  TChannel* vosko = nullptr;
  Captured output = captureOutput([&] { vosko = channel("vosko"); });
  std::vector<std::string> addresses;
  for (const auto& r : mailWriter(vosko->getErrorWriters())->getRecipients())
    addresses.push_back(r->toString());
  EXPECT_EQ(addresses, (std::vector<std::string>{"a@example.org", "b@example.org"}));
  EXPECT_EQ(mailWriter(vosko->getTraceWriters())->getRecipients().size(), 1u);
  EXPECT_EQ(output.out,
            "DEBUG: INTERNAL ERROR: method: <TChannel.parseRecipients>\n"
            "     exClass: IllegalMailAddressException\n"
            "     exMsg:   TMailAddress: Illegal address: 'nobody'.\n");
}

TEST_F(MailWriterTest, MailWithoutAnySenderEndsInTheFallback) {
  // No debug.mail.from and no system.properties: the sender text is empty.
  configure("system.debug.mail.enabled = true\nsystem.debug.error-mail.recipients = a@example.org\n");
  TChannel* vosko = nullptr;
  Captured output = captureOutput([&] { vosko = channel("vosko"); });
  EXPECT_EQ(classes(vosko->getErrorWriters()), (std::vector<std::string>{"TSystemOutWriter"}));
  EXPECT_NE(output.out.find("<TChannel.refresh>\n     exClass: IllegalMailAddressException\n"
                            "     exMsg:   TMailAddress: Illegal address: '.'\n"),
            std::string::npos)
      << output.out;
}

TEST_F(MailWriterTest, SenderDefaultsToTheSystemSender) {
  EXPECT_EQ(TMailWriter::systemSender(), "");
  systemProperties("system.host = h\n");
  EXPECT_EQ(TMailWriter::systemSender(), TMailWriter::kPlaceholderSender);
  systemProperties("system.from-header = Vosko <vosko@example.org>\n");
  EXPECT_EQ(TMailWriter::systemSender(), "Vosko <vosko@example.org>");
}

TEST_F(MailWriterTest, MessageNamesHostAndChannelAndCarriesTheEntryLineByLine) {
  systemProperties("system.host = srv1\nsystem.host.display = Archive\nsystem.from-header = x@example.org\n");
  TMailWriter writer(std::make_shared<TMailAddress>("Debug", "debug@example.org"), 1);
  writer.addRecipient("admin@example.org");
  std::unique_ptr<TMailMessage> message = writer.createMessage(errorEntry(1));
  EXPECT_EQ(message->getSubject(), "ERROR at srv1 - Archive (unknown) in vosko");
  EXPECT_EQ(message->getFrom()->toString(), "\"Debug\" <debug@example.org>");
  ASSERT_EQ(message->getRecipients().size(), 1u);
  EXPECT_EQ(message->getRecipients()[0]->getAddress(), "admin@example.org");

  const std::vector<std::string>& lines = message->getLines().strings();
  const std::string rule(43, '_');
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_FALSE(lines[2].empty());  // the rights notice
  EXPECT_EQ(lines, (std::vector<std::string>{
                       rule, "automatically generated by orvane debug ...", lines[2], rule, "",
                       "vosko: FATAL ERROR: convertVosko.exe: it failed", "\texception",
                       "\tclass: IOException", "\tmessage: TFile: IO error while read binary.",
                       "\tsystem message: Success", "", rule, "DO NOT REPLY ON THIS MESSAGE"}));
}

TEST_F(MailWriterTest, QueuesOnlyEntriesWithinItsLevelAndOnlyWithRecipients) {
  // Mail is on, but nothing runs the event loop: a queued mail stays waiting.
  systemProperties(
      "system.mail-enabled = true\nsystem.smtp-host.address = 127.0.0.1\nsystem.smtp-host.port = 9\n"
      "system.from-header = x@example.org\n");
  auto sender = std::make_shared<TMailAddress>("debug@example.org");
  TMailWriter withoutRecipients(sender, 1);
  withoutRecipients.write(errorEntry(0));
  EXPECT_EQ(withoutRecipients.getQueue().waiting(), 0);

  TMailWriter writer(sender, 1);
  writer.addRecipient("admin@example.org");
  writer.write(errorEntry(2));
  EXPECT_EQ(writer.getQueue().waiting(), 0);
  writer.write(errorEntry(1));
  EXPECT_EQ(writer.getQueue().waiting(), 1);
}

TEST_F(MailWriterTest, DeliveryIsTracedOnSystemAndThatTraceIsNeverMailed) {
  testutil::SmtpPeer peer;
  peer.acceptMail().start();
  systemProperties(
      "system.mail-enabled = true\nsystem.smtp-host.address = 127.0.0.1\nsystem.from-header = x@a.org\n"
      "system.smtp-host.port = " +
      peer.portText());
  configure(
      "system.debug.verbosemode = 2\nsystem.debug.mail.enabled = true\nsystem.debug.mail.from = d@a.org\n"
      "system.debug.trace-mail.level = 3\nsystem.debug.trace-mail.recipients = admin@a.org\n");
  Captured output = captureOutput([&] {
    channel("system")->trace("disk full", 3);
    EXPECT_TRUE(TMailQueue::deliverAll(std::chrono::seconds(5)));
  });
  EXPECT_EQ(output.out, "system: disk full\nsystem: TMailWriter.mailSend: Queue said error mail send.\n");
}

}  // namespace
