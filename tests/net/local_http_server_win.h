#pragma once
// A tiny HTTP server on 127.0.0.1 for tests, so no test ever reaches the internet. It answers
// one request per connection from a table of canned answers, on a thread of its own.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tidemoor::testing {

class LocalHttpServer {
 public:
  LocalHttpServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 16);
    thread_ = std::thread([this] { AcceptLoop(); });
  }

  ~LocalHttpServer() {
    ::closesocket(listener_);  // ends the accept loop
    thread_.join();
    for (const auto& held : held_) ::closesocket(held.first);
    ::WSACleanup();
  }

  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  void Serve(const std::string& path, int status, const std::string& body) {
    std::lock_guard lock(mutex_);
    answers_[path] = "HTTP/1.0 " + std::to_string(status) +
                     " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }

  // Answers with a redirect (a 3xx status) to the location.
  void Redirect(const std::string& path, int status, const std::string& location) {
    std::lock_guard lock(mutex_);
    answers_[path] = "HTTP/1.0 " + std::to_string(status) + " X\r\nLocation: " + location +
                     "\r\nContent-Length: 0\r\n\r\n";
  }

  // Takes the request and never answers, like a stuck service.
  void Hang(const std::string& path) {
    std::lock_guard lock(mutex_);
    answers_[path] = kHang;
  }

  int Hits(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = hits_.find(path);
    return it == hits_.end() ? 0 : it->second;
  }

  std::string LastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
  }

  // A port on which nothing listens.
  static std::string ClosedUrl(const std::string& path) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(s);
    ::WSACleanup();
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + path;
  }

 private:
  static constexpr char kHang[] = "\x01hang";

  // Held connections are let go after a while, so a client that fails to give up fails its
  // test instead of hanging the run.
  void ReleaseOldHeldConnections() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(held_, [&](const auto& held) {
      if (now - held.second < std::chrono::seconds(30)) return false;
      ::closesocket(held.first);
      return true;
    });
  }

  void AcceptLoop() {
    while (true) {
      fd_set ready;
      FD_ZERO(&ready);
      FD_SET(listener_, &ready);
      timeval wait{0, 100 * 1000};
      const int waiting = ::select(0, &ready, nullptr, nullptr, &wait);
      ReleaseOldHeldConnections();
      if (waiting < 0) return;  // the listener was closed
      if (waiting == 0) continue;
      SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = ::recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, got);
      }
      const size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      std::string answer;
      {
        std::lock_guard lock(mutex_);
        ++hits_[path];
        lastRequest_ = request;
        auto it = answers_.find(path);
        answer = it == answers_.end() ? "HTTP/1.0 404 Not Found\r\n\r\nnot here" : it->second;
      }
      if (answer == kHang) {
        held_.emplace_back(client, std::chrono::steady_clock::now());
        continue;
      }
      ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
      ::shutdown(client, SD_SEND);
      ::closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string> answers_;
  std::map<std::string, int> hits_;
  std::string lastRequest_;
  std::vector<std::pair<SOCKET, std::chrono::steady_clock::time_point>>
      held_;  // only touched by the accept thread until it has ended
};

}  // namespace tidemoor::testing
