#include "mail/smtp_client.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <time.h>
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

struct Done {
  TSmtpRequest request;
  int32_t error;
  bool operator==(const Done&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Done& d) {
  return out << "(" << static_cast<int>(d.request) << ", " << d.error << ")";
}

class SmtpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    client = std::make_unique<TSmtpCli>();
    client->setHost("127.0.0.1");
    client->setSignOn("tester");
    client->setTimeout(5s);
    // As the mail message drives it: open, and on its success the mail.
    client->setOnRequestDone([this](TCustomSmtpClient& c, TSmtpRequest request, int32_t error) {
      done.push_back({request, error});
      if (request == TSmtpRequest::smtpOpen && error == 0 && !c.rcptName().empty()) c.mail();
    });
  }
  void TearDown() override {
    client.reset();
    EXPECT_TRUE(runLoopUntil([] { return TCustomSmtpClient::liveSessions() == 0; }, 5s));
  }

  void openOn(SmtpPeer& peer) {
    peer.start();
    client->setPort(peer.portText());
    client->open();
  }
  bool waitFor(size_t events) {
    return runLoopUntil([&] { return done.size() >= events; });
  }
  // Runs the loop until the peer has served every connection.
  static bool waitPeer(const SmtpPeer& peer) {
    return runLoopUntil([&] { return peer.finished(); });
  }
  // Delivers one message to a peer that accepts everything and returns the
  // lines it received.
  std::vector<std::string> deliver() {
    SmtpPeer peer;
    peer.acceptMail(static_cast<int>(client->rcptName().size()));
    openOn(peer);
    EXPECT_TRUE(waitFor(2));
    EXPECT_TRUE(waitPeer(peer));
    EXPECT_EQ(done, (std::vector<Done>{{TSmtpRequest::smtpOpen, 0}, {TSmtpRequest::smtpMail, 0}}));
    return peer.received();
  }
  // The lines between DATA and the final ".".
  static std::vector<std::string> dataOf(const std::vector<std::string>& lines) {
    auto begin = std::find(lines.begin(), lines.end(), "DATA");
    auto end = std::find(begin, lines.end(), ".");
    if (begin == lines.end() || end == lines.end()) return {};
    return {begin + 1, end};
  }

  std::unique_ptr<TSmtpCli> client;
  std::vector<Done> done;
};

TEST_F(SmtpClientTest, MultiLineGreetingIsWaitedPast) {
  SmtpPeer peer;
  peer.send("220-first").send("220-second").send("220 ready").expect().send("250 hello");
  openOn(peer);
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 0}));
  EXPECT_EQ(client->getState(), TSmtpState::smtpConnected);
  client.reset();
  ASSERT_TRUE(waitPeer(peer));
  EXPECT_EQ(peer.received(), (std::vector<std::string>{"HELO tester"}));
}

TEST_F(SmtpClientTest, RefusingGreetingClosesAndFailsWith10004) {
  SmtpPeer peer;
  peer.send("554 no service here");
  openOn(peer);
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 10004}));
  EXPECT_EQ(client->getErrorMessage(), "554 no service here");
  EXPECT_EQ(client->getState(), TSmtpState::smtpReady);
  ASSERT_TRUE(waitPeer(peer));
  EXPECT_TRUE(peer.received().empty());  // no HELO after the refusal
}

TEST_F(SmtpClientTest, ReplyWithoutCodeIsAFailure) {
  SmtpPeer peer;
  peer.send("220 ready").expect().send("hello there");
  openOn(peer);
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 500}));
}

// Refused recipients are skipped; the request fails only when all are refused.
struct RecipientCase {
  std::vector<std::string> replies;
  int32_t error;
};

class SmtpRecipientTest : public SmtpClientTest, public ::testing::WithParamInterface<RecipientCase> {};

TEST_P(SmtpRecipientTest, DataIsSentWhenSomeRecipientIsAccepted) {
  const RecipientCase& c = GetParam();
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello").expect().send("250 ok");
  for (size_t i = 0; i < c.replies.size(); ++i) {
    client->rcptName().push_back("r" + std::to_string(i) + "@example.org");
    peer.expect().send(c.replies[i]);
  }
  if (c.error == 0) peer.expect().send("354 go").readData().send("250 queued").expect().send("221 bye");
  openOn(peer);
  ASSERT_TRUE(waitFor(2));
  EXPECT_EQ(done[1], (Done{TSmtpRequest::smtpMail, c.error}));
  client.reset();
  ASSERT_TRUE(waitPeer(peer));
  std::vector<std::string> lines = peer.received();
  EXPECT_EQ(lines[2], "RCPT TO:<r0@example.org>");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DATA"), c.error == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Replies, SmtpRecipientTest,
                         ::testing::Values(RecipientCase{{"550 unknown user"}, 550},
                                           RecipientCase{{"251 User not local; will forward"}, 0},
                                           RecipientCase{{"550 unknown user", "250 ok"}, 0},
                                           RecipientCase{{"250 ok", "550 unknown user"}, 0},
                                           RecipientCase{{"551 not local", "553 bad"}, 553}));

