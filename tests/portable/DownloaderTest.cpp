// The downloader against a real loopback server: libcurl in the native test program, WinHTTP in
// the Windows one under wine. Every file lands in the real temporary folder under a name unique
// to the test, and is removed afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "LoopbackServer.h"
#include "TestSupport.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "setup/DownloadRetry.h"
#include "setup/Downloader.h"
#include "setup/PackageHash.h"
#include "setup/ResumableDownload.h"
#include "setup/SetupDat.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"
#include "ui/Controls.h"

using testing::HasSubstr;
using testing::StartsWith;
using testing_support::ServerRequests;
using testing_support::TempFolder;
using testing_support::TestServer;

namespace {

// The server's body pattern: byte i is (i * 7 + 3) mod 251, repeating every MiB.
std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>(((i % (1u << 20)) * 7 + 3) % 251);
  return s;
}

bool LogHas(const std::string& text) {
  for (const auto& line : InstallLog().Log())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

class DownloadTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TestServer().error, "");
    static std::atomic<int> counter{0};
    std::random_device rd;
    FToken = "t" + std::to_string(rd() % 100000000) + "x" + std::to_string(counter++);
    StopRequested = false;
    // No test waits real seconds before a retry: the pauses asked for are recorded instead.
    FSchedule = DownloadRetrySchedule();
    DownloadRetrySchedule().wait = [this](RetrySchedule::Milliseconds pause, engine::ProgressSink*) {
      pauses.push_back(static_cast<int>(pause.count()));
      return true;
    };
  }
  void TearDown() override {
    DownloadRetrySchedule() = FSchedule;
    Application().SetMessagePump({});
    std::error_code ec;
    for (const auto& f : FCreated) std::filesystem::remove(platform::PathFromUtf8(f), ec);
  }
  // A name unique to this test, so parallel test processes never share a file.
  std::string Unique(const std::string& name) { return FToken + name; }
  // Remembers a file of the temporary folder for removal.
  std::string Temp(const std::string& name) {
    FCreated.push_back(TempDirectory() + name);
    return FCreated.back();
  }
  const std::string& Token() const { return FToken; }

  TScriptedMessages presenter;  // installed while the fixture lives
  std::vector<int> positions;
  std::vector<int> pauses;  // milliseconds, one per retry
  DownloadBar bar{[this](int p) { positions.push_back(p); }};

 private:
  std::string FToken;
  std::vector<std::string> FCreated;
  RetrySchedule FSchedule;
};

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(platform::PathFromUtf8(path), ec);
}

// The requests of the server's list made with that method, each with its header lines.
std::vector<std::string> RequestsOf(const std::string& requests, const std::string& method) {
  std::vector<std::string> found;
  bool in = false;
  size_t pos = 0;
  while (pos < requests.size()) {
    size_t eol = requests.find('\n', pos);
    if (eol == std::string::npos) eol = requests.size();
    std::string line = requests.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.rfind("  ", 0) != 0) {
      in = line.rfind(method + " ", 0) == 0;
      if (in) found.push_back(line);
    } else if (in) {
      found.back() += "\n" + line;
    }
  }
  return found;
}

TEST_F(DownloadTest, PlainFileArrivesWholeWithProgressToHundred) {
  const size_t size = 3 * 1024 * 1024 + 17;
  std::string name = Unique("plain.zip");
  std::string expected = Temp(name);
  int pumped = 0;
  Application().SetMessagePump([&] { ++pumped; });
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Http("/file/" + name + "?size=" + std::to_string(size)), saved, &bar, true));
  EXPECT_EQ(saved, expected);
  EXPECT_TRUE(testing_support::ReadFile(saved) == Pattern(size));
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(positions.back(), 100);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GT(pumped, 0) << "the work event lets pending input run";
  EXPECT_TRUE(presenter.Shown().empty());
  EXPECT_FALSE(StopRequested);
  // One HEAD for the name, then the GET, and nothing of our own in the headers.
  std::string requests = ServerRequests(name);
  EXPECT_THAT(requests, StartsWith("HEAD /file/" + name));
  EXPECT_THAT(requests, HasSubstr("\nGET /file/" + name));
  EXPECT_THAT(requests, testing::Not(HasSubstr("User-Agent")));
}

TEST_F(DownloadTest, WithoutBarNoMessagesAreProcessed) {
  std::string name = Unique("nobar.bin");
  Temp(name);
  int pumped = 0;
  Application().SetMessagePump([&] { ++pumped; });
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Http("/file/" + name + "?size=2000000"), saved, nullptr, false));
  EXPECT_EQ(pumped, 0);
  EXPECT_EQ(testing_support::ReadFile(saved).size(), 2000000u);
}

TEST_F(DownloadTest, ChunkedAnswerCompletesWithBarLeftAtZero) {
  std::string name = Unique("chunked.bin");
  Temp(name);
  int pumped = 0;
  Application().SetMessagePump([&] { ++pumped; });
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Http("/chunked/" + name + "?size=300000"), saved, &bar, true));
  EXPECT_TRUE(testing_support::ReadFile(saved) == Pattern(300000));
  for (int p : positions) EXPECT_EQ(p, 0);
  EXPECT_EQ(pumped, 0) << "no length, no message processing";
}

