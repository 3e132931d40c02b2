// The native build's SQL sources: an in-memory sources rowset (there is no OLE DB here) and a
// real UDP request through BSD sockets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "platform/SqlSources.h"

namespace platform {

namespace {

struct MemorySources {
  std::mutex lock;
  std::vector<SqlSourceRow> rows;
  std::string failure;
};

MemorySources& Sources() {
  static MemorySources s;
  return s;
}

class Socket {
 public:
  Socket() : FFd(::socket(AF_INET, SOCK_DGRAM, 0)) {}
  ~Socket() {
    if (FFd >= 0) ::close(FFd);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int Fd() const { return FFd; }

 private:
  int FFd;
};

[[noreturn]] void Fail(const std::string& step) {
  throw std::runtime_error(step + " failed: " + std::strerror(errno));
}

}  // namespace

std::vector<SqlSourceRow> SqlOleDbSources() {
  MemorySources& s = Sources();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.failure.empty()) throw std::runtime_error(s.failure);
  return s.rows;
}

std::vector<UdpAnswer> UdpRequest(const std::string& address, std::uint16_t port, std::string_view request,
                                  int waitMs) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
    throw std::runtime_error("not an IPv4 address: " + address);

  Socket sock;
  if (sock.Fd() < 0) Fail("socket");
  int on = 1;
  if (::setsockopt(sock.Fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) Fail("setsockopt(SO_BROADCAST)");
  if (::sendto(sock.Fd(), request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
    Fail("sendto " + address);

  std::vector<UdpAnswer> answers;
  std::string buffer(65536, '\0');
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{sock.Fd(), POLLIN, 0};
    int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0) {
      if (errno == EINTR) continue;
      Fail("poll");
    }
    if (ready == 0) break;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t n = ::recvfrom(sock.Fd(), buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0) {
      // A refused port (ICMP) or an interrupted call says nothing about other answers.
      if (errno == EINTR || errno == ECONNREFUSED || errno == EAGAIN) continue;
      Fail("recvfrom");
    }
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    answers.push_back({text, buffer.substr(0, static_cast<size_t>(n))});
  }
  return answers;
}

}  // namespace platform

namespace platform::memsources {

void SetRows(std::vector<SqlSourceRow> rows) {
  std::lock_guard<std::mutex> guard(Sources().lock);
  Sources().rows = std::move(rows);
}

void SetFailure(std::string reason) {
  std::lock_guard<std::mutex> guard(Sources().lock);
  Sources().failure = std::move(reason);
}

void Reset() {
  std::lock_guard<std::mutex> guard(Sources().lock);
  Sources().rows.clear();
  Sources().failure.clear();
}

}  // namespace platform::memsources