TEST_F(SmtpClientTest, EnvelopeAndHeaderLinesInOrder) {
  client->rcptName().push_back("<to@example.org>");
  client->setHdrFrom("\"Vosko\" <v@example.org>");
  client->setHdrReplyTo("\"Vosko\" <v@example.org>");
  client->setHdrSubject("Hello\r\nBcc: victim@example.org");
  client->mailMessage() = {"body"};
  std::vector<std::string> lines = deliver();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "HELO tester");
  EXPECT_EQ(lines[1], "MAIL FROM:<>");
  EXPECT_EQ(lines[2], "RCPT TO:<to@example.org>");
  EXPECT_EQ(lines.back(), "QUIT");
  std::vector<std::string> data = dataOf(lines);
  ASSERT_EQ(data.size(), 10u);
  EXPECT_EQ(std::vector<std::string>(data.begin(), data.begin() + 7),
            (std::vector<std::string>{
                "Reply-To: \"Vosko\" <v@example.org>", "From: \"Vosko\" <v@example.org>",
                "To: ", "Subject: HelloBcc: victim@example.org", "Sender: \"Vosko\" <v@example.org>",
                "Mime-Version: 1.0", "Content-Type: text/plain; charset=\"iso-8859-1\""}));
  EXPECT_EQ(data[7].rfind("Date: ", 0), 0u) << data[7];
  EXPECT_EQ(data[8], "");
  EXPECT_EQ(data[9], "body");
}

TEST_F(SmtpClientTest, BodyLinesAreStuffedCutAndSplit) {
  client->rcptName().push_back("to@example.org");
  client->mailMessage() = {".", ".hidden", std::string(1030, 'x'), "a\r\n.\r\nRSET", ""};
  std::vector<std::string> data = dataOf(deliver());
  std::vector<std::string> body(std::find(data.begin(), data.end(), "") + 1, data.end());
  EXPECT_EQ(body,
            (std::vector<std::string>{"..", "..hidden", std::string(1023, 'x'), "a", "..", "RSET", ""}));
}

TEST_F(SmtpClientTest, SilentServerTimesOut) {
  client->setTimeout(200ms);
  SmtpPeer peer;
  peer.silent();
  openOn(peer);
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 10060}));
  EXPECT_EQ(client->getLastResponse(), "500 Timed out");
  EXPECT_EQ(TCustomSmtpClient::liveSessions(), 0);
}

TEST_F(SmtpClientTest, ServerSilentAfterQuitIsLeftAtTheDeadline) {
  client->setTimeout(200ms);
  client->rcptName().push_back("to@example.org");
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello").expect().send("250 ok").expect().send("250 ok");
  peer.expect().send("354 go").readData().send("250 queued").expect().silent();
  openOn(peer);
  ASSERT_TRUE(waitFor(2));
  EXPECT_EQ(done[1], (Done{TSmtpRequest::smtpMail, 0}));
  client.reset();  // the peer alone would hang up only after several seconds
  EXPECT_TRUE(runLoopUntil([] { return TCustomSmtpClient::liveSessions() == 0; }, 2s));
  EXPECT_EQ(peer.received().back(), "QUIT");
}

TEST_F(SmtpClientTest, ServerClosingDuringDataFailsWith10004) {
  client->rcptName().push_back("to@example.org");
  client->mailMessage() = {"body"};
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello").expect().send("250 ok").expect().send("250 ok");
  peer.expect().send("354 go").expect().hangUp();
  openOn(peer);
  ASSERT_TRUE(waitFor(2));
  EXPECT_EQ(done[1], (Done{TSmtpRequest::smtpMail, 10004}));
}

TEST_F(SmtpClientTest, OverLongReplyLineFailsInsteadOfGrowing) {
  SmtpPeer peer;
  peer.sendRaw("220 " + std::string(100000, 'x'));
  openOn(peer);
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 10004}));
  EXPECT_EQ(client->getLastResponse(), "500 Reply line too long");
}

TEST_F(SmtpClientTest, MisuseRaisesAtTheCall) {
  EXPECT_EQ(messageOf<SmtpException>([&] { client->mail(); }), "SMTP component not connected");
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello");
  openOn(peer);
  EXPECT_EQ(messageOf<SmtpException>([&] { client->open(); }), "SMTP component not ready");
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(messageOf<SmtpException>([&] { client->connect(); }), "SMTP component already connected");
  EXPECT_EQ(messageOf<SmtpException>([&] { client->mail(); }), "RcptName list is empty");
}

