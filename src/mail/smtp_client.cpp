#include "mail/smtp_client.h"

#include <algorithm>
#include <asio.hpp>
#include <cctype>
#include <cstdint>
#include <utility>

#include "platform/event_loop.h"

// The protocol lives in a Session that every pending asynchronous handler
// holds by shared_ptr. The facade only points at it, so destroying the facade
// never frees memory a queued completion still needs: the session stops
// (stopped_) and its handlers return at their first line, or, while a QUIT is
// under way, it finishes that QUIT on its own without raising events.
//
// Every socket completion carries the generation of the connection it was
// started on; closing the socket starts a new generation, so a late
// completion of a closed connection is ignored even if a new one is open.

namespace {

using asio::ip::tcp;

int32_t gLiveSessions = 0;

const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string trim(const std::string& s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

bool isBlank(const std::string& s) { return trim(s).empty(); }

// A CR or LF inside a header value or a command would end the line early and
// let the value inject header lines or commands of its own.
std::string withoutLineBreaks(std::string s) {
  std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
  return s;
}

// The argument of MAIL FROM and RCPT TO: kept as it is when already bracketed.
std::string envelopeArgument(const std::string& name) {
  std::string t = trim(name);
  if (t.find('<') != std::string::npos && t.find('>') != std::string::npos) return t;
  return "<" + t + ">";
}

std::string twoDigits(int value) {
  std::string s = std::to_string(value);
  return s.size() < 2 ? "0" + s : s;
}

struct Reply {
  int32_t code = 0;
  bool continuation = false;
};

// The decimal number at the start of the line (after blanks, optional sign);
// a "-" right after it marks a continuation line.
Reply parseReply(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  int64_t value = 0;
  size_t digits = 0;
  for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i, ++digits) {
    if (value < 100000000) value = value * 10 + (line[i] - '0');
  }
  Reply reply;
  reply.continuation = digits > 0 && i < line.size() && line[i] == '-';
  reply.code = static_cast<int32_t>(negative ? -value : value);
  // Error 0 means success: a reply without a usable code must not read as one.
  if (reply.code <= 0) reply.code = 500;
  return reply;
}

// The body line as it goes on the wire: pieces split at line breaks (a bare
// "." piece would otherwise end the data), each cut and dot-stuffed.
void appendBodyLine(std::string& out, const std::string& line) {
  size_t start = 0;
  while (true) {
    size_t end = line.find_first_of("\r\n", start);
    std::string piece = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (piece.size() > TCustomSmtpClient::kMaxBodyLine) piece.resize(TCustomSmtpClient::kMaxBodyLine);
    if (!piece.empty() && piece[0] == '.') out += '.';
    out += piece;
    out += "\r\n";
    if (end == std::string::npos) return;
    start = end + 1;
    if (line[end] == '\r' && start < line.size() && line[start] == '\n') ++start;
  }
}

}  // namespace