// The server's proposed name decides where the file lands, but never outside the temporary folder.
TEST_F(DownloadTest, ContentDispositionNameIsReducedToAFileInTheTemporaryFolder) {
  struct Case {
    std::string proposed;  // the token is put in front of the last component
    std::string lands;     // "" = the address's last segment
  };
  const Case cases[] = {
      {"kit.zip", "kit.zip"},     {"..\\..\\x.dll", "x.dll"}, {"/etc/x", "x"},
      {"C:\\x", "x"},             {"", ""},                   {".", ""},
      {"..", ""},                 {"sub/dir/", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.proposed);
    std::string proposed = c.proposed;
    if (!c.lands.empty()) proposed.insert(proposed.size() - c.lands.size(), Token());
    std::string segment = Unique("segment.bin");
    std::string lands = c.lands.empty() ? segment : Token() + c.lands;
    std::string expected = Temp(lands);
    std::string query;
    for (unsigned char ch : proposed) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", ch);
      query += hex;
    }
    std::string saved;
    EXPECT_TRUE(DownloadFile(TestServer().Http("/disp/" + segment + "?size=10&name=" + query), saved, nullptr, true));
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(testing_support::ReadFile(expected).size(), 10u);
  }
}

// Every failing answer: false, one log line with the catalogue text and the client's reason, the
// Czech error box only when errors are reported, and StopRequested set with it.
TEST_F(DownloadTest, FailingAnswersAreErrors) {
  struct Case {
    std::string path;
    std::string reason;  // part of the logged error
  };
  const Case cases[] = {
      {"/redirect/301/r.bin", "301"},
      {"/redirect/302/r.bin", "302"},
      {"/status/404/missing.bin", "404"},
      {"/status/500/broken.bin", "500"},
      {"/close/gone.bin", ""},
  };
  for (bool report : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.path + (report ? " reported" : " silent"));
      InstallLog().Reset();
      presenter.Clear();
      StopRequested = false;
      std::string url = TestServer().Http(c.path);
      std::string saved;
      EXPECT_FALSE(DownloadFile(url, saved, &bar, report));
      ASSERT_TRUE(LogHas(DownloadErrorLogText() + ""));
      std::string logged;
      for (const auto& line : InstallLog().Log())
        if (line.find(DownloadErrorLogText()) != std::string::npos) logged = line;
      EXPECT_THAT(logged, HasSubstr(c.reason));
      EXPECT_EQ(StopRequested, report);
      if (report) {
        ASSERT_EQ(presenter.Shown().size(), 1u);
        EXPECT_THAT(presenter.Shown()[0].Text, StartsWith("Chyba při stahování souboru " + url + " : \n\r"));
        EXPECT_EQ(presenter.Shown()[0].Title, "");
      } else {
        EXPECT_TRUE(presenter.Shown().empty());
      }
    }
  }
}