TEST_F(SmtpClientTest, RefusedConnectionFailsPromptly) {
  // A port that was just free: bound once, never listened on.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  client->setTimeout(60s);
  client->setPort(std::to_string(ntohs(addr.sin_port)));
  client->open();
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0].request, TSmtpRequest::smtpOpen);
  EXPECT_NE(done[0].error, 0);
  EXPECT_EQ(client->getLastResponse(),
            "500 Connection refused (Winsock error #" + std::to_string(done[0].error) + ")");
}

TEST_F(SmtpClientTest, EmptyHostIsNotThisMachine) {
  SmtpPeer peer;  // listening, never started: a connection would stay pending
  client->setHost("");
  client->setPort(peer.portText());
  client->open();
  ASSERT_TRUE(waitFor(1));
  EXPECT_NE(done[0].error, 0);
  EXPECT_EQ(client->getLastResponse().rfind("500 Host not found", 0), 0u) << client->getLastResponse();
}

TEST_F(SmtpClientTest, AbortEndsTheRunningRequest) {
  SmtpPeer peer;
  peer.silent();
  openOn(peer);
  ASSERT_TRUE(runLoopUntil([&] { return client->getState() == TSmtpState::smtpWaitingBanner; }));
  client->abort();
  ASSERT_TRUE(waitFor(1));
  EXPECT_EQ(done[0], (Done{TSmtpRequest::smtpOpen, 426}));
  EXPECT_EQ(client->getErrorMessage(), "426 Operation aborted.");
  EXPECT_EQ(client->getState(), TSmtpState::smtpReady);
  EXPECT_EQ(TCustomSmtpClient::liveSessions(), 0);
}

TEST_F(SmtpClientTest, HandlerMayDestroyTheClientAndQuitStillFinishes) {
  client->rcptName().push_back("to@example.org");
  client->setOnRequestDone([this](TCustomSmtpClient& c, TSmtpRequest request, int32_t error) {
    if (request == TSmtpRequest::smtpOpen) {
      done.push_back({request, error});
      return c.mail();
    }
    client.reset();  // first; the captures must still be usable afterwards
    done.push_back({request, error});
  });
  SmtpPeer peer;
  peer.acceptMail();
  openOn(peer);
  ASSERT_TRUE(waitFor(2));
  EXPECT_EQ(done[1], (Done{TSmtpRequest::smtpMail, 0}));
  ASSERT_TRUE(waitPeer(peer));
  EXPECT_EQ(peer.received().back(), "QUIT");
  EXPECT_TRUE(runLoopUntil([] { return TCustomSmtpClient::liveSessions() == 0; }));
}

TEST_F(SmtpClientTest, DestroyedClientRaisesNoEvent) {
  SmtpPeer peer;
  peer.send("220 ready").expect().send("250 hello");
  openOn(peer);
  runLoopUntil([&] { return client->getState() == TSmtpState::smtpWaitingResponse; });
  client.reset();
  ASSERT_TRUE(waitPeer(peer));
  testutil::runLoopFor(50ms);
  EXPECT_TRUE(done.empty());
}

TEST(SmtpDateTest, ZoneOffsetSignIsThatOfLocalTime) {
  struct Case {
    int32_t bias;
    const char* text;
  } cases[] = {{0, "+0000"},    {-60, "+0100"}, {-120, "+0200"},
               {-330, "+0530"}, {300, "-0500"}, {570, "-0930"}};
  for (const Case& c : cases) EXPECT_EQ(TCustomSmtpClient::zoneOffset(c.bias), c.text) << c.bias;
}

class SmtpDateZoneTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }
  void zone(const char* name) {
    if (const char* tz = getenv("TZ")) saved_ = tz;
    setenv("TZ", name, 1);
    tzset();
  }
  std::string saved_;
};

TEST_F(SmtpDateZoneTest, EnglishNamesAndNumericZone) {
  zone("UTC");
  EXPECT_EQ(TCustomSmtpClient::dateHeader(0), "Thu, 1 Jan 1970 00:00:00 +0000");
  if (access("/usr/share/zoneinfo/Europe/Berlin", R_OK) != 0) GTEST_SKIP() << "no tzdata";
  zone("Europe/Berlin");
  EXPECT_EQ(TCustomSmtpClient::dateHeader(1700000000), "Tue, 14 Nov 2023 23:13:20 +0100");
  EXPECT_EQ(TCustomSmtpClient::dateHeader(1690000000), "Sat, 22 Jul 2023 06:26:40 +0200");
}

}  // namespace
