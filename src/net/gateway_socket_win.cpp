#include "net/gateway_socket_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <memory>

namespace tidemoor {
namespace {

using Clock = std::chrono::steady_clock;

class WinsockUse {
 public:
  WinsockUse() {
    WSADATA data;
    ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockUse() {
    if (ok_) ::WSACleanup();
  }
  WinsockUse(const WinsockUse&) = delete;
  WinsockUse& operator=(const WinsockUse&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
};

class Socket {
 public:
  Socket(int type, int protocol) : socket_(::socket(AF_INET, type, protocol)) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET Get() const { return socket_; }
  bool Ok() const { return socket_ != INVALID_SOCKET; }

 private:
  SOCKET socket_;
};

bool AddressOf(const std::string& host, unsigned short port, sockaddr_in& address) {
  address = sockaddr_in{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  return ::inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1;
}

// Waits until the socket can be read (or written), at most until the deadline.
bool WaitFor(SOCKET socket, bool write, Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  if (left.count() <= 0) return false;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(socket, &failed);
  timeval wait{static_cast<long>(left.count() / 1000000),
               static_cast<long>(left.count() % 1000000)};
  const int ready = ::select(0, write ? nullptr : &set, write ? &set : nullptr, &failed, &wait);
  return ready > 0 && FD_ISSET(socket, &set);
}

std::string AddressText(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address, text, sizeof(text));
  return text;
}

}  // namespace

std::vector<std::string> SearchForGateways(const SearchTarget& target,
                                           std::chrono::milliseconds wait) {
  std::vector<std::string> answers;
  const WinsockUse winsock;
  sockaddr_in to;
  if (!winsock.Ok() || !AddressOf(target.host, target.port, to)) return answers;
  const Socket socket(SOCK_DGRAM, IPPROTO_UDP);
  if (!socket.Ok()) return answers;
  const DWORD hops = 2;  // a router is one hop away; the search stays on the LAN
  ::setsockopt(socket.Get(), IPPROTO_IP, IP_MULTICAST_TTL, reinterpret_cast<const char*>(&hops),
               sizeof(hops));
  const std::string search = SsdpSearchRequest();
  const auto deadline = Clock::now() + wait;
  // UDP may lose a datagram; the search is sent twice as routers expect.
  for (int i = 0; i < 2; ++i) {
    ::sendto(socket.Get(), search.data(), static_cast<int>(search.size()), 0,
             reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  }
  std::unique_ptr<char[]> buffer(new char[8192]);
  while (answers.size() < 16 && WaitFor(socket.Get(), false, deadline)) {
    const int got = ::recvfrom(socket.Get(), buffer.get(), 8192, 0, nullptr, nullptr);
    if (got <= 0) continue;
    answers.emplace_back(buffer.get(), static_cast<size_t>(got));
    if (SsdpLocation(answers.back())) break;
  }
  return answers;
}

GatewayExchange ExchangeWithGateway(const HttpUrl& url, const std::string& request,
                                    std::chrono::milliseconds limit) {
  GatewayExchange exchange;
  const WinsockUse winsock;
  sockaddr_in to;
  if (!winsock.Ok()) return {{}, {}, "网络不可用"};
  if (!AddressOf(url.host, url.port, to)) return {{}, {}, "路由器地址不是 IPv4 地址"};
  const Socket socket(SOCK_STREAM, IPPROTO_TCP);
  if (!socket.Ok()) return {{}, {}, "网络不可用"};
  u_long nonBlocking = 1;
  ::ioctlsocket(socket.Get(), FIONBIO, &nonBlocking);
  const auto deadline = Clock::now() + limit;
  if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&to), sizeof(to)) != 0 &&
      ::WSAGetLastError() != WSAEWOULDBLOCK) {
    return {{}, {}, "连接路由器失败"};
  }
  if (!WaitFor(socket.Get(), true, deadline)) return {{}, {}, "连接路由器失败"};
  sockaddr_in local{};
  int localLength = sizeof(local);
  if (::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &localLength) == 0) {
    exchange.localAddress = AddressText(local.sin_addr);
  }
  size_t sent = 0;
  while (sent < request.size()) {
    if (!WaitFor(socket.Get(), true, deadline)) return {{}, {}, "路由器不接收请求"};
    const int n = ::send(socket.Get(), request.data() + sent,
                         static_cast<int>(std::min<size_t>(request.size() - sent, 65536)), 0);
    if (n <= 0 && ::WSAGetLastError() != WSAEWOULDBLOCK) return {{}, {}, "路由器不接收请求"};
    if (n > 0) sent += static_cast<size_t>(n);
  }
  std::unique_ptr<char[]> buffer(new char[16384]);
  for (;;) {
    if (!WaitFor(socket.Get(), false, deadline)) return {{}, {}, "路由器没有及时回答"};
    const int n = ::recv(socket.Get(), buffer.get(), 16384, 0);
    if (n == 0) break;
    if (n < 0) {
      if (::WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return {{}, {}, "与路由器的连接中断"};
    }
    exchange.raw.append(buffer.get(), static_cast<size_t>(n));
    if (exchange.raw.size() > kGatewayAnswerMaxBytes) return {{}, {}, "路由器的回答过长"};
  }
  return exchange;
}

RouterNetwork SocketNetwork(const SearchTarget& target) {
  RouterNetwork network;
  network.search = [target] { return SearchForGateways(target, std::chrono::seconds(2)); };
  network.exchange = [](const HttpUrl& url, const std::string& request) {
    GatewayExchange exchange = ExchangeWithGateway(url, request, std::chrono::seconds(4));
    return RouterNetwork::Exchange{std::move(exchange.raw), std::move(exchange.localAddress),
                                   std::move(exchange.problem)};
  };
  return network;
}

}  // namespace tidemoor