// A line that breaks, a server that is busy or ignores ranges, a file that changed between two
// requests: the download resumes or starts over, tries again after growing pauses, and either
// ends with the whole file byte for byte under its name or fails with nothing under that name.
TEST_F(DownloadTest, BrokenConnectionsAndBusyServersAreResumedAndRetried) {
  constexpr size_t kSize = 100000;
  struct Case {
    const char* label;
    std::string query;              // added to ?size=100000
    bool ok;
    int gets;                       // GET requests the server saw
    std::vector<std::string> from;  // the Range header of each GET ("" = none)
    std::string ifRange;            // the If-Range of the resumed requests ("" = none sent)
    std::vector<int> pauses;        // milliseconds before each retry
    std::string error;              // part of the logged error of a failure
  };
  const std::string lastModified = "Sun, 06 Nov 1994 08:01:37 GMT";
  const Case cases[] = {
      {"cut once, resumed with its ETag", "&plan=cut40000", true, 2, {"", "bytes=40000-"}, "\"v1-100000\"", {1000}, ""},
      {"cut once, resumed with Last-Modified", "&plan=cut40000&validator=lastmod", true, 2, {"", "bytes=40000-"},
       lastModified, {1000}, ""},
      {"cut twice", "&plan=cut30000,cut60000", true, 3, {"", "bytes=30000-", "bytes=60000-"}, "\"v1-100000\"",
       {1000, 3000}, ""},
      {"cut, server ignores ranges", "&plan=cut40000&norange=1", true, 2, {"", "bytes=40000-"}, "\"v1-100000\"",
       {1000}, ""},
      {"cut, file changed meanwhile", "&plan=cut70000&change=1", true, 2, {"", "bytes=70000-"}, "\"v1-100000\"",
       {1000}, ""},
      {"cut, no validator: starts over", "&plan=cut40000&validator=none", true, 2, {"", ""}, "", {1000}, ""},
      {"cut, weak ETag: starts over", "&plan=cut40000&validator=weak", true, 2, {"", ""}, "", {1000}, ""},
      {"range not satisfiable: starts over", "&plan=cut40000,416", true, 3, {"", "bytes=40000-", ""},
       "\"v1-100000\"", {1000, 3000}, ""},
      {"reset without an answer", "&plan=reset", true, 2, {"", ""}, "", {1000}, ""},
      {"every transient status", "&plan=500,502,504", true, 4, {"", "", "", ""}, "", {1000, 3000, 9000}, ""},
      {"408 and 429", "&plan=408,429", true, 3, {"", "", ""}, "", {1000, 3000}, ""},
      {"503 with Retry-After", "&plan=503&retryafter=5", true, 2, {"", ""}, "", {5000}, ""},
      {"Retry-After shorter than the pause", "&plan=503,503&retryafter=0", true, 3, {"", "", ""}, "", {1000, 3000},
       ""},
      {"Retry-After beyond the bound", "&plan=503&retryafter=7200", true, 2, {"", ""}, "", {30000}, ""},
      {"busy at every attempt", "&plan=503,503,503,503", false, 4, {"", "", "", ""}, "", {1000, 3000, 9000},
       "503"},
      {"cut at every attempt", "&plan=cut10000,cut20000,cut30000,cut40000", false, 4,
       {"", "bytes=10000-", "bytes=20000-", "bytes=30000-"}, "\"v1-100000\"", {1000, 3000, 9000}, ""},
      {"404 is not tried again", "&plan=404", false, 1, {""}, "", {}, "404"},
      {"403 is not tried again", "&plan=403", false, 1, {""}, "", {}, "403"},
      {"a busy HEAD is tried again", "&headplan=503", true, 1, {""}, "", {1000}, ""},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    InstallLog().Reset();
    positions.clear();
    pauses.clear();
    std::string name = Unique("resume" + std::to_string(index++) + ".bin");
    std::string expected = Temp(name);
    std::string saved;
    bool ok = DownloadFile(TestServer().Http("/file/" + name + "?size=" + std::to_string(kSize) + c.query), saved,
                           &bar, false);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(saved, expected);
    EXPECT_FALSE(Exists(PartialDownloadPath(expected))) << "no partial file is left";
    EXPECT_EQ(pauses, c.pauses);
    std::vector<std::string> gets = RequestsOf(ServerRequests(name), "GET");
    ASSERT_EQ(static_cast<int>(gets.size()), c.gets);
    for (size_t i = 0; i < gets.size(); ++i) {
      SCOPED_TRACE("GET " + std::to_string(i + 1));
      if (c.from[i].empty()) {
        EXPECT_THAT(gets[i], testing::Not(HasSubstr("Range:")));
      } else {
        EXPECT_THAT(gets[i], HasSubstr("\n  Range: " + c.from[i]));
        EXPECT_THAT(gets[i], HasSubstr("\n  If-Range: " + c.ifRange));
      }
    }
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "the bar never moves back";
    if (c.ok) {
      EXPECT_TRUE(testing_support::ReadFile(expected) == Pattern(kSize));
      EXPECT_EQ(positions.back(), 100);
      if (c.gets > 1) {
        EXPECT_TRUE(LogHas("attempt 2 of 4")) << "each retry is logged";
      }
    } else {
      EXPECT_FALSE(Exists(expected)) << "nothing under the final name";
      EXPECT_TRUE(LogHas(DownloadErrorLogText() + ""));
      EXPECT_TRUE(LogHas(c.error));
    }
  }
}

// The same file resumed over TLS: the range request goes through the secure connection too.
TEST_F(DownloadTest, HttpsDownloadIsResumed) {
  testing_support::TrustTestCA trust;
  ASSERT_TRUE(trust.Ok()) << trust.Error();
  std::string name = Unique("secure-resume.bin");
  std::string expected = Temp(name);
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Https("/file/" + name + "?size=300000&plan=cut150000"), saved, &bar, true))
      << (presenter.Shown().empty() ? "" : presenter.Shown()[0].Text);
  EXPECT_TRUE(testing_support::ReadFile(expected) == Pattern(300000));
  std::vector<std::string> gets = RequestsOf(ServerRequests(name), "GET");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_THAT(gets[1], HasSubstr("Range: bytes=150000-"));
}

// Stop pressed while the download waits to try again ends the wait at once.
TEST_F(DownloadTest, StopEndsThePauseBeforeARetry) {
  DownloadRetrySchedule().wait = {};  // the real wait, in slices
  DownloadRetrySchedule().pauses = {std::chrono::milliseconds(60000)};
  std::string name = Unique("busy.bin");
  std::string expected = Temp(name);
  int pumped = 0;
  Application().SetMessagePump([&] {
    if (++pumped == 3) StopRequested = true;
  });
  auto start = std::chrono::steady_clock::now();
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/file/" + name + "?plan=503,503"), saved, &bar, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_TRUE(StopRequested);
  EXPECT_EQ(RequestsOf(ServerRequests(name), "GET").size(), 1u);
  EXPECT_FALSE(Exists(expected));
  ASSERT_EQ(presenter.Shown().size(), 1u);
  EXPECT_THAT(presenter.Shown()[0].Text, HasSubstr("stopped"));
}

