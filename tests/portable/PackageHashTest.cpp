// Package hashes: the "Sha256" text of a definition, the SHA-256 of a file read in pieces, and the
// check of an obtained archive before it is opened, for packages from the local kit, a folder and
// a web location (the downloader and the system's SHA-256 of each build: OpenSSL and libcurl
// natively, CNG and WinHTTP under wine).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "LoopbackServer.h"
#include "TestSupport.h"
#include "engine/InstallRun.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "setup/Downloader.h"
#include "setup/PackageHash.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "support/SystemUtil.h"

using testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::TestServer;

namespace {

const char* const kEmptySha = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

TEST(Sha256Text, SixtyFourHexDigitsInAnyCaseOrNothing) {
  const std::string lower = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  struct Case {
    std::string text;
    std::optional<std::string> parsed;
  } cases[] = {
      {lower, lower},
      {"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", lower},
      {"Ba7816bF8f01CFEA414140de5dae2223b00361a396177a9cb410ff61f20015Ad", lower},
      {"\n      " + lower + "\n    ", lower},  // as a pretty-printed document holds it
      {"", ""},
      {"  \n ", ""},
      {lower.substr(1), std::nullopt},
      {lower + "0", std::nullopt},
      {"0x" + lower.substr(2), std::nullopt},
      {lower.substr(0, 63) + "g", std::nullopt},
      {lower.substr(0, 32) + " " + lower.substr(33), std::nullopt},
      {"sha256:" + lower, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSha256Text(c.text), c.parsed) << "\"" << c.text << "\"";
}

TEST(Sha256OfFile, KnownDigestsAndEveryPieceBoundary) {
  TempFolder tmp;
  EXPECT_EQ(Sha256Hex(platform::Sha256OfFile(tmp.Write("empty", ""))), kEmptySha);
  EXPECT_EQ(Sha256Hex(platform::Sha256OfFile(tmp.Write("abc", "abc"))),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex(platform::Sha256OfFile(tmp.Write("a", std::string(1000000, 'a')))),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Around the pieces the file is read in: the streamed digest equals the digest of the whole
  // content given at once.
  const std::size_t piece = 4u << 20;
  for (std::size_t size : {piece - 1, piece, piece + 1, 2 * piece, 2 * piece + 3}) {
    std::string content = testing_support::RandomBytes(size, static_cast<unsigned>(size));
    platform::Sha256Hash whole;
    whole.Update(content.data(), content.size());
    EXPECT_EQ(Sha256Hex(platform::Sha256OfFile(tmp.Write("piece", content))), Sha256Hex(whole.Final())) << size;
  }
}

TEST(Sha256OfFile, AMissingFileIsAnErrorNamingIt) {
  TempFolder tmp;
  std::string missing = tmp / "missing.zip";
  try {
    platform::Sha256OfFile(missing);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("missing.zip"));
  }
  TZipFileCFG package;
  package.SetFileName("Program");
  package.SetSha256(kEmptySha);
  SetCurrentLanguage(langEN);
  std::string fault = PackageHashFault(package, missing);
  EXPECT_THAT(fault, HasSubstr("\"Program\" cannot be verified"));
  EXPECT_THAT(fault, HasSubstr("missing.zip"));
}

TEST(PackageHashMessage, EveryLanguageNamesThePackageAndBothHashes) {
  TempFolder tmp;
  std::string archive = tmp.Write("Program.zip", "abc");
  TZipFileCFG package;
  package.SetFileName("Program");
  package.SetSha256(kEmptySha);
  for (TLanguage language : {langCZ, langEN, langDE, langSK}) {
    SetCurrentLanguage(language);
    std::string fault = PackageHashFault(package, archive);
    EXPECT_THAT(fault, HasSubstr("\"Program\""));
    EXPECT_THAT(fault, HasSubstr("SHA-256 "));
    EXPECT_THAT(fault, HasSubstr("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    EXPECT_THAT(fault, HasSubstr(kEmptySha));
    EXPECT_EQ(fault.find("%s"), std::string::npos);
  }
  SetCurrentLanguage(langCZ);
  package.SetSha256("");
  EXPECT_EQ(PackageHashFault(package, archive), "") << "no hash, no check";
}

// The definition: a hash is optional, read in any case, and text that is no hash refuses the load
// with a reason that names the package.
TEST(DefinitionSha256, OptionalAndMalformedTextRefusesTheLoad) {
  auto definition = [](const std::string& sha) {
    return "<VelmorSetup><Main><Version>1.0</Version></Main><ZipFiles>"
           "<ZipFile><FileName>Program</FileName></ZipFile>"
           "<ZipFile><FileName>Data.zip</FileName>" + sha + "</ZipFile></ZipFiles></VelmorSetup>";
  };
  struct Case {
    std::string element;
    bool loads;
    std::string sha256;
  } cases[] = {
      {"", true, ""},
      {"<Sha256/>", true, ""},
      {"<Sha256>" + std::string(kEmptySha) + "</Sha256>", true, kEmptySha},
      {"<Sha256> E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855 </Sha256>", true, kEmptySha},
      {"<sha256>nonsense</sha256>", true, ""},  // element names are case-sensitive: not a hash element
      {"<Sha256>e3b0c442</Sha256>", false, ""},
      {"<Sha256>" + std::string(kEmptySha).substr(0, 63) + "x</Sha256>", false, ""},
  };
  for (const Case& c : cases) {
    TScriptedMessages presenter;
    InstallLog().Reset();
    TSetupDat dat(false);
    bool loaded = dat.LoadSetupDatFromXml(definition(c.element));
    EXPECT_EQ(loaded, c.loads) << c.element;
    if (loaded) {
      ASSERT_EQ(dat.ZipFiles().size(), 2u);
      EXPECT_EQ(dat.ZipFiles()[0].Sha256(), "");
      EXPECT_EQ(dat.ZipFiles()[1].Sha256(), c.sha256) << c.element;
      EXPECT_TRUE(presenter.Shown().empty());
    } else {
      EXPECT_FALSE(presenter.Shown().empty()) << "the definition's error box";
      bool named = false;
      for (const std::string& line : InstallLog().Log())
        named |= line.find("Package 2 (Data.zip): \"Sha256\" value") != std::string::npos;
      EXPECT_TRUE(named) << "the log names the package and the element";
    }
  }
}

// A password-protected package with one entry.
std::string MakePackage(const TempFolder& folder, const std::string& name, const std::string& content) {
  std::string path = folder / name;
  int error = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  EXPECT_NE(za, nullptr);
  if (!za) return path;
  zip_source_t* src = zip_source_buffer(za, content.data(), content.size(), 0);
  zip_int64_t i = zip_file_add(za, "prog.txt", src, ZIP_FL_ENC_UTF_8);
  zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), ZIP_EM_TRAD_PKWARE, "heslo");
  EXPECT_EQ(zip_close(za), 0);
  return path;
}

// The run as the wizard and velkit drive it: the archive taken where the downloader finds it,
// and checked against the kit's hash after it is obtained, before it is opened.
class HashCheckingView : public engine::InstallView {
 public:
  HashCheckingView(const DownloadSources& sources, const std::vector<TZipFileCFG>& packages)
      : FSources(sources), FPackages(packages) {}
  engine::FetchAnswer Fetch(const engine::PlannedPackage& package, std::string& at,
                            engine::ProgressSink& progress) override {
    bool ok = StahniSoubor(FSources, package.ArchiveName, at, &progress, true, false);
    ObtainedAt = at;
    return ok ? engine::FetchAnswer::Obtained : engine::FetchAnswer::Missing;
  }
  std::string ArchiveProblem(const engine::PlannedPackage& package, const std::string& at) override {
    return PackageHashFault(FPackages.at(static_cast<size_t>(package.Source)), at);
  }
  void PackageFailed(const engine::PlannedPackage&, const std::string&, const std::string& text) override {
    Error = text;
  }
  std::string ObtainedAt, Error;

 private:
  DownloadSources FSources;
  const std::vector<TZipFileCFG>& FPackages;
};

// The check where the installation makes it: after the archive is obtained from where the
// downloader finds it, before it is opened.
TEST(PackageHashCheck, LocalFolderAndWebPackagesRightWrongOrNoHash) {
  ASSERT_EQ(TestServer().error, "");
  static std::atomic<int> counter{0};
  const std::string token = "h" + std::to_string(std::random_device{}() % 100000000) + "x" + std::to_string(counter++);
  TempFolder kit, folder, served, target;
  enum class From { LocalKit, Folder, Web };
  enum class Hash { Right, Wrong, None };
  struct Case {
    From from;
    Hash hash;
  } cases[] = {
      {From::LocalKit, Hash::Right}, {From::LocalKit, Hash::Wrong}, {From::LocalKit, Hash::None},
      {From::Folder, Hash::Right},   {From::Folder, Hash::Wrong},   {From::Folder, Hash::None},
      {From::Web, Hash::Right},      {From::Web, Hash::Wrong},      {From::Web, Hash::None},
  };
  SetCurrentLanguage(langEN);
  TScriptedMessages presenter;
  std::vector<std::string> downloads;
  int n = 0;
  for (const Case& c : cases) {
    std::string name = token + "P" + std::to_string(++n) + ".zip";
    const TempFolder& where = c.from == From::LocalKit ? kit : c.from == From::Folder ? folder : served;
    std::string path = MakePackage(where, name, "content " + std::to_string(n));
    std::string right = Sha256Hex(platform::Sha256OfFile(path));
    // Someone put another archive in its place: the same password, other content.
    if (c.hash == Hash::Wrong) MakePackage(where, name, "tampered " + std::to_string(n));
    std::string actual = Sha256Hex(platform::Sha256OfFile(path));

    TZipFileCFG package;
    package.SetFileName(name);
    package.SetDirInstall(std::to_string(n));
    if (c.hash != Hash::None) package.SetSha256(right);
    DownloadSources sources{kit.Path(), c.from == From::Web ? TestServer().Kit(served.Path()) : folder.Path(), ""};
    engine::InstallChoices choices;
    choices.Target = target.Path();
    choices.InstallType = tiKest;
    choices.TypeFiles = engine::InstallTypeFiles(tiKest);
    choices.TimeStamp = "20260101000000";
    const std::vector<TZipFileCFG> kitPackages{package};
    const engine::InstallPlan plan = engine::PlanInstall(KitPackages(kitPackages), "heslo", choices);
    HashCheckingView view(sources, kitPackages);
    std::atomic<bool> stop{false};
    engine::InstallRunResult result = engine::ApplyInstallPlan(plan, view, stop);
    const std::string& obtainedAt = view.ObtainedAt;
    const std::string& error = view.Error;
    if (c.from == From::Web) downloads.push_back(obtainedAt);

    std::string label = "case " + std::to_string(n);
    EXPECT_EQ(obtainedAt, c.from == From::Web ? TempDirectory() + name : path) << label;
    std::string extracted = target / (std::to_string(n) + "/prog.txt");
    if (c.hash == Hash::Wrong) {
      EXPECT_EQ(result.NotInstalled, std::vector<std::string>{name}) << label;
      EXPECT_FALSE(testing_support::Exists(extracted)) << label << ": the changed archive was not opened";
      EXPECT_THAT(error, HasSubstr("\"" + name + "\" has been changed")) << label;
      EXPECT_THAT(error, HasSubstr("its SHA-256 is " + actual + ", the setup definition gives " + right)) << label;
    } else {
      EXPECT_TRUE(result.NotInstalled.empty()) << label << ": " << error;
      EXPECT_EQ(ReadFile(extracted), "content " + std::to_string(n)) << label;
    }
  }
  SetCurrentLanguage(langCZ);
  std::error_code ec;
  for (const std::string& file : downloads) std::filesystem::remove(platform::PathFromUtf8(file), ec);
}

}  // namespace