// Known to this file alone: hidden, so that its members do not become part of
// what the library shows along with the client's class.
struct __attribute__((visibility("hidden"))) TCustomSmtpClient::Session
    : std::enable_shared_from_this<Session> {
  explicit Session(asio::io_context& loop) : loop_(loop), resolver_(loop), socket_(loop), deadline_(loop) {}
  ~Session() {
    if (live_) --gLiveSessions;
  }

  // ---- requests -------------------------------------------------------

  void requireConnectable() const {
    if (state_ == TSmtpState::smtpConnected) throw SmtpException("SMTP component already connected");
    if (state_ != TSmtpState::smtpReady && state_ != TSmtpState::smtpInternalReady) {
      throw SmtpException("SMTP component not ready");
    }
  }

  void requireConnected() const {
    if (state_ != TSmtpState::smtpReady && state_ != TSmtpState::smtpInternalReady &&
        state_ != TSmtpState::smtpConnected) {
      throw SmtpException("SMTP component not ready");
    }
    if (!connected_) throw SmtpException("SMTP component not connected");
  }

  void startConnect(TSmtpRequest request) {
    errorMessage_.clear();
    beginRequest(request);
    setState(TSmtpState::smtpDnsLookup);
    if (stopped_) return;
    if (host_.empty()) {
      // An empty host would make the lookup answer with this machine.
      failSocket(asio::error::host_not_found);
      return;
    }
    resolver_.async_resolve(host_, port_,
                            [self = shared_from_this(), gen = generation_](
                                const std::error_code& ec, const tcp::resolver::results_type& results) {
                              self->onResolved(gen, ec, results);
                            });
  }

  void startCommandRequest(TSmtpRequest request, const std::string& command, std::vector<int32_t> accepted) {
    beginRequest(request);
    sendCommand(command, [this, request, accepted = std::move(accepted)](int32_t code) {
      bool ok =
          accepted.empty() ? code < 500 : std::find(accepted.begin(), accepted.end(), code) != accepted.end();
      if (request == TSmtpRequest::smtpQuit && ok) closeSocket();
      complete(ok ? 0 : code);
    });
  }

  void startMail() {
    beginRequest(TSmtpRequest::smtpMail);
    envelope_ = rcptName_;
    rcptIndex_ = 0;
    rcptAccepted_ = false;
    setState(TSmtpState::smtpInternalReady);
    if (stopped_) return;
    sendCommand("MAIL FROM:" + envelopeArgument(fromName_), [this](int32_t code) {
      if (code != 250) return complete(code);
      sendRecipient();
    });
  }

  void abort() {
    lastResponse_ = errorMessage_ = "426 Operation aborted.";
    setState(TSmtpState::smtpAbort);
    closeSocket();
    if (requestRunning_) {
      complete(kErrorAborted);
    } else {
      setState(TSmtpState::smtpReady);
    }
  }

  // The facade is going: no event may reach it any more.
  void detach() {
    owner_ = nullptr;
    onRequestDone_ = nullptr;
    onDisplay_ = onCommand_ = onResponse_ = nullptr;
    onSessionConnected_ = onSessionClosed_ = nullptr;
    onHeaderLine_ = nullptr;
    onProcessHeader_ = nullptr;
    onStateChange_ = nullptr;
    if (quitting_) return;
    stopped_ = true;
    disarmDeadline();
    closeSocket();
  }

  // ---- connection -----------------------------------------------------

  void onResolved(uint64_t gen, const std::error_code& ec, const tcp::resolver::results_type& results) {
    if (stopped_ || gen != generation_) return;
    if (ec) return failSocket(ec);
    setState(TSmtpState::smtpConnecting);
    if (stopped_) return;
    live_ = true;
    ++gLiveSessions;
    try {
      asio::async_connect(socket_, results,
                          [self = shared_from_this(), gen](const std::error_code& ec, const tcp::endpoint&) {
                            self->onConnected(gen, ec);
                          });
    } catch (const std::exception& e) {
      fail(500, "500 " + platform::exceptionClassName(e) + ": " + platform::exceptionMessage(e));
    }
  }

  void onConnected(uint64_t gen, const std::error_code& ec) {
    if (stopped_ || gen != generation_) return;
    if (ec) return failSocket(ec);
    setState(TSmtpState::smtpWaitingBanner);
    if (stopped_) return;
    onReply_ = [this](int32_t code) { onGreeting(code); };
    startRead();
  }

  void onGreeting(int32_t code) {
    if (code != 220) {
      errorMessage_ = lastResponse_;
      closeSocket();
      return complete(kErrorClosed);
    }
    connected_ = true;
    setState(TSmtpState::smtpConnected);
    raiseSession(onSessionConnected_, 0);
    if (stopped_) return;
    if (request_ != TSmtpRequest::smtpOpen) return complete(0);
    setState(TSmtpState::smtpInternalReady);
    if (stopped_) return;
    sendCommand("HELO " + (signOn_.empty() ? std::string("localhost") : signOn_),
                [this](int32_t code) { complete(code == 250 ? 0 : code); });
  }

  // ---- mail transaction -----------------------------------------------

  void sendRecipient() {
    sendCommand("RCPT TO:" + envelopeArgument(envelope_[rcptIndex_]), [this](int32_t code) {
      if (code == 250 || code == 251) {
        rcptAccepted_ = true;
      } else {
        rcptRefusal_ = code;
      }
      if (++rcptIndex_ < envelope_.size()) return sendRecipient();
      // Refused recipients are skipped wherever they stand in the list; only
      // when nobody is left to receive the mail does the request fail.
      if (!rcptAccepted_) return complete(rcptRefusal_);
      sendData();
    });
  }

  void sendData() {
    std::vector<std::string> header = buildHeader();
    if (stopped_) return;
    sendCommand("DATA", [this, header = std::move(header)](int32_t code) {
      if (code != 354) return complete(code);
      std::string text;
      for (const std::string& line : header) text += withoutLineBreaks(line) + "\r\n";
      text += "\r\n";
      for (const std::string& line : mailMessage_) appendBodyLine(text, line);
      write(std::move(text));
      sendCommand(".", [this](int32_t code) {
        if (code != 250) return complete(code);
        complete(0);
        if (!stopped_ && connected_) startQuit();
      });
    });
  }

  std::vector<std::string> buildHeader() {
    std::vector<std::string> lines;
    if (!isBlank(hdrReplyTo_)) lines.push_back("Reply-To: " + withoutLineBreaks(hdrReplyTo_));
    if (!isBlank(hdrReturnPath_)) lines.push_back("Return-Path: " + withoutLineBreaks(hdrReturnPath_));
    lines.push_back("From: " + withoutLineBreaks(hdrFrom_));
    lines.push_back("To: " + withoutLineBreaks(hdrTo_));
    lines.push_back("Subject: " + withoutLineBreaks(hdrSubject_));
    if (!isBlank(hdrSender_)) {
      lines.push_back("Sender: " + withoutLineBreaks(hdrSender_));
    } else if (!isBlank(hdrFrom_)) {
      lines.push_back("Sender: " + withoutLineBreaks(hdrFrom_));
    }
    lines.push_back("Mime-Version: 1.0");
    lines.push_back(std::string("Content-Type: ") +
                    (contentType_ == TSmtpContentType::smtpHtml ? "text/html" : "text/plain") +
                    "; charset=\"" + withoutLineBreaks(charSet_) + "\"");
    lines.push_back("Date: " + dateHeader(std::time(nullptr)));
    if (owner_ != nullptr && onHeaderLine_) {
      HeaderLineEvent handler = onHeaderLine_;
      for (std::string& line : lines) handler(*owner_, line);
    }
    if (owner_ != nullptr && onProcessHeader_) {
      ProcessHeaderEvent handler = onProcessHeader_;
      handler(*owner_, lines);
    }
    return lines;
  }

  // After a delivery the session says goodbye on its own; it may outlive the
  // facade for that, and ends at the 221, the server's close or the time-out.
  void startQuit() {
    quitting_ = true;
    armDeadline();
    sendCommand("QUIT", [this](int32_t) { closeSocket(); });
  }

  // ---- commands, replies ----------------------------------------------

  void sendCommand(const std::string& text, std::function<void(int32_t)> next) {
    std::string command = withoutLineBreaks(text);
    raiseText(onCommand_, command);
    raiseText(onDisplay_, "> " + command);
    if (stopped_) return;
    setState(TSmtpState::smtpWaitingResponse);
    if (stopped_) return;
    onReply_ = std::move(next);
    write(command + "\r\n");
  }

  void startRead() {
    asio::async_read_until(socket_, asio::dynamic_buffer(input_, kReceiveBufferSize), "\r\n",
                           [self = shared_from_this(), gen = generation_](
                               const std::error_code& ec, std::size_t n) { self->onRead(gen, ec, n); });
  }

  void onRead(uint64_t gen, const std::error_code& ec, std::size_t n) {
    if (stopped_ || gen != generation_) return;
    // A full buffer without a line end: the peer does not speak SMTP, and
    // reading on would only grow the buffer.
    if (ec == asio::error::not_found) return fail(kErrorClosed, "500 Reply line too long");
    if (ec) return connectionLost();
    std::string line = input_.substr(0, n - 2);
    input_.erase(0, n);
    handleLine(line);
    if (!stopped_ && gen == generation_) startRead();
  }

  void handleLine(const std::string& line) {
    lastResponse_ = line;
    raiseText(onResponse_, line);
    raiseText(onDisplay_, "< " + line);
    if (stopped_) return;
    Reply reply = parseReply(line);
    if (reply.continuation || !onReply_) return;
    std::function<void(int32_t)> next = std::move(onReply_);
    onReply_ = nullptr;
    next(reply.code);
  }

  void write(std::string data) {
    output_ += data;
    if (!writing_) flush();
  }

  void flush() {
    writing_ = true;
    auto buffer = std::make_shared<std::string>(std::move(output_));
    output_.clear();
    asio::async_write(socket_, asio::buffer(*buffer),
                      [self = shared_from_this(), gen = generation_, buffer](
                          const std::error_code& ec, std::size_t) { self->onWritten(gen, ec); });
  }

  void onWritten(uint64_t gen, const std::error_code& ec) {
    if (stopped_ || gen != generation_) return;
    writing_ = false;
    if (ec) return connectionLost();
    if (!output_.empty()) flush();
  }

  // ---- ends -----------------------------------------------------------

  void connectionLost() {
    closeSocket();
    if (!requestRunning_) return;
    complete(request_ == TSmtpRequest::smtpQuit ? 0 : kErrorClosed);
  }

  void failSocket(const std::error_code& ec) {
    fail(ec.value(), "500 " + ec.message() + " (Winsock error #" + std::to_string(ec.value()) + ")");
  }

  void fail(int32_t error, const std::string& text) {
    lastResponse_ = errorMessage_ = text;
    closeSocket();
    if (requestRunning_) complete(error);
  }

  void timedOut() {
    if (!requestRunning_ && !quitting_) return;
    fail(kErrorTimedOut, "500 Timed out");
  }

  void closeSocket() {
    ++generation_;
    disarmDeadline();
    onReply_ = nullptr;
    quitting_ = false;
    writing_ = false;
    output_.clear();
    input_.clear();
    resolver_.cancel();
    std::error_code ignored;
    socket_.close(ignored);
    if (live_) {
      live_ = false;
      --gLiveSessions;
    }
    if (connected_) {
      connected_ = false;
      raiseSession(onSessionClosed_, 0);
    }
  }

  void beginRequest(TSmtpRequest request) {
    requestRunning_ = true;
    request_ = request;
    armDeadline();
  }

  // The request ends here; its event comes later from the loop, with a copy
  // of the handler, and touches nothing but that copy and the session, so
  // the handler may destroy the facade.
  void complete(int32_t error) {
    disarmDeadline();
    requestRunning_ = false;
    TSmtpRequest request = request_;
    setState(connected_ ? TSmtpState::smtpConnected : TSmtpState::smtpReady);
    asio::post(loop_, [self = shared_from_this(), handler = onRequestDone_, request, error] {
      if (self->owner_ == nullptr || !handler) return;
      handler(*self->owner_, request, error);
    });
  }

  void armDeadline() {
    uint64_t gen = ++deadlineGeneration_;
    deadline_.expires_after(timeout_);
    deadline_.async_wait([self = shared_from_this(), gen](const std::error_code& ec) {
      if (self->stopped_ || ec || gen != self->deadlineGeneration_) return;
      self->timedOut();
    });
  }

  void disarmDeadline() {
    ++deadlineGeneration_;
    deadline_.cancel();
  }

  // ---- events ---------------------------------------------------------
  // Handlers are copied before the call: one may replace itself or destroy
  // the facade, which clears them.

  void setState(TSmtpState state) {
    if (state_ == state) return;
    state_ = state;
    if (owner_ == nullptr || !onStateChange_) return;
    StateChangeEvent handler = onStateChange_;
    handler(*owner_);
  }

  void raiseText(const TextEvent& event, const std::string& text) {
    if (owner_ == nullptr || !event) return;
    TextEvent handler = event;
    handler(*owner_, text);
  }

  void raiseSession(const SessionEvent& event, int32_t error) {
    if (owner_ == nullptr || !event) return;
    SessionEvent handler = event;
    handler(*owner_, error);
  }

  asio::io_context& loop_;
  tcp::resolver resolver_;
  tcp::socket socket_;
  asio::steady_timer deadline_;
  TCustomSmtpClient* owner_ = nullptr;

  bool stopped_ = false;    // the facade is gone; only a QUIT may still run
  bool live_ = false;       // counted in gLiveSessions
  bool connected_ = false;  // greeting accepted, socket open
  bool quitting_ = false;
  bool writing_ = false;
  bool requestRunning_ = false;
  uint64_t generation_ = 0;
  uint64_t deadlineGeneration_ = 0;
  std::string input_;   // bounded by kReceiveBufferSize
  std::string output_;  // waiting for the write under way
  std::function<void(int32_t)> onReply_;

  TSmtpRequest request_ = TSmtpRequest::smtpConnect;
  TSmtpState state_ = TSmtpState::smtpReady;
  std::vector<std::string> envelope_;
  size_t rcptIndex_ = 0;
  bool rcptAccepted_ = false;
  int32_t rcptRefusal_ = 0;

  std::string host_;
  std::string port_ = "smtp";
  std::string fromName_;
  std::string signOn_;
  std::vector<std::string> rcptName_;
  std::vector<std::string> mailMessage_;
  std::string hdrFrom_, hdrReplyTo_, hdrSubject_, hdrTo_, hdrReturnPath_, hdrSender_;
  std::string charSet_ = "iso-8859-1";
  TSmtpContentType contentType_ = TSmtpContentType::smtpPlainText;
  std::chrono::milliseconds timeout_ = kDefaultTimeout;
  std::string lastResponse_;
  std::string errorMessage_;

  RequestDoneEvent onRequestDone_;
  TextEvent onDisplay_, onCommand_, onResponse_;
  SessionEvent onSessionConnected_, onSessionClosed_;
  HeaderLineEvent onHeaderLine_;
  ProcessHeaderEvent onProcessHeader_;
  StateChangeEvent onStateChange_;
};