TEST(DownloadRetry, RetryAfterValues) {
  using namespace std::chrono;
  // 1994-11-06 08:49:37 UTC
  const system_clock::time_point now = system_clock::time_point(seconds(784111777));
  const std::pair<std::string, std::int64_t> cases[] = {
      {"120", 120},  {" 5 ", 5},  {"0", 0},  {"", -1},  {"-5", -1},  {"1.5", -1},  {"soon", -1},
      {"99999999999999999999", 1000000000},
      {"Sun, 06 Nov 1994 08:49:37 GMT", 0},
      {"Sun, 06 Nov 1994 08:50:07 GMT", 30},
      {"Mon, 07 Nov 1994 08:49:37 GMT", 86400},
      {"Sat, 05 Nov 1994 08:49:37 GMT", 0},  // past
      {"Sun, 06 Nov 1994 08:49:37 UTC", -1},
      {"Sun, 06 Xyz 1994 08:49:37 GMT", -1},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(RetryAfterSeconds(value, now), expected) << value;
}

TEST(DownloadResume, ContentRangeOfTheRest) {
  struct Case {
    const char* header;
    std::uint64_t from;
    bool continues;
    std::uint64_t length;
  } cases[] = {
      {"bytes 400-999/1000", 400, true, 1000},
      {" bytes 400-999/* ", 400, true, 0},
      {"bytes 0-999/1000", 0, true, 1000},
      {"bytes 401-999/1000", 400, false, 0},  // not where the file broke
      {"bytes 400-998/1000", 400, false, 0},  // stops short of the end
      {"bytes 400-999/2000", 400, false, 0},
      {"bytes 400-399/1000", 400, false, 0},
      {"bytes */1000", 400, false, 0},
      {"items 400-999/1000", 400, false, 0},
      {"bytes 400-999", 400, false, 0},
      {"bytes -400-999/1000", 400, false, 0},
      {"bytes 400-999/1000x", 400, false, 0},
      {"bytes 400-18446744073709551616/*", 400, false, 0},
      {"", 400, false, 0},
  };
  for (const Case& c : cases) {
    std::uint64_t length = 7;
    EXPECT_EQ(ContentRangeContinues(c.header, c.from, length), c.continues) << c.header;
    if (c.continues) {
      EXPECT_EQ(length, c.length) << c.header;
    }
  }
}

TEST(DownloadRetry, TransientFailures) {
  for (int status : {408, 429, 500, 502, 503, 504, 400, 401, 403, 404, 410, 501, 505}) {
    http::Result r;
    r.response.status = status;
    bool transient = status == 408 || status == 429 || (status >= 500 && status <= 504 && status != 501);
    EXPECT_EQ(IsTransientFailure(r), transient) << status;
  }
  http::Result line;
  line.connectionFailed = true;
  EXPECT_TRUE(IsTransientFailure(line));
  http::Result certificate;
  certificate.error = "the server's certificate comes from an untrusted authority";
  EXPECT_FALSE(IsTransientFailure(certificate));
}

// Answers that are not whole and well formed, from a server that writes raw bytes: a length no
// 64-bit count holds or written in hex, two lengths, an answer cut inside its headers or without
// the empty line after them, a status line alone, no status line, a status that is no number, a
// version in lower case, a header line without a colon. Neither client may take them for a
// download, and each says what was wrong.
TEST_F(DownloadTest, AnswersThatAreNotWholeAndWellFormedAreFailures) {
  struct Case {
    const char* kind;
    const char* reason;         // part of the error
    const char* winhttpReason;  // where wine's WinHTTP refuses the answer itself, in its words (on
                                // Windows WinHTTP refuses more of them itself)
  } cases[] = {
      {"hugelen", "invalid Content-Length \"18446744073709551616\"", nullptr},
      {"hexlen", "invalid Content-Length \"0x64\"", nullptr},
      {"twolen", "two different lengths", nullptr},
      {"cuthead", "the server's answer ended inside its headers", nullptr},
      {"bare", "the server's answer ended inside its headers", nullptr},
      {"noblank", "the server's answer ended inside its headers", nullptr},
      {"nostatus", "does not begin with a valid status line", "the server response could not be read"},
      {"badcode", "does not begin with a valid status line", nullptr},
      {"lowercase", "does not begin with a valid status line (\"http/1.1 200 OK\")", nullptr},
      {"junkline", "the server sent a header line that cannot be read", nullptr},
  };
  std::unique_ptr<http::HttpClient> client = http::CreateHttpClient(http::DefaultOptions());
  for (const Case& c : cases) {
    std::string reason = c.reason;
#ifdef _WIN32
    if (c.winhttpReason) reason = c.winhttpReason;
#endif
    for (bool headToo : {false, true}) {
      SCOPED_TRACE(std::string(c.kind) + (headToo ? " (HEAD too)" : ""));
      std::string name = Unique(std::string(c.kind) + ".bin");
      Temp(name);
      std::string url = TestServer().Http("/raw/" + std::string(c.kind) + "/" + name + (headToo ? "?head=1" : ""));
      InstallLog().Reset();
      std::string saved;
      EXPECT_FALSE(DownloadFile(url, saved, &bar, false));
      EXPECT_TRUE(LogHas(DownloadErrorLogText()));
      EXPECT_TRUE(LogHas(reason)) << "the log names what was wrong";
      std::string body;
      http::Result got = client->Get(url, [&](const char* data, size_t size) {
        body.append(data, size);
        return true;
      }, {});
      EXPECT_FALSE(got.ok);
      EXPECT_THAT(got.error, HasSubstr(reason));
      EXPECT_EQ(got.received, 0u) << "nothing of a malformed answer reaches the file";
      if (headToo) {
        http::Result head = client->Head(url);
        EXPECT_FALSE(head.ok);
        EXPECT_THAT(head.error, HasSubstr(reason));
      }
    }
  }
}

// Answers that are well formed, if unusual, arrive whole through both clients: HTTP/1.0 with and
// without a length, lines ended by LF alone, an empty reason, odd header values, a large head, a
// long header line. Wine's WinHTTP cannot read a folded header or a space before a colon: it
// stops there and would hand the rest of the head over as the body, so the Windows client refuses
// them under wine (WinHTTP on Windows reads them); what it must never do is deliver a wrong body.
TEST_F(DownloadTest, WellFormedUnusualAnswersArriveWhole) {
  struct Case {
    const char* kind;
    bool wineCannotRead;
  } cases[] = {
      {"http10", false},   {"http10eof", false}, {"lfonly", false},   {"noreason", false},
      {"oddvalues", false}, {"many", false},     {"longline", false}, {"folded", true},
      {"spacename", true},
  };
  std::unique_ptr<http::HttpClient> client = http::CreateHttpClient(http::DefaultOptions());
  // Each of these answers ends by closing the connection without saying so. Wine's WinHTTP may
  // send the next request on that pooled connection before it has seen the close, and then
  // reports a line failure before anything arrived; the downloader tries a line failure again, and
  // so does this test, once. An answer the client cannot read fails both times.
  auto onceMoreAfterALineFailure = [](const std::function<http::Result()>& request) {
    http::Result r = request();
    if (!r.ok && r.received == 0 && IsTransientFailure(r)) r = request();
    return r;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    std::string url = TestServer().Http("/raw/" + std::string(c.kind) + "/" + Unique("unusual.bin") + "?head=1");
    std::string body;
    http::Result got = onceMoreAfterALineFailure([&] {
      body.clear();
      return client->Get(url, [&](const char* data, size_t size) {
        body.append(data, size);
        return true;
      }, {});
    });
    http::Result head = onceMoreAfterALineFailure([&] { return client->Head(url); });
#ifdef _WIN32
    if (c.wineCannotRead && !got.ok) {
      EXPECT_THAT(got.error, HasSubstr("the server sent a header line that cannot be read"));
      EXPECT_EQ(got.received, 0u);
      EXPECT_FALSE(head.ok);
      continue;
    }
#endif
    EXPECT_TRUE(got.ok) << got.error;
    EXPECT_TRUE(body == Pattern(100)) << body.size() << " bytes";
    EXPECT_EQ(got.response.status, 200);
    EXPECT_TRUE(head.ok) << head.error;
  }
}

TEST_F(DownloadTest, ABoundedDownloadFailsWhenTheBodyIsLarger) {
  std::string name = Unique("bounded.bin");
  std::string expected = Temp(name);
  std::string saved;
  EXPECT_TRUE(DownloadFile(TestServer().Http("/file/" + name + "?size=1000"), saved, &bar, false, 1000));
  EXPECT_EQ(testing_support::ReadFile(expected), Pattern(1000));
  InstallLog().Reset();
  EXPECT_FALSE(DownloadFile(TestServer().Http("/file/" + name + "?size=300000"), saved, &bar, false, 1000));
  EXPECT_TRUE(LogHas("larger than 1000 bytes"));
  EXPECT_LE(testing_support::ReadFile(expected).size(), 1000u);
}

TEST_F(DownloadTest, BodyShorterThanItsLengthFailsAndLeavesNoFile) {
  std::string name = Unique("short.bin");
  std::string expected = Temp(name);
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/short/" + name + "?size=100000&send=40000"), saved, &bar, false));
  EXPECT_EQ(saved, expected);
  EXPECT_FALSE(Exists(expected));
  EXPECT_FALSE(Exists(PartialDownloadPath(expected)));
  EXPECT_TRUE(LogHas(DownloadErrorLogText() + "the connection closed after") ||
              LogHas(DownloadErrorLogText() + "transfer closed"));
  EXPECT_EQ(pauses.size(), 3u) << "tried again three times";
}

// A file of that name from an earlier download is gone once a new download of it begins: a
// failure leaves nothing that could pass for the new file.
TEST_F(DownloadTest, FailedDownloadRemovesAnOlderFileOfItsName) {
  std::string name = Unique("older.bin");
  std::string expected = Temp(name);
  platform::WriteWholeFile(expected, "an older download");
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/file/" + name + "?plan=404"), saved, nullptr, false));
  EXPECT_FALSE(Exists(expected));
}

TEST_F(DownloadTest, StopDuringAStalledTransferClosesIt) {
  std::string name = Unique("stall.bin");
  std::string expected = Temp(name);
  int pumped = 0;
  // The user presses Stop and answers Yes once the transfer has stalled for a while.
  Application().SetMessagePump([&] {
    if (++pumped == 6) StopRequested = true;
  });
  auto start = std::chrono::steady_clock::now();
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/stall/" + name + "?size=100000&send=30000"), saved, &bar, true));
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20);
  EXPECT_TRUE(StopRequested) << "the stop stays requested";
  EXPECT_FALSE(Exists(expected));
  EXPECT_FALSE(Exists(PartialDownloadPath(expected)));
  EXPECT_TRUE(pauses.empty()) << "a stop is not tried again";
  ASSERT_EQ(presenter.Shown().size(), 1u) << "with errors reported the closed transfer is reported";
}

