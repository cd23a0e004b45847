// SmtpPeer, a scripted SMTP server for the tests: a thread with a blocking
// socket on 127.0.0.1 (port chosen by the system) that accepts connections
// one after another and plays one script per connection. A script is a list
// of steps: read one line, send lines, read the message data up to the lone
// ".", hang up, or stay silent until the client hangs up. After the last
// step the peer keeps reading (and recording) until the client closes. Every
// line received, without its CR LF, is recorded per connection.
//
//   SmtpPeer peer;
//   peer.send("220 ready").expect().send("250 hello");   // first connection
//   peer.nextSession().send("554 go away");              // second connection
//   peer.start();
//   ... client.setPort(peer.portText()) ... run the loop ...
//   peer.waitDone(); peer.received();
//
// No step blocks longer than a few seconds, and the destructor stops the
// thread within a fraction of a second, so a faulty client cannot hang a test.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testutil {

class SmtpPeer {
 public:
  SmtpPeer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listener_, 4);
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    scripts_.emplace_back();
  }
  ~SmtpPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
  }
  SmtpPeer(const SmtpPeer&) = delete;
  SmtpPeer& operator=(const SmtpPeer&) = delete;

  // Script steps of the current connection.
  SmtpPeer& expect() { return add(Step::kExpect, ""); }
  SmtpPeer& send(const std::string& line) { return add(Step::kSend, line + "\r\n"); }
  SmtpPeer& sendRaw(const std::string& bytes) { return add(Step::kSend, bytes); }
  SmtpPeer& readData() { return add(Step::kReadData, ""); }
  SmtpPeer& hangUp() { return add(Step::kHangUp, ""); }
  SmtpPeer& silent() { return add(Step::kSilent, ""); }
  // Greeting, HELO, MAIL, RCPT (recipients times), DATA, message, QUIT:
  // everything accepted.
  SmtpPeer& acceptMail(int recipients = 1) {
    send("220 peer ready").expect().send("250 hello").expect().send("250 sender ok");
    for (int i = 0; i < recipients; ++i) expect().send("250 recipient ok");
    return expect().send("354 go ahead").readData().send("250 queued").expect().send("221 bye");
  }
  // The steps that follow belong to the next connection.
  SmtpPeer& nextSession() {
    scripts_.emplace_back();
    return *this;
  }

  void start() {
    thread_ = std::thread([this] { serve(); });
  }
  uint16_t port() const { return port_; }
  std::string portText() const { return std::to_string(port_); }

  // True once every connection has been served.
  bool finished() const { return done_; }
  bool waitDone(std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done_ && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done_;
  }
  // Lines of every connection, in order.
  std::vector<std::string> received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> all;
    for (const auto& s : lines_) all.insert(all.end(), s.begin(), s.end());
    return all;
  }
  std::vector<std::string> received(size_t connection) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connection < lines_.size() ? lines_[connection] : std::vector<std::string>{};
  }
  int connections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(lines_.size());
  }

 private:
  struct Step {
    enum Kind { kExpect, kSend, kReadData, kHangUp, kSilent } kind;
    std::string bytes;
  };
  static constexpr std::chrono::seconds kStepLimit{8};

  SmtpPeer& add(Step::Kind kind, const std::string& bytes) {
    scripts_.back().push_back(Step{kind, bytes});
    return *this;
  }

  // Waits for fd to become readable; false on time-out or stop.
  bool readable(int fd) const {
    auto end = std::chrono::steady_clock::now() + kStepLimit;
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }

  // One line without CR LF; false when the client closed or nothing came.
  bool readLine(int fd, std::string& pending, std::string& line) const {
    while (true) {
      size_t end = pending.find("\r\n");
      if (end != std::string::npos) {
        line = pending.substr(0, end);
        pending.erase(0, end + 2);
        return true;
      }
      if (!readable(fd)) return false;
      char buf[4096];
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) return false;
      pending.append(buf, static_cast<size_t>(n));
    }
  }

  void record(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.back().push_back(line);
  }

  void serve() {
    for (const std::vector<Step>& script : scripts_) {
      if (!readable(listener_)) break;
      int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) break;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.emplace_back();
      }
      play(fd, script);
      ::close(fd);
    }
    done_ = true;
  }

  void play(int fd, const std::vector<Step>& script) {
    std::string pending;
    std::string line;
    for (const Step& step : script) {
      switch (step.kind) {
        case Step::kExpect:
          if (!readLine(fd, pending, line)) return;
          record(line);
          break;
        case Step::kSend:
          // MSG_NOSIGNAL: a client that has hung up must not kill the tests.
          if (::send(fd, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) < 0) return;
          break;
        case Step::kReadData:
          do {
            if (!readLine(fd, pending, line)) return;
            record(line);
          } while (line != ".");
          break;
        case Step::kHangUp:
          return;
        case Step::kSilent:
          break;
      }
    }
    while (readLine(fd, pending, line)) record(line);
  }

  int listener_ = -1;
  uint16_t port_ = 0;
  std::vector<std::vector<Step>> scripts_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  mutable std::mutex mutex_;
  std::vector<std::vector<std::string>> lines_;
};

}  // namespace testutil