TCustomSmtpClient::TCustomSmtpClient() : TCustomSmtpClient(platform::eventLoop()) {}

TCustomSmtpClient::TCustomSmtpClient(asio::io_context& loop) : session_(std::make_shared<Session>(loop)) {
  session_->owner_ = this;
}

TCustomSmtpClient::~TCustomSmtpClient() { session_->detach(); }

void TCustomSmtpClient::setHost(const std::string& host) { session_->host_ = host; }
const std::string& TCustomSmtpClient::getHost() const { return session_->host_; }
void TCustomSmtpClient::setPort(const std::string& port) { session_->port_ = port; }
const std::string& TCustomSmtpClient::getPort() const { return session_->port_; }
void TCustomSmtpClient::setFromName(const std::string& from) { session_->fromName_ = from; }
const std::string& TCustomSmtpClient::getFromName() const { return session_->fromName_; }
void TCustomSmtpClient::setSignOn(const std::string& signOn) { session_->signOn_ = signOn; }
const std::string& TCustomSmtpClient::getSignOn() const { return session_->signOn_; }
std::vector<std::string>& TCustomSmtpClient::rcptName() { return session_->rcptName_; }
std::vector<std::string>& TCustomSmtpClient::mailMessage() { return session_->mailMessage_; }
void TCustomSmtpClient::setHdrFrom(const std::string& value) { session_->hdrFrom_ = value; }
void TCustomSmtpClient::setHdrReplyTo(const std::string& value) { session_->hdrReplyTo_ = value; }
void TCustomSmtpClient::setHdrSubject(const std::string& value) { session_->hdrSubject_ = value; }
void TCustomSmtpClient::setHdrTo(const std::string& value) { session_->hdrTo_ = value; }
void TCustomSmtpClient::setHdrReturnPath(const std::string& value) { session_->hdrReturnPath_ = value; }
void TCustomSmtpClient::setHdrSender(const std::string& value) { session_->hdrSender_ = value; }
void TCustomSmtpClient::setCharSet(const std::string& charSet) { session_->charSet_ = charSet; }
void TCustomSmtpClient::setContentType(TSmtpContentType type) { session_->contentType_ = type; }
void TCustomSmtpClient::setTimeout(std::chrono::milliseconds timeout) { session_->timeout_ = timeout; }