TEST_F(DownloadTest, StopPressedDuringAFastTransferEndsItFalse) {
  std::string name = Unique("stopped.bin");
  Temp(name);
  Application().SetMessagePump([&] { StopRequested = true; });
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/file/" + name + "?size=50000000"), saved, &bar, false));
  EXPECT_TRUE(StopRequested);
  EXPECT_FALSE(Exists(saved));
  EXPECT_TRUE(pauses.empty());
  EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(DownloadTest, ConnectionRefusedIsAnError) {
  // A port the server had a moment ago and nobody listens on now is hard to get portably; port 1
  // on the loopback is closed on any test machine.
  std::string saved = "untouched";
  EXPECT_FALSE(DownloadFile("http://127.0.0.1:1/file/x.bin", saved, nullptr, false));
  EXPECT_EQ(saved, "untouched") << "the name was never known";
  EXPECT_TRUE(LogHas(DownloadErrorLogText()));
  EXPECT_EQ(pauses.size(), 3u) << "a refused connection is tried again";
}

// Texts that are no web address end at once: no request, no log line, no file, no message.
TEST_F(DownloadTest, AddressesThatAreNotWebAddressesEndSilently) {
  const std::string port = std::to_string(TestServer().httpPort);
  const std::string cases[] = {
      "C:\\Install\\" + Unique("kit.zip"),
      "\\\\server\\share\\" + Unique("kit.zip"),
      "http://127.0.0.1:" + port + "/file/" + Unique("with space.zip"),
      "http://127.0.0.1:" + port + "/file/" + Unique("ends.with.dot."),
      "",
  };
  for (const std::string& address : cases) {
    SCOPED_TRACE(address);
    InstallLog().Reset();
    std::string saved = "untouched";
    int moved = 0;
    DownloadBar counting([&](int) { ++moved; });
    EXPECT_FALSE(DownloadFile(address, saved, &counting, true));
    EXPECT_EQ(saved, "untouched");
    EXPECT_EQ(moved, 1) << "the bar is still reset to 0";
    EXPECT_FALSE(LogHas(DownloadErrorLogText()));
    EXPECT_TRUE(presenter.Shown().empty());
  }
  EXPECT_EQ(ServerRequests(Token()), "");
}

TEST_F(DownloadTest, QueryAndFragmentAreNotPartOfTheName) {
  std::string name = Unique("query.bin");
  std::string expected = Temp(name);
  std::string saved;
  EXPECT_TRUE(DownloadFile(TestServer().Http("/file/" + name + "?size=123#part"), saved, nullptr, false));
  EXPECT_EQ(saved, expected);
  EXPECT_EQ(testing_support::ReadFile(saved).size(), 123u);
  EXPECT_THAT(ServerRequests(name), testing::Not(HasSubstr("#part")));
}

TEST_F(DownloadTest, ExistingFileOfTheSameNameIsReplaced) {
  std::string name = Unique("again.bin");
  std::string path = Temp(name);
  testing_support::TempFolder unused;
  platform::WriteWholeFile(path, std::string(5000, 'x'));
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Http("/file/" + name + "?size=100"), saved, nullptr, false));
  EXPECT_TRUE(testing_support::ReadFile(path) == Pattern(100));
}

