#pragma once
// The loopback HTTP/HTTPS server of the download tests (tests/servers/http_test_server.py).
// When VELSETUP_TEST_HTTP_PORT, VELSETUP_TEST_HTTPS_PORT, VELSETUP_TEST_HTTPS_UNTRUSTED_PORT and
// VELSETUP_TEST_CA are set (the
// Windows test program under wine gets them from tests/servers/with-server.sh), that server is
// used; otherwise the native test program starts one for itself and stops it when it exits.
#include <string>

namespace testing_support {

struct LoopbackServer {
  int httpPort = 0;
  int httpsPort = 0;
  int httpsUntrustedPort = 0;  // a certificate for localhost from a CA nobody trusts
  std::string caFile;  // PEM of the CA that signed the server's certificate (DNS:localhost)
  std::string error;   // why there is no server; empty when there is one

  std::string Http(const std::string& path) const;   // http://127.0.0.1:PORT + path
  std::string Https(const std::string& path) const;  // https://localhost:PORT + path
  std::string HttpsUntrusted(const std::string& path) const;
  // http://127.0.0.1:PORT/kit/...: the files of a local folder, served by name.
  std::string Kit(const std::string& folder) const;
};

// The server of this test program, started on first use.
const LoopbackServer& TestServer();

// The requests the server saw whose path contains the text (see the server's /_requests).
std::string ServerRequests(const std::string& match);

// Makes the test CA trusted for the HTTPS client while it lives: the client's CA option in the
// native build, the machine ROOT store of the wine prefix (where its chain engine looks) in the Windows build.
class TrustTestCA {
 public:
  TrustTestCA();
  ~TrustTestCA();
  TrustTestCA(const TrustTestCA&) = delete;
  TrustTestCA& operator=(const TrustTestCA&) = delete;
  bool Ok() const { return FError.empty(); }
  const std::string& Error() const { return FError; }

 private:
  std::string FError;
  void* FContext = nullptr;
  void* FStore = nullptr;
};

}  // namespace testing_support