TSmtpState TCustomSmtpClient::getState() const { return session_->state_; }
const std::string& TCustomSmtpClient::getLastResponse() const { return session_->lastResponse_; }
const std::string& TCustomSmtpClient::getErrorMessage() const { return session_->errorMessage_; }

void TCustomSmtpClient::setOnRequestDone(RequestDoneEvent handler) {
  session_->onRequestDone_ = std::move(handler);
}
void TCustomSmtpClient::setOnDisplay(TextEvent handler) { session_->onDisplay_ = std::move(handler); }
void TCustomSmtpClient::setOnCommand(TextEvent handler) { session_->onCommand_ = std::move(handler); }
void TCustomSmtpClient::setOnResponse(TextEvent handler) { session_->onResponse_ = std::move(handler); }
void TCustomSmtpClient::setOnSessionConnected(SessionEvent handler) {
  session_->onSessionConnected_ = std::move(handler);
}
void TCustomSmtpClient::setOnSessionClosed(SessionEvent handler) {
  session_->onSessionClosed_ = std::move(handler);
}
void TCustomSmtpClient::setOnHeaderLine(HeaderLineEvent handler) {
  session_->onHeaderLine_ = std::move(handler);
}
void TCustomSmtpClient::setOnProcessHeader(ProcessHeaderEvent handler) {
  session_->onProcessHeader_ = std::move(handler);
}
void TCustomSmtpClient::setOnStateChange(StateChangeEvent handler) {
  session_->onStateChange_ = std::move(handler);
}

