// velkit kit check against demo kits that each carry one fault, checked both as a kit folder and
// as a web kit served on loopback by Python's http.server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <regex>
#include <thread>

#include "TestSupport.h"

namespace {

using testing_support::DataDir;
using testing_support::ReadFile;
using testing_support::Run;
using testing_support::TempFolder;

const std::string kVelkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";
const std::string kMakeKit = std::string(VELSETUP_SOURCE_DIR) + "/scripts/make-demo-kit.sh";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Python's http.server over a folder, on a free loopback port, for as long as the object lives.
class StaticServer {
 public:
  StaticServer(const std::string& folder, const std::string& log) {
    Run("rm -f " + Quote(log) + " && mkdir -p " + Quote(folder) + " && cd " + Quote(folder) +
        " && { python3 -u -m http.server 0 --bind 127.0.0.1 >" + Quote(log) + " 2>&1 & echo $! >" +
        Quote(log + ".pid") + "; }");
    FPid = std::atoi(ReadFile(log + ".pid").c_str());
    std::regex port("port ([0-9]+)");
    for (int i = 0; i < 100 && FPort == 0; ++i) {
      std::smatch m;
      std::string text = ReadFile(log);
      if (std::regex_search(text, m, port)) FPort = std::stoi(m[1]);
      else std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~StaticServer() {
    if (FPid > 0) kill(FPid, SIGTERM);
  }
  int Port() const { return FPort; }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(FPort) + "/" + path; }

 private:
  int FPid = 0;
  int FPort = 0;
};

struct Fault {
  const char* name;
  // Damages the kit; base is what the kit's own files are reached by (folder path or address).
  std::function<void(const std::string& kit, const std::string& base)> seed;
  std::vector<std::string> problems;  // one text per expected problem line, each found in one line
  std::vector<std::string> alsoPrinted;
  bool withIndex = false;
};

void Sh(const std::string& command) { ASSERT_EQ(Run(command), 0) << command; }

// The kit's definition packed again with the SHA-256 of each package in the kit.
void PackWithHashes(const std::string& kit) {
  Sh(kVelkit + " definition pack --hash-from " + Quote(kit) + " " + Quote(kit + "/setup.xml") + " " +
     Quote(kit + "/setup.dat") + " >/dev/null");
}

const std::vector<Fault>& Faults() {
  static const std::vector<Fault> faults = {
      {"sound kit", [](const std::string&, const std::string&) {}, {},
       {"ok: Program.zip: 3 files read, CRC and password checked", "ok: Lang_EN.zip: 1 file read",
        "note: Program.zip: the definition gives no SHA-256", "note: MSSQL.ini: the kit has none", "is sound"}},
      {"hashes filled in", [](const std::string& kit, const std::string&) { PackWithHashes(kit); }, {},
       {"ok: Program.zip: 3 files read, SHA-256, CRC and password checked", "ok: Lang_EN.zip: 1 file read, SHA-256",
        "is sound"}},
      {"package replaced after its hash was taken",
       [](const std::string& kit, const std::string&) {
         PackWithHashes(kit);
         // Another archive with the kit's password: it opens, but it is not the one packed.
         Sh("cd " + Quote(kit) + " && mkdir -p r && echo changed >r/Velmor_EN.lng && rm Lang_EN.zip && "
            "cd r && zip -q -P 'Demo#Kit2024' ../Lang_EN.zip Velmor_EN.lng");
       },
       {"problem: Lang_EN.zip: wrong SHA-256: the archive's is "},
       {"ok: Program.zip: 3 files read, SHA-256, CRC and password checked", ", the definition gives "}},
      {"package missing", [](const std::string& kit, const std::string&) { Sh("rm " + Quote(kit + "/Lang_EN.zip")); },
       {"problem: Lang_EN.zip: not found (needed by tiKest, tiKestUpdate, tiTarpel, tiTarpelUpdate, tiVelmorDemo)"}},
      {"wrong password",
       [](const std::string& kit, const std::string&) {
         Sh("cd " + Quote(kit) + " && mkdir -p w && echo x >w/a.txt && echo y >w/b.txt && rm Program.zip && "
            "cd w && zip -q -P other ../Program.zip a.txt b.txt");
       },
       {"problem: Program.zip: does not open with the definition's password: all 2 encrypted entries refuse it"}},
      {"entry climbing out",
       [](const std::string& kit, const std::string&) {
         Sh("cp " + Quote(DataDir() + "/zip/climb-dotdot.zip") + " " + Quote(kit + "/Program.zip"));
       },
       {"problem: Program.zip, entry \"sub\\..\\..\\escape.txt\": is refused: it climbs out of the package's folder"},
       {"ok: Lang_EN.zip"}},
      {"CRC mismatch",
       [](const std::string& kit, const std::string&) {
         Sh("cp " + Quote(DataDir() + "/zip/crc-mismatch.zip") + " " + Quote(kit + "/Lang_EN.zip"));
       },
       {"problem: Lang_EN.zip, entry \"data.txt\": The archive entry \"data.txt\" is damaged"}},
      {"AES authentication code",
       [](const std::string& kit, const std::string&) {
         // A stored AES-256 entry of random bytes (AE-2: no CRC, only the authentication code
         // guards it) with one byte of its encrypted data changed.
         Sh("cd " + Quote(kit) + " && head -c 256 /dev/urandom >noise.bin && rm Lang_EN.zip && "
            "7z a -tzip -bd -mx0 -mem=AES256 -p'Demo#Kit2024' Lang_EN.zip noise.bin >/dev/null && "
            "python3 -c \"import sys; p = sys.argv[1]; b = bytearray(open(p, 'rb').read()); b[120] ^= 0xFF; "
            "open(p, 'wb').write(b)\" Lang_EN.zip");
       },
       {"problem: Lang_EN.zip, entry \"noise.bin\": The archive entry \"noise.bin\" is damaged or the password is "
        "wrong (authentication code mismatch)"}},
      {"package without a file",
       [](const std::string& kit, const std::string&) {
         Sh("cd " + Quote(kit) + " && mkdir -p e/Lang && rm Lang_EN.zip && cd e && zip -q -r ../Lang_EN.zip Lang");
       },
       {"problem: Lang_EN.zip: holds no file: the installer would install nothing from it"}},
      {"damaged setup.dat",
       [](const std::string& kit, const std::string&) {
         Sh("printf 'PK not really' >" + Quote(kit + "/setup.dat"));
       },
       {"problem: setup.dat: does not load: "}},
      {"MSSQL.ini naming a missing installer",
       [](const std::string& kit, const std::string&) {
         Sh("mkdir -p " + Quote(kit + "/MSSQL") + " && cd " + Quote(kit + "/MSSQL") +
            " && printf '[SQL]\\r\\nExpress 2019=SQLEXPR_x64.exe;1;1;SSMS.exe\\r\\nExpress 2017=SQLEXPR2017.exe;0;x\\r\\n"
            "Empty=\\r\\n' >MSSQL.ini && echo exe >SQLEXPR2017.exe && echo exe >SSMS.exe");
       },
       {"problem: MSSQL.ini, \"Express 2019\": the installer \"SQLEXPR_x64.exe\" is not found",
        "problem: MSSQL.ini, \"Express 2017\": field 3 (architecture) is \"x\", not 0 (32-bit) or 1 (64-bit)"},
       {"ok: MSSQL.ini: 2 SQL Server editions offered"}},
      {"index with a definition that does not load",
       [](const std::string& kit, const std::string& base) {
         Sh("printf 'not a zip' >" + Quote(kit + "/broken.dat"));
         Sh("printf '[Velmor1]\\r\\nURL=%s;Default\\r\\nName=Good\\r\\n[Velmor2]\\r\\nURL=%s\\r\\nName=Broken\\r\\n"
            "[Velmor3]\\r\\nURL=%s\\r\\nName=Gone\\r\\n[Velmor5]\\r\\nURL=x\\r\\nName=After a gap\\r\\n' " +
            Quote(base + "setup.dat") + " " + Quote(base + "broken.dat") + " " + Quote(base + "gone.dat") + " >" +
            Quote(kit + "/index.ini"));
       },
       {"problem: index ", "problem: index "},
       {"Velmor2 \"Broken\": its definition", "Velmor3 \"Gone\": its definition",
        "note: index ", "section Velmor5 is never listed", "ok: index ", "1 of 3 product versions load"},
       true},
  };
  return faults;
}

class KitCheckToolTest : public testing::Test {
 protected:
  TempFolder dir;