TEST_F(DownloadTest, FileThatCannotBeCreatedIsAnError) {
  std::string name = Unique("folder.bin");
  std::string path = Temp(name);
  std::filesystem::create_directory(platform::PathFromUtf8(path));
  std::string saved;
  EXPECT_FALSE(DownloadFile(TestServer().Http("/file/" + name), saved, nullptr, true));
  EXPECT_EQ(saved, path);
  ASSERT_EQ(presenter.Shown().size(), 1u);
  EXPECT_TRUE(StopRequested);
}

TEST_F(DownloadTest, HttpsWithTheTrustedTestCA) {
  std::string name = Unique("secure.bin");
  Temp(name);
  testing_support::TrustTestCA trust;
  ASSERT_TRUE(trust.Ok()) << trust.Error();
  std::string saved;
  ASSERT_TRUE(DownloadFile(TestServer().Https("/file/" + name + "?size=200000"), saved, &bar, true))
      << (presenter.Shown().empty() ? "" : presenter.Shown()[0].Text);
  EXPECT_TRUE(testing_support::ReadFile(saved) == Pattern(200000));
  EXPECT_EQ(positions.back(), 100);
}

TEST_F(DownloadTest, HttpsWithAnUntrustedCertificateFails) {
  std::string name = Unique("untrusted.bin");
  Temp(name);
  // Trusting the test CA must not make a certificate of another authority acceptable.
  testing_support::TrustTestCA trust;
  std::string saved = "untouched";
  EXPECT_FALSE(DownloadFile(TestServer().HttpsUntrusted("/file/" + name), saved, nullptr, false));
  EXPECT_EQ(saved, "untouched") << "the HEAD already fails";
  EXPECT_TRUE(LogHas(DownloadErrorLogText()));
  EXPECT_EQ(ServerRequests(name), "") << "no request passes an untrusted connection";
}

// StahniSoubor: where a named file comes from.
class StahniSouborTest : public DownloadTest {
 protected:
  TempFolder kit, folder;
};

TEST_F(StahniSouborTest, LocalKitCopyWinsOverAWebLocation) {
  std::string name = Unique("Program.zip");
  kit.Write(name, "local");
  DownloadSources sources{kit.Path(), TestServer().Http("/file/"), TestServer().Http("/file/")};
  for (bool mssql : {false, true}) {
    std::string path;
    EXPECT_TRUE(StahniSoubor(sources, name, path, nullptr, true, mssql));
    EXPECT_EQ(path, kit / name);
  }
  EXPECT_EQ(ServerRequests(name), "") << "no request for a local copy";
}