void TCustomSmtpClient::connect() {
  session_->requireConnectable();
  session_->startConnect(TSmtpRequest::smtpConnect);
}

void TCustomSmtpClient::open() {
  session_->requireConnectable();
  session_->startConnect(TSmtpRequest::smtpOpen);
}

void TCustomSmtpClient::helo() {
  session_->requireConnected();
  const std::string& signOn = session_->signOn_;
  session_->startCommandRequest(TSmtpRequest::smtpHelo, "HELO " + (signOn.empty() ? "localhost" : signOn),
                                {250});
}

void TCustomSmtpClient::mail() {
  session_->requireConnected();
  if (session_->rcptName_.empty()) throw SmtpException("RcptName list is empty");
  session_->startMail();
}

void TCustomSmtpClient::quit() {
  session_->requireConnected();
  session_->startCommandRequest(TSmtpRequest::smtpQuit, "QUIT", {221});
}

void TCustomSmtpClient::rset() {
  session_->requireConnected();
  session_->startCommandRequest(TSmtpRequest::smtpRset, "RSET", {250});
}

void TCustomSmtpClient::vrfy(const std::string& name) {
  session_->requireConnected();
  session_->startCommandRequest(TSmtpRequest::smtpVrfy, "VRFY " + name, {});
}

void TCustomSmtpClient::abort() { session_->abort(); }

