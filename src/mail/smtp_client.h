// TCustomSmtpClient and TSmtpCli: an asynchronous SMTP client (RFC 821) that
// sends one plain-text message with RFC 822 header lines.
//
// The client never blocks. Each request starts asynchronous work on the
// thread's event loop (platform/event_loop.h) and completes later through
// the request-done event, which is posted to that loop and so arrives after
// the call that started the request has returned. Nothing progresses unless
// somebody runs the loop.
//
// One client serves one delivery: `open` (connect, greeting, HELO with
// `SignOn`), then `mail` (MAIL FROM, RCPT TO, DATA). After a successful mail
// transaction the client sends QUIT and closes by itself. Every request has a
// time-out (60 s unless set otherwise); when it passes the request completes
// with the error 10060 and `LastResponse` "500 Timed out".
//
// The transaction: a refused recipient is skipped wherever it stands in
// `RcptName`; the request fails with the last refusal only when every
// recipient was refused. Body lines are split at CR and LF, cut to 1023
// characters and dot-stuffed; CR and LF are removed from header values and
// commands, so no value can add lines of its own. A reply line without a
// code counts as 500. A reply line longer than the receive buffer (4096
// bytes) closes the connection: the request completes with 10004 and
// `LastResponse` "500 Reply line too long".
//
// Lifetime: the client touches nothing of itself after raising request-done,
// so the handler may destroy it. Destroying the client closes its connection
// at once, except a QUIT already under way, which finishes (or times out) in
// the background; `liveSessions` counts connections not yet closed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/export.h"

namespace asio {
class io_context;
}

// Misuse of the client, raised at the call.
VOSKO_EXCEPTION(SmtpException, Exception);

// In this order; stateName gives the names "smtpReady" ... "smtpAbort".
enum class TSmtpState {
  smtpReady,
  smtpDnsLookup,
  smtpConnecting,
  smtpConnected,
  smtpInternalReady,
  smtpWaitingBanner,
  smtpWaitingResponse,
  smtpAbort
};

// In this order: the values are the request numbers of the mail layer's
// requestNames (0 connect ... 10 custom).
enum class TSmtpRequest : int32_t {
  smtpConnect,
  smtpHelo,
  smtpMailFrom,
  smtpVrfy,
  smtpRcptTo,
  smtpData,
  smtpQuit,
  smtpRset,
  smtpOpen,
  smtpMail,
  smtpCustom
};

enum class TSmtpContentType { smtpPlainText, smtpHtml };

// The asynchronous SMTP client: one delivery per client, every request
// completing later through the request-done event.
class VOSKO_API TCustomSmtpClient {
 public:
  // (sender, request, error): error 0 on success, else a reply code, a socket
  // error number, 10004 (connection closed) or 10060 (timed out).
  using RequestDoneEvent = std::function<void(TCustomSmtpClient&, TSmtpRequest, int32_t)>;
  // (sender, text): display lines ("> " command, "< " reply), commands, replies.
  using TextEvent = std::function<void(TCustomSmtpClient&, const std::string&)>;
  // (sender, error): session connected / closed.
  using SessionEvent = std::function<void(TCustomSmtpClient&, int32_t)>;
  // (sender, line): may rewrite a header line before it is sent.
  using HeaderLineEvent = std::function<void(TCustomSmtpClient&, std::string&)>;
  // (sender, lines): sees the complete header before it is sent.
  using ProcessHeaderEvent = std::function<void(TCustomSmtpClient&, std::vector<std::string>&)>;
  using StateChangeEvent = std::function<void(TCustomSmtpClient&)>;

  static constexpr int32_t kErrorClosed = 10004;
  static constexpr int32_t kErrorTimedOut = 10060;
  static constexpr int32_t kErrorAborted = 426;
  static constexpr std::size_t kReceiveBufferSize = 4096;
  static constexpr std::size_t kMaxBodyLine = 1023;
  static constexpr std::chrono::milliseconds kDefaultTimeout{60000};

