#include "LoopbackServer.h"

#include <cstdio>
#include <memory>
#include <string>

#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/Process.h"

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

#ifndef _WIN32
int JsonInt(const std::string& json, const std::string& key) {
  size_t p = json.find("\"" + key + "\":");
  if (p == std::string::npos) return 0;
  return std::atoi(json.c_str() + p + key.size() + 3);
}

std::string JsonString(const std::string& json, const std::string& key) {
  size_t p = json.find("\"" + key + "\": \"");
  if (p == std::string::npos) return {};
  p += key.size() + 5;
  return json.substr(p, json.find('"', p) - p);
}

// A server started by this process: ends when the process ends (its standard input closes).
// The test program never waits on it unbounded: a server that has not gone five seconds after
// being asked is killed, so a stuck server cannot hold the test past its end.
struct ChildServer {
  pid_t pid = -1;
  int toChild = -1;
  ~ChildServer() {
    if (toChild >= 0) close(toChild);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
      if (waitpid(pid, nullptr, WNOHANG) != 0) return;
      usleep(10000);
    }
    std::fprintf(stderr, "loopback server %d did not end when asked; killed\n", static_cast<int>(pid));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
};

std::string StartChild(ChildServer& child) {
  // Close-on-exec, so no program a test starts later keeps the server's input open.
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return {};
  std::string script = std::string(VELSETUP_SOURCE_DIR) + "/tests/servers/http_test_server.py";
  // Every test runs in its own process; they share one set of certificates in the build folder.
  std::string certs = std::string(VELSETUP_BINARY_DIR) + "/tests/server-certs";
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execlp("python3", "python3", script.c_str(), "--exit-on-eof", "--cert-cache", certs.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  child.pid = pid;
  child.toChild = in[1];
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  return line;
}
#endif

LoopbackServer Discover() {
  LoopbackServer s;
  auto http = platform::GetEnv("VELSETUP_TEST_HTTP_PORT");
  auto https = platform::GetEnv("VELSETUP_TEST_HTTPS_PORT");
  auto ca = platform::GetEnv("VELSETUP_TEST_CA");
  auto untrusted = platform::GetEnv("VELSETUP_TEST_HTTPS_UNTRUSTED_PORT");
  if (http && https && ca) {
    s.httpPort = std::atoi(http->c_str());
    s.httpsPort = std::atoi(https->c_str());
    s.httpsUntrustedPort = untrusted ? std::atoi(untrusted->c_str()) : 0;
    s.caFile = *ca;
#ifdef _WIN32
    if (!s.caFile.empty() && s.caFile[0] == '/') s.caFile = "Z:" + s.caFile;  // wine's view of /
#endif
  } else {
#ifdef _WIN32
    s.error = "no loopback server: run the Windows tests through tests/servers/with-server.sh";
#else
    static ChildServer child;
    std::string line = StartChild(child);
    s.httpPort = JsonInt(line, "http");
    s.httpsPort = JsonInt(line, "https");
    s.caFile = JsonString(line, "ca");
    s.httpsUntrustedPort = JsonInt(line, "https_untrusted");
    if (s.httpPort == 0) s.error = "the loopback server did not start (python3, openssl?)";
#endif
  }
  return s;
}

}  // namespace

std::string LoopbackServer::Http(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(httpPort) + path;
}

std::string LoopbackServer::Kit(const std::string& folder) const {
  std::string hostPath = folder;
#ifdef _WIN32
  // The server runs on the Linux side: it needs the folder as Wine maps it there.
  using ToUnix = char* (*)(const wchar_t*);
  if (auto toUnix = reinterpret_cast<ToUnix>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")))) {
    if (char* unix = toUnix(platform::PathFromUtf8(folder).wstring().c_str())) {
      hostPath = unix;
      HeapFree(GetProcessHeap(), 0, unix);
    }
  }
#endif
  static const char* const digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : hostPath) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return Http("/kit/" + hex);
}

std::string LoopbackServer::Https(const std::string& path) const {
  return "https://localhost:" + std::to_string(httpsPort) + path;
}

std::string LoopbackServer::HttpsUntrusted(const std::string& path) const {
  return "https://localhost:" + std::to_string(httpsUntrustedPort) + path;
}

const LoopbackServer& TestServer() {
  static LoopbackServer server = Discover();
  return server;
}

std::string ServerRequests(const std::string& match) {
  std::string body;
  auto client = http::CreateHttpClient();
  std::string query;
  for (unsigned char c : match) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
      query += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      query += hex;
    }
  }
  client->Get(TestServer().Http("/_requests?match=" + query),
              [&body](const char* d, size_t n) {
                body.append(d, n);
                return true;
              },
              {});
  return body;
}

#ifdef _WIN32
// Wine builds its ROOT system store afresh from the registry at every open, so the certificate
// goes into the registry store under HKLM\...\SystemCertificates\Root, where the next chain
// engine finds it. The store stays open until the certificate is removed again.
TrustTestCA::TrustTestCA() {
  std::string pem;
  FILE* f = _wfopen(platform::PathFromUtf8(TestServer().caFile).c_str(), L"rb");
  if (!f) {
    FError = "cannot read " + TestServer().caFile;
    return;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) pem.append(buf, n);
  fclose(f);
  DWORD derSize = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &derSize, nullptr, nullptr)) {
    FError = "the CA file is not PEM";
    return;
  }
  std::string der(derSize, '\0');
  CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()), &derSize,
                       nullptr, nullptr);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\SystemCertificates\\Root", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    FError = "cannot open the ROOT certificates key";
    return;
  }
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_REG, 0, 0, 0, key);
  RegCloseKey(key);  // the store keeps its own copy of the key
  if (!store) {
    FError = "cannot open the ROOT store";
    return;
  }
  PCCERT_CONTEXT added = nullptr;
  if (!CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), derSize,
                                        CERT_STORE_ADD_REPLACE_EXISTING, &added)) {
    FError = "cannot add the test CA to the ROOT store";
    CertCloseStore(store, 0);
    return;
  }
  CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
  FStore = store;
  FContext = const_cast<CERT_CONTEXT*>(added);
}

TrustTestCA::~TrustTestCA() {
  if (FContext) CertDeleteCertificateFromStore(static_cast<PCCERT_CONTEXT>(FContext));
  if (FStore) {
    CertControlStore(static_cast<HCERTSTORE>(FStore), 0, CERT_STORE_CTRL_COMMIT, nullptr);
    CertCloseStore(static_cast<HCERTSTORE>(FStore), 0);
  }
}
#else
TrustTestCA::TrustTestCA() { http::DefaultOptions().caFile = TestServer().caFile; }
TrustTestCA::~TrustTestCA() { http::DefaultOptions().caFile.clear(); }
#endif

}  // namespace testing_support
