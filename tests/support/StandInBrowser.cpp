#include "StandInBrowser.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

#ifdef _WIN32
struct WinsockUp {
  WinsockUp() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~WinsockUp() { WSACleanup(); }
};
void CloseSocket(std::intptr_t s) { closesocket(static_cast<SOCKET>(s)); }
bool Readable(std::intptr_t s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(s), &set);
  timeval tv{0, ms * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}
#else
struct WinsockUp {};
void CloseSocket(std::intptr_t s) { ::close(static_cast<int>(s)); }
bool Readable(std::intptr_t s, int ms) {
  pollfd p{static_cast<int>(s), POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}
#endif

WinsockUp& Winsock() {
  static WinsockUp up;
  return up;
}

// A UDP socket bound to 127.0.0.1 on a free port; -1 on failure.
std::intptr_t BoundLoopbackSocket(std::uint16_t& port) {
  Winsock();
  auto s = static_cast<std::intptr_t>(::socket(AF_INET, SOCK_DGRAM, 0));
  if (s < 0) return -1;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    CloseSocket(s);
    return -1;
  }
  port = ntohs(a.sin_port);
  return s;
}

}  // namespace

StandInBrowser::StandInBrowser(std::vector<std::string> answers) : FAnswers(std::move(answers)) {
  FSocket = BoundLoopbackSocket(FPort);
  if (FSocket < 0) {
    FError = "no loopback UDP socket";
    FPort = 0;
    return;
  }
  FThread = std::thread([this] { Serve(); });
}

StandInBrowser::~StandInBrowser() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
  if (FSocket >= 0) CloseSocket(FSocket);
}

std::vector<std::string> StandInBrowser::Requests() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FRequests;
}

void StandInBrowser::Serve() {
  std::string buffer(65536, '\0');
  while (!FStop) {
    if (!Readable(FSocket, 20)) continue;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    int n = static_cast<int>(::recvfrom(FSocket, buffer.data(), static_cast<int>(buffer.size()), 0,
                                        reinterpret_cast<sockaddr*>(&from), &fromLen));
    if (n < 0) continue;
    {
      std::lock_guard<std::mutex> guard(FLock);
      FRequests.push_back(buffer.substr(0, static_cast<size_t>(n)));
    }
    for (const std::string& answer : FAnswers)
      ::sendto(FSocket, answer.data(), static_cast<int>(answer.size()), 0, reinterpret_cast<sockaddr*>(&from),
               fromLen);
  }
}

std::string SvrResp(const std::string& data) {
  std::string d(1, '\x05');
  d.push_back(static_cast<char>(data.size() & 0xFF));
  d.push_back(static_cast<char>((data.size() >> 8) & 0xFF));
  return d + data;
}

std::uint16_t UnusedUdpPort() {
  std::uint16_t port = 0;
  std::intptr_t s = BoundLoopbackSocket(port);
  if (s >= 0) CloseSocket(s);
  return port;
}

}  // namespace testing_support