  // On platform::eventLoop().
  TCustomSmtpClient();
  explicit TCustomSmtpClient(asio::io_context& loop);
  virtual ~TCustomSmtpClient();
  TCustomSmtpClient(const TCustomSmtpClient&) = delete;
  TCustomSmtpClient& operator=(const TCustomSmtpClient&) = delete;

  // Settable values (initial value in brackets).
  void setHost(const std::string& host);  // [empty] name or dotted address
  const std::string& getHost() const;
  void setPort(const std::string& port);  // ["smtp"] service name or decimal port
  const std::string& getPort() const;
  void setFromName(const std::string& from);  // [empty] envelope sender
  const std::string& getFromName() const;
  void setSignOn(const std::string& signOn);  // [empty] argument of HELO
  const std::string& getSignOn() const;
  std::vector<std::string>& rcptName();     // [empty] envelope recipients
  std::vector<std::string>& mailMessage();  // [empty] body lines
  void setHdrFrom(const std::string& value);
  void setHdrReplyTo(const std::string& value);
  void setHdrSubject(const std::string& value);
  void setHdrTo(const std::string& value);
  void setHdrReturnPath(const std::string& value);
  void setHdrSender(const std::string& value);
  void setCharSet(const std::string& charSet);         // ["iso-8859-1"]
  void setContentType(TSmtpContentType type);          // [smtpPlainText]
  void setTimeout(std::chrono::milliseconds timeout);  // [kDefaultTimeout] per request

  TSmtpState getState() const;
  // The last reply line received (or the text a failure put there).
  const std::string& getLastResponse() const;
  // The reply that refused the greeting, or the text of a socket failure.
  const std::string& getErrorMessage() const;

  void setOnRequestDone(RequestDoneEvent handler);
  void setOnDisplay(TextEvent handler);
  void setOnCommand(TextEvent handler);
  void setOnResponse(TextEvent handler);
  void setOnSessionConnected(SessionEvent handler);
  void setOnSessionClosed(SessionEvent handler);
  void setOnHeaderLine(HeaderLineEvent handler);
  void setOnProcessHeader(ProcessHeaderEvent handler);
  void setOnStateChange(StateChangeEvent handler);

  // Requests. Each raises SmtpException "SMTP component not ready" unless the
  // state is smtpReady or smtpInternalReady (or smtpConnected for those that
  // need a connection); connect/open on a connected client raise "SMTP
  // component already connected"; helo, mail, quit, rset and vrfy without a
  // connection raise "SMTP component not connected"; mail with an empty
  // RcptName raises "RcptName list is empty".
  void connect();
  void open();
  void helo();
  void mail();
  void quit();
  void rset();
  void vrfy(const std::string& name);
  // Closes the socket; a running request completes with 426 and
  // ErrorMessage "426 Operation aborted.".
  void abort();

  // "ddd, d mmm yyyy hh:mm:ss +hhmm" for the given local time, in English
  // whatever the locale; the zone is -0000 when the system cannot tell.
  static std::string dateHeader(std::time_t time);
  // "-hhmm" of a bias in minutes (universal time minus local time); "+" for a
  // negative or zero bias ("+0000" is universal time, "-0000" an unknown zone).
  static std::string zoneOffset(int32_t biasMinutes);
  // "smtpReady" ... "smtpAbort".
  static const char* stateName(TSmtpState state);
  // Connections of any client not closed yet, including those finishing a
  // QUIT after their client was destroyed.
  static int32_t liveSessions();

 private:
  struct Session;
  std::shared_ptr<Session> session_;
};

// The client as the mail layer uses it. It has no attachments: the message
// is always a single plain-text part.
class VOSKO_API TSmtpCli : public TCustomSmtpClient {
 public:
  using TCustomSmtpClient::TCustomSmtpClient;
};