TEST_F(StahniSouborTest, WebLocationEndingInSlashGetsOneSlashBeforeTheName) {
  std::string name = Unique("Program.zip");
  std::string expected = Temp(name);
  DownloadSources sources{kit.Path(), TestServer().Http("/file/pkg/"), "C:\\nowhere"};
  std::string path;
  ASSERT_TRUE(StahniSoubor(sources, name, path, &bar, true, false));
  EXPECT_EQ(path, expected);
  EXPECT_THAT(ServerRequests(name), HasSubstr("GET /file/pkg/" + name));
}

TEST_F(StahniSouborTest, WebLocationWithoutSlashAndTheSqlLocation) {
  std::string name = Unique("MSSQL.ini");
  std::string expected = Temp(name);
  DownloadSources sources{kit.Path(), "C:\\nowhere", TestServer().Http("/file/sql")};
  std::string path;
  ASSERT_TRUE(StahniSoubor(sources, name, path, nullptr, false, true));
  EXPECT_EQ(path, expected);
  EXPECT_THAT(ServerRequests(name), HasSubstr("GET /file/sql/" + name));
}

TEST_F(StahniSouborTest, FolderLocationIsUsedWhereItLies) {
  std::string present = Unique("here.zip"), missing = Unique("missing.zip");
  folder.Write(present, "x");
  DownloadSources sources{kit.Path(), folder.Path(), folder.Path()};
  std::string path;
  EXPECT_TRUE(StahniSoubor(sources, present, path, nullptr, true, false));
  EXPECT_EQ(path, platform::IncludeTrailingPathDelimiter(folder.Path()) + present);
  EXPECT_FALSE(StahniSoubor(sources, missing, path, nullptr, true, false));
  EXPECT_EQ(path, platform::IncludeTrailingPathDelimiter(folder.Path()) + missing);
  EXPECT_TRUE(presenter.Shown().empty());
  EXPECT_FALSE(LogHas(DownloadErrorLogText()));
}

// A package that an earlier attempt downloaded whole lies in the download folder under its own
// name: with the kit's hash of it, it is taken as it is; without a hash, or when its hash is
// another, it is downloaded again.
TEST_F(StahniSouborTest, AVerifiedEarlierDownloadIsNotDownloadedAgain) {
  const std::string earlier = "an earlier attempt's download";
  auto sha256 = [](const std::string& bytes) {
    platform::Sha256Hash hash;
    hash.Update(bytes.data(), bytes.size());
    return Sha256Hex(hash.Final());
  };
  const std::string earlierHash = sha256(earlier), otherHash = sha256("another archive");
  struct Case {
    const char* label;
    std::string hash;
    bool downloaded;
  } cases[] = {{"hash of the copy", earlierHash, false}, {"hash of another file", otherHash, true},
               {"no hash", "", true}};
  DownloadSources sources{kit.Path(), TestServer().Http("/file/"), "C:\\nowhere"};
  for (const Case& c : cases) {
    std::string name = Unique("Program.zip");
    std::ofstream(platform::PathFromUtf8(Temp(name)), std::ios::binary) << earlier;
    std::string path;
    ASSERT_TRUE(StahniSoubor(sources, name, path, &bar, true, false, c.hash)) << c.label;
    EXPECT_EQ(path, Temp(name)) << c.label;
    EXPECT_EQ(testing_support::ReadFile(path) != earlier, c.downloaded) << c.label;
    EXPECT_EQ(ServerRequests(name).find("GET /file/" + name) != std::string::npos, c.downloaded) << c.label;
    std::error_code ec;
    std::filesystem::remove(platform::PathFromUtf8(path), ec);
  }
  EXPECT_TRUE(LogHas("from an earlier attempt has the kit's SHA-256: it is not downloaded again"));
  EXPECT_TRUE(LogHas("from an earlier attempt is not the file the kit names: it is downloaded again"));
}

// The definition's operations: its locations, and the progress sink each download is given.
TEST_F(StahniSouborTest, SetupDatUsesItsLocationsAndReportsToTheGivenSink) {
  std::string name = Unique("setup.zip");
  std::string expected = Temp(name);
  TSetupDat dat(false);
  dat.SetLocalPath(kit.Path());
  dat.SetInstallServer(TestServer().Http("/file/web/"));
  dat.SetMSSQLInstall(folder.Path());
  ui::TProgressBar progress(nullptr, "pbDownload");
  DownloadBar bar([&progress](int position) { progress.SetPosition(position); });
  std::string path;
  ASSERT_TRUE(dat.StahniSoubor(name + "?size=5000", path, &bar, true, false));
  EXPECT_EQ(path, expected);
  EXPECT_EQ(progress.Position(), 100);

  // A download without a sink moves no bar of an earlier one.
  progress.SetPosition(7);
  std::string saved;
  EXPECT_TRUE(dat.DownloadFile(TestServer().Http("/chunked/" + name), saved, nullptr, false));
  EXPECT_EQ(progress.Position(), 7);
}