  int Check(const std::string& args, std::string& out) {
    Sh("mkdir -p " + Quote(dir / "tmp"));
    int status = testing_support::Run("TMPDIR=" + Quote(dir / "tmp") + " " + kVelkit + " kit check " + args + " >" +
                     Quote(dir / "out.txt") + " 2>&1");
    out = ReadFile(dir / "out.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void MakeKit(const std::string& kit, const std::string& server) {
    Sh("VELKIT=" + kVelkit + " " + kMakeKit + " " + Quote(kit) + " " + server + " >/dev/null");
    // The demo kit offers a SQL Server edition whose installer it does not carry; these kits are
    // about their packages, and MSSQL.ini has a case of its own.
    Sh("rm -rf " + Quote(kit + "/MSSQL.ini") + " " + Quote(kit + "/MSSQL"));
  }

  // Each fault in a fresh kit, checked in one form; every expected problem line and nothing more.
  void CheckEveryFault(bool web) {
    for (const Fault& fault : Faults()) {
      SCOPED_TRACE(std::string(fault.name) + (web ? " (web kit)" : " (kit folder)"));
      std::string kit = dir / (web ? "web" : "local");
      Sh("rm -rf " + Quote(kit));
      std::unique_ptr<StaticServer> server;
      server = std::make_unique<StaticServer>(kit, dir / "server.log");
      ASSERT_NE(server->Port(), 0) << ReadFile(dir / "server.log");
      MakeKit(kit, server->Url(""));
      std::string base = web ? server->Url("") : kit + "/";
      fault.seed(kit, base);
      std::string args = web ? server->Url("") : Quote(kit);
      if (fault.withIndex) args += " --index " + Quote(web ? server->Url("index.ini") : kit + "/index.ini");
      std::string out;
      int status = Check(args, out);
      EXPECT_EQ(status, fault.problems.empty() ? 0 : 1) << out;
      std::vector<std::string> lines;
      for (size_t start = 0, end; start < out.size(); start = end + 1) {
        end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        lines.push_back(out.substr(start, end - start));
      }
      size_t problemLines = 0;
      for (const std::string& line : lines) problemLines += line.rfind("problem: ", 0) == 0;
      EXPECT_EQ(problemLines, fault.problems.size()) << out;
      for (const std::string& want : fault.problems) EXPECT_NE(out.find(want), std::string::npos) << want << "\n" << out;
      for (const std::string& want : fault.alsoPrinted)
        EXPECT_NE(out.find(want), std::string::npos) << want << "\n" << out;
      if (!fault.problems.empty())
        EXPECT_NE(out.find(std::to_string(fault.problems.size()) + " problem"), std::string::npos) << out;
      // The packages a web check downloaded do not stay in the temporary folder.
      EXPECT_EQ(testing_support::Run("[ -z \"$(ls -A " + Quote(dir / "tmp") + ")\" ]"), 0) << "left in the temporary folder";
    }
  }
};

TEST_F(KitCheckToolTest, EachFaultOfAKitFolderIsReported) { CheckEveryFault(false); }

TEST_F(KitCheckToolTest, EachFaultOfAWebKitIsReported) { CheckEveryFault(true); }

TEST_F(KitCheckToolTest, WebKitLooksWhereTheInstallerLooks) {
  std::string kit = dir / "kit";
  StaticServer server(kit, dir / "server.log");
  ASSERT_NE(server.Port(), 0);
  MakeKit(kit, server.Url("packages/"));
  // The packages are not at the package location: each is reported with the server's answer.
  std::string out;
  EXPECT_EQ(Check(server.Url("setup.dat"), out), 1);
  EXPECT_NE(out.find("problem: Program.zip: not found (needed by tiKest"), std::string::npos) << out;
  EXPECT_NE(out.find(server.Url("packages/Program.zip") + " answers: "), std::string::npos) << out;
  EXPECT_NE(out.find("404"), std::string::npos) << out;
  // Moved there, the kit is sound; a kit folder's own copies win over the location, as in the installer.
  Sh("mkdir -p " + Quote(kit + "/packages") + " && mv " + Quote(kit + "/Program.zip") + " " +
     Quote(kit + "/Lang_EN.zip") + " " + Quote(kit + "/packages/"));
  EXPECT_EQ(Check(server.Url("setup.dat"), out), 0) << out;
  EXPECT_NE(out.find("(" + server.Url("packages/Program.zip") + ")"), std::string::npos) << out;
  Sh("cp " + Quote(kit + "/packages/Program.zip") + " " + Quote(kit + "/"));
  EXPECT_EQ(Check(Quote(kit), out), 0) << out;
  EXPECT_NE(out.find("(" + kit + "/Program.zip)"), std::string::npos) << out;
  EXPECT_NE(out.find("(" + server.Url("packages/Lang_EN.zip") + ")"), std::string::npos) << out;
}

TEST_F(KitCheckToolTest, CommandLineAndUnreachableKits) {
  std::string out;
  EXPECT_EQ(Check("", out), 2);
  EXPECT_EQ(Check(Quote(dir / "nothing-here"), out), 1);
  EXPECT_NE(out.find("problem: setup.dat: there is no file"), std::string::npos) << out;
  // Nothing listens on port 9 of the loopback address.
  EXPECT_EQ(Check("http://127.0.0.1:9/kit/", out), 1);
  EXPECT_NE(out.find("problem: setup.dat: cannot be downloaded from http://127.0.0.1:9/kit/setup.dat"),
            std::string::npos)
      << out;
}

}  // namespace