std::string TCustomSmtpClient::dateHeader(std::time_t time) {
  std::tm local{};
  std::string zone = "-0000";
  if (localtime_r(&time, &local) != nullptr) {
    zone = zoneOffset(static_cast<int32_t>(-local.tm_gmtoff / 60));
  } else if (gmtime_r(&time, &local) == nullptr) {
    return "";
  }
  return std::string(kDayNames[local.tm_wday % 7]) + ", " + std::to_string(local.tm_mday) + " " +
         kMonthNames[local.tm_mon % 12] + " " + std::to_string(local.tm_year + 1900) + " " +
         twoDigits(local.tm_hour) + ":" + twoDigits(local.tm_min) + ":" + twoDigits(local.tm_sec) + " " +
         zone;
}

std::string TCustomSmtpClient::zoneOffset(int32_t biasMinutes) {
  int64_t magnitude = biasMinutes < 0 ? -static_cast<int64_t>(biasMinutes) : biasMinutes;
  // A zero bias is universal time, "+0000"; "-0000" would claim the zone is unknown.
  const char* sign = biasMinutes > 0 ? "-" : "+";
  return sign + twoDigits(static_cast<int>(magnitude / 60)) + twoDigits(static_cast<int>(magnitude % 60));
}

const char* TCustomSmtpClient::stateName(TSmtpState state) {
  switch (state) {
    case TSmtpState::smtpReady:
      return "smtpReady";
    case TSmtpState::smtpDnsLookup:
      return "smtpDnsLookup";
    case TSmtpState::smtpConnecting:
      return "smtpConnecting";
    case TSmtpState::smtpConnected:
      return "smtpConnected";
    case TSmtpState::smtpInternalReady:
      return "smtpInternalReady";
    case TSmtpState::smtpWaitingBanner:
      return "smtpWaitingBanner";
    case TSmtpState::smtpWaitingResponse:
      return "smtpWaitingResponse";
    case TSmtpState::smtpAbort:
      return "smtpAbort";
  }
  return "unknown";
}

int32_t TCustomSmtpClient::liveSessions() { return gLiveSessions; }