// The check of a head as WinHTTP hands it back. Whole heads of every shape pass; the message
// says what is wrong with a broken one.
TEST(ResponseHead, WholeHeadsPassAndBrokenOnesAreNamed) {
  const std::pair<std::string, std::string> cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", ""},
      {"HTTP/1.0 200 OK\r\n\r\n", ""},
      {"HTTP/1.1 200 \r\nX-Folded: one two\r\n\r\n", ""},
      {"HTTP/1.1 200\r\n\r\n", ""},
      {"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", ""},
      {"HTTP/1.1 200 OK\n\n", ""},
      {"HTTP/1.1 200 OK\r\n", "ended inside its headers"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", "ended inside its headers"},
      {"HTTP/1.1 200 OK\r\nX-Folded: one\r\n two", "header line that cannot be read (\" two\")"},
      {"HTTP/1.1 200 OK", "header line that cannot be read"},
      {"", "valid status line (\"\")"},
      {"http/1.1 200 OK\r\n\r\n", "valid status line (\"http/1.1 200 OK\")"},
      {"HTTP/1.1 2x0 OK\r\n\r\n", "valid status line"},
      {"HTTP/1.1 20\r\n\r\n", "valid status line"},
      {"HTTP/1.1 2000 OK\r\n\r\n", "valid status line"},
      {"HTTP/11 200 OK\r\n\r\n", "valid status line"},
      {"HTTP/1.1  200 OK\r\n\r\n", "valid status line"},
      {"HTTP/1.1 200 OK\x01\x1b[2J\r\n\r\n", ""},
      {"\x1b[2Jx\r\n\r\n", "valid status line (\"?[2Jx\")"},
  };
  for (const auto& [head, error] : cases) {
    SCOPED_TRACE(head);
    if (error.empty())
      EXPECT_EQ(http::ResponseHeadError(head), "");
    else
      EXPECT_THAT(http::ResponseHeadError(head), HasSubstr(error));
  }
  EXPECT_EQ(http::ServerTextForMessage(std::string(100, 'a')), std::string(80, 'a') + "...");
}

TEST(DownloadAddress, Normalisation) {
  const std::pair<std::string, std::string> cases[] = {
      {"https://h.cz/kit/\\Program.zip", "https://h.cz/kit/Program.zip"},
      {"https://h.cz/kit\\Program.zip", "https://h.cz/kit/Program.zip"},
      {"https://h.cz/a/\\b\\c\\d", "https://h.cz/a/b/c\\d"},  // one of each only
      {"https://h.cz/a/b", "https://h.cz/a/b"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeDownloadAddress(in), out) << in;
}

TEST(DownloadName, ContentDispositionParameter) {
  const std::pair<std::string, std::string> cases[] = {
      {"attachment; filename=\"kit.zip\"", "kit.zip"},
      {"attachment; filename=kit.zip", "kit.zip"},
      {"attachment;filename=kit.zip; size=3", "kit.zip"},
      {"attachment; FileName=\"a \\\"b\\\".zip\"", "a \"b\".zip"},
      {"attachment; filename*=UTF-8''%C5%BElu%C5%A5.zip", "\xC5\xBElu\xC5\xA5.zip"},
      {"attachment; filename=\"plain.zip\"; filename*=UTF-8''other.zip", "plain.zip"},
      {"attachment", ""},
      {"", ""},
      {"inline; name=\"x\"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ContentDispositionFileName(in), out) << in;
}

TEST(DownloadName, SafeNamesAndAddressSegments) {
  const std::pair<std::string, std::string> safe[] = {
      {"kit.zip", "kit.zip"}, {"..\\..\\x.dll", "x.dll"}, {"/etc/x", "x"}, {"C:\\x", "x"},
      {"C:x.dll", "x.dll"},   {".", ""},                  {"..", ""},      {"", ""},
      {"a<b>|c?.zip", "a_b__c_.zip"}, {"name.", "name"},  {"CON", "_CON"}, {"lpt1.txt", "_lpt1.txt"},
      {"dir/", ""},
      // Windows reserves COM and LPT with the superscript digits one to three as well.
      {"COM\u00B9", "_COM\u00B9"}, {"lpt\u00B2.zip", "_lpt\u00B2.zip"}, {"LPT\u00B3 .x", "_LPT\u00B3 .x"},
      {"COM0.bin", "_COM0.bin"}, {"COM\u2074.zip", "COM\u2074.zip"}, {"COM10.zip", "COM10.zip"},
  };
  for (const auto& [in, out] : safe) EXPECT_EQ(SafeDownloadFileName(in), out) << in;
  const std::pair<std::string, std::string> segments[] = {
      {"http://h.cz/a/b/kit.zip", "kit.zip"},
      {"http://h.cz:8080/kit.zip?x=1#y", "kit.zip"},
      {"http://h.cz/My%20Kit.zip", "My Kit.zip"},
      {"http://h.cz/", ""},
      {"http://h.cz", ""},
  };
  for (const auto& [in, out] : segments) EXPECT_EQ(AddressDocumentName(in), out) << in;
}

TEST(WriteSSLLibraries, WritesNothing) {
  std::string temp = TempDirectory();
  std::error_code ec;
  bool before = std::filesystem::exists(platform::PathFromUtf8(temp + "libeay32.dll"), ec);
  WriteSSLLibraries();
  EXPECT_EQ(std::filesystem::exists(platform::PathFromUtf8(temp + "libeay32.dll"), ec), before);
}

}  // namespace
