// Error mail from a real run: the built converter, with mail switched on in
// its debug.properties, fails a conversion and must have delivered the
// FATAL ERROR mail to a real SMTP server (aiosmtpd on loopback) before it
// ends; a server that never answers or one that is not there must not keep
// it from ending.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "test_util.h"

namespace {

const std::string kProgram = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";
const std::string kPython = "/usr/bin/python3";

// A TCP socket on 127.0.0.1 with a port of the kernel's choosing; listening
// or not, as asked.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(bool listening) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (listening) listen(fd_, 8);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackSocket() { close(fd_); }
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

bool accepts(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// aiosmtpd storing every mail in a Maildir; it insists on HELO before MAIL.
class SmtpServer {
 public:
  explicit SmtpServer(const std::string& maildir) : maildir_(maildir) {
    {
      LoopbackSocket probe(false);
      port_ = probe.port();
    }
    pid_ = fork();
    if (pid_ == 0) {
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      const std::string listen = "127.0.0.1:" + std::to_string(port_);
      execl(kPython.c_str(), kPython.c_str(), "-m", "aiosmtpd", "-n", "-l", listen.c_str(), "-c",
            "aiosmtpd.handlers.Mailbox", maildir.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && !accepts(port_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~SmtpServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  SmtpServer(const SmtpServer&) = delete;
  SmtpServer& operator=(const SmtpServer&) = delete;

  bool running() const { return accepts(port_); }
  int port() const { return port_; }
  std::vector<std::string> mails() const {
    std::vector<std::string> files;
    DIR* d = opendir((maildir_ + "/new").c_str());
    if (d == nullptr) return files;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') files.push_back(maildir_ + "/new/" + e->d_name);
    }
    closedir(d);
    return files;
  }

 private:
  std::string maildir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// A copy of the converter in a directory of its own, so that it reads the
// debug.properties written beside it; it runs in `work`, where it finds
// system.properties.
class ErrorMailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir(dir.file("bin").c_str(), 0755);
    mkdir(dir.file("work").c_str(), 0755);
    program_ = dir.file("bin/convertVOSKO");
    testutil::writeFile(program_, testutil::readFile(kProgram));
    chmod(program_.c_str(), 0755);
  }

  void configure(int port, int shutdownSeconds, const std::string& moreDebugProperties = "") {
    testutil::writeFile(dir.file("bin/debug.properties"),
                        "system.debug.verbosemode = 2\n"
                        "system.debug.mail.enabled = true\n"
                        "system.debug.error-mail.recipients = admin@example.org, nobody, ops@example.org\n"
                        "system.mail-shutdown-timeout = " +
                            std::to_string(shutdownSeconds) + "\n" + moreDebugProperties);
    testutil::writeFile(dir.file("work/system.properties"),
                        "system.mail-enabled = true\n"
                        "system.smtp-host.address = 127.0.0.1\n"
                        "system.smtp-host.port = " +
                            std::to_string(port) +
                            "\n"
                            "system.host = backup-host\n"
                            "system.from-header = Vosko Converter <vosko@example.org>\n");
  }

  // A conversion that fails: the input does not exist.
  testutil::RunResult failingRun(double* seconds) {
    auto start = std::chrono::steady_clock::now();
    testutil::RunResult result =
        testutil::run(program_, {"2.5.5", "missing.vsk", "out.vsk"}, dir.file("work"));
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
  }

  testutil::TempDir dir;
  std::string program_;
};

TEST_F(ErrorMailTest, FatalErrorIsMailedBeforeTheProgramEnds) {
  SmtpServer server(dir.file("maildir"));
  if (!server.running()) GTEST_SKIP() << "aiosmtpd could not be started";
  configure(server.port(), 30);
  double seconds = 0;
  testutil::RunResult result = failingRun(&seconds);
  EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
  EXPECT_NE(result.out.find("vosko: FATAL ERROR: convertVosko.exe: "), std::string::npos) << result.out;

  std::vector<std::string> mails = server.mails();
  ASSERT_EQ(mails.size(), 1u) << result.out << result.err;
  // Python's email package must read the headers; its view of the mail is compared.
  testutil::RunResult parsed = testutil::run(
      kPython, {"-c",
                "import email, sys\n"
                "m = email.message_from_binary_file(open(sys.argv[1], 'rb'))\n"
                "for k in ('Subject', 'From', 'Reply-To', 'Sender', 'To', 'Mime-Version', 'Content-Type'):\n"
                "    print(k + ': ' + str(m[k]))\n"
                "print('Date parsed: ' + str(email.utils.parsedate_to_datetime(m['Date']) is not None))\n"
                "print('To envelope: ' + m['X-RcptTo'])\n"
                "print(m.get_payload(), end='')\n",
                mails[0]});
  ASSERT_EQ(parsed.exitCode, 0) << parsed.err;
  const std::string rule(43, '_');
  const std::string expectedStart =
      "Subject: ERROR at backup-host - unknown (unknown) in vosko\n"
      "From: \"Vosko Converter\" <vosko@example.org>\n"
      "Reply-To: \"Vosko Converter\" <vosko@example.org>\n"
      "Sender: \"Vosko Converter\" <vosko@example.org>\n"
      "To: \n"
      "Mime-Version: 1.0\n"
      "Content-Type: text/plain; charset=\"iso-8859-1\"\n"
      "Date parsed: True\n"
      "To envelope: admin@example.org, ops@example.org\n" +
      rule + "\n" + "automatically generated by orvane debug ...\n";
  EXPECT_EQ(parsed.out.substr(0, expectedStart.size()), expectedStart) << parsed.out;
  EXPECT_NE(parsed.out.find(rule + "\n\nvosko: FATAL ERROR: convertVosko.exe: "), std::string::npos)
      << parsed.out;
  EXPECT_NE(parsed.out.find("\n\texception\n\tclass: "), std::string::npos) << parsed.out;
  EXPECT_NE(parsed.out.find("\n\n" + rule + "\nDO NOT REPLY ON THIS MESSAGE\n"), std::string::npos)
      << parsed.out;
}

TEST_F(ErrorMailTest, DeliveryNoticeIsNotMailedWhenTracesOfItsLevelAre) {
  SmtpServer server(dir.file("maildir"));
  if (!server.running()) GTEST_SKIP() << "aiosmtpd could not be started";
  configure(server.port(), 8,
            "system.debug.trace-mail.level = 3\nsystem.debug.trace-mail.recipients = admin@example.org\n");
  double seconds = 0;
  testutil::RunResult result = failingRun(&seconds);
  EXPECT_EQ(server.mails().size(), 1u) << result.out;
  EXPECT_EQ(result.out.find("not delivered within"), std::string::npos) << result.out;
}

TEST_F(ErrorMailTest, SilentServerDelaysTheEndOnlyUntilTheShutdownDeadline) {
  LoopbackSocket silent(true);  // the kernel accepts; nobody ever answers
  configure(silent.port(), 2);
  double seconds = 0;
  testutil::RunResult result = failingRun(&seconds);
  EXPECT_EQ(result.exitCode, 1) << result.out;
  EXPECT_GE(seconds, 1.5);
  EXPECT_LT(seconds, 20.0);
  EXPECT_NE(result.out.find(
                "<shutdownDebug>\n     exClass: MailTransportException\n     exMsg:   shutdownDebug: Mail "
                "'ERROR at backup-host - unknown (unknown) in vosko' to admin@example.org, "
                "ops@example.org not delivered within 2 s.\n"),
            std::string::npos)
      << result.out;
}

TEST_F(ErrorMailTest, MissingServerIsAnInternalErrorAndTheProgramEndsAtOnce) {
  LoopbackSocket closed(false);  // bound, not listening: connections are refused
  configure(closed.port(), 30);
  double seconds = 0;
  testutil::RunResult result = failingRun(&seconds);
  EXPECT_EQ(result.exitCode, 1) << result.out;
  EXPECT_LT(seconds, 20.0);
  EXPECT_NE(result.out.find(
                "DEBUG: INTERNAL ERROR: method: <TMailWriter.mailError(TObject)>\n"
                "     exClass: MailTransportException\n"
                "     exMsg:   TMailQueue.mailError: TMailMessage.requestDone: Error 111 @request open..\n"),
            std::string::npos)
      << result.out;
}

}  // namespace
