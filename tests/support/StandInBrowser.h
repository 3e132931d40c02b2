#pragma once
// A stand-in SQL Server Browser on a loopback UDP port: it records every request datagram and
// answers each with the datagrams it was given (none: a silent network). It lives on its own
// thread while the object lives.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class StandInBrowser {
 public:
  explicit StandInBrowser(std::vector<std::string> answers);
  ~StandInBrowser();
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;

  // 0 when no socket could be made (the reason in Error()).
  std::uint16_t Port() const { return FPort; }
  const std::string& Error() const { return FError; }
  std::vector<std::string> Requests() const;

 private:
  void Serve();

  std::vector<std::string> FAnswers;
  std::intptr_t FSocket = -1;
  std::uint16_t FPort = 0;
  std::string FError;
  std::atomic<bool> FStop{false};
  mutable std::mutex FLock;
  std::vector<std::string> FRequests;
  std::thread FThread;
};

// An SVR_RESP datagram: 0x05, the data's length (two bytes, little-endian), the data.
std::string SvrResp(const std::string& data);

// A loopback UDP port on which nothing listens (bound and released again).
std::uint16_t UnusedUdpPort();

}  // namespace testing_support
