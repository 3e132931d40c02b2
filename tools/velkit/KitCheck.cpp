// velkit kit check: loads a kit's setup definition as the installer does, then looks at everything
// the installer will need later — each package where the installer will look for it, its
// password, its entry names and the data of every entry, MSSQL.ini and the files it names, and
// the product index — so a kit author sees every problem at once instead of one per installation.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <set>
#include <streambuf>
#include <string>
#include <vector>

#include "Capture.h"
#include "Command.h"
#include "engine/InstallPlan.h"
#include "engine/ZipArchive.h"
#include "engine/ZipEntryName.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"
#include "platform/Text.h"
#include "setup/Downloader.h"
#include "setup/IniFile.h"
#include "setup/PackageHash.h"
#include "setup/ProductIndex.h"
#include "setup/SetupDat.h"
#include "setup/StringValue.h"
#include "sql/MSSQLIni.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace velkit {

namespace {

namespace fs = std::filesystem;

// Problems make the kit unsound; notes are worth knowing but install nothing wrong.
class Report {
 public:
  void Problem(const std::string& subject, const std::string& text) {
    std::printf("problem: %s: %s\n", subject.c_str(), text.c_str());
    std::fflush(stdout);
    ++FProblems;
  }
  void Note(const std::string& subject, const std::string& text) {
    std::printf("note: %s: %s\n", subject.c_str(), text.c_str());
  }
  void Ok(const std::string& subject, const std::string& text) {
    std::printf("ok: %s: %s\n", subject.c_str(), text.c_str());
  }
  int Problems() const { return FProblems; }

 private:
  int FProblems = 0;
};

// Takes an entry's content and keeps none of it: reading is what checks the CRC and the
// authentication code.
class DiscardBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(platform::PathFromUtf8(path), ec);
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(platform::PathFromUtf8(path), ec);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Counted(size_t n, const std::string& noun) { return std::to_string(n) + " " + noun + (n == 1 ? "" : "s"); }

// Why an entry name cannot be written below its folder (the name was refused by the same rule
// the extraction applies).
std::string RefusedEntryReason(const std::string& name) {
  if (!name.empty() && (name[0] == '\\' || name[0] == '/')) return "it is an absolute path";
  if (name.size() >= 2 && name[1] == ':') return "it names a drive";
  // Windows trims trailing dots and blanks, so ".. " and "..." are ".." too.
  size_t start = 0;
  for (;;) {
    size_t end = name.find_first_of("\\/", start);
    std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.find_first_not_of(". ") == std::string::npos && part.find("..") != std::string::npos)
      return "it climbs out of the package's folder with \"..\"";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (name.find(':') != std::string::npos) return "it holds a colon (an alternate data stream)";
  return "it names a reserved device (CON, NUL, COM1, LPT1 ...)";
}

// Where a file the installer fetches will be taken from.
struct Located {
  enum class Kind { Missing, KitFolder, FolderLocation, WebLocation } kind = Kind::Missing;
  std::string where;  // the local path, or the address for a web location
  std::string why;    // when missing: every place that was looked at and what it answered
  bool notOnServer = false;  // missing, and the web location answered 404
};

// Where the kit is: a folder (or the setup.dat in it), or the address of a web kit's setup.dat.
struct KitPlace {
  bool web = false;
  std::string definition;  // path or address of setup.dat
  std::string folder;      // the kit folder with a trailing delimiter; empty for a web kit
};

class KitChecker {
 public:
  KitChecker(Report& report, KitPlace place) : FReport(report), FPlace(std::move(place)) {}
  ~KitChecker() {
    for (const std::string& file : FDownloaded) {
      std::error_code ec;
      fs::remove(platform::PathFromUtf8(file), ec);
    }
  }

  // False when the definition did not load: nothing else can be checked then.
  bool LoadDefinition() {
    std::string path = FPlace.definition;
    if (FPlace.web) {
      std::string error;
      if (!Download(FPlace.definition, path, error)) {
        FReport.Problem("setup.dat", "cannot be downloaded from " + FPlace.definition + ": " + error);
        return false;
      }
    } else if (!IsFile(path)) {
      FReport.Problem("setup.dat", "there is no file " + path);
      return false;
    }
    std::string reason;
    if (!LoadDefinitionFile(FDat, path, reason)) {
      FReport.Problem("setup.dat", "does not load: " + reason);
      return false;
    }
    FReport.Ok("setup.dat", Counted(FDat.ZipFiles().size(), "package") + "; package location " +
                                Describe(FDat.InstallServer()) + ", SQL Server location " +
                                Describe(FDat.MSSQLInstall()) + ", local folder " + Describe(LocalFolder()));
    return true;
  }

  void CheckPackages() {
    if (FDat.ZipFiles().empty()) {
      FReport.Problem("setup.dat", "names no package: the installation would install nothing");
      return;
    }
    std::set<std::string> checked;
    for (size_t i = 0; i < FDat.ZipFiles().size(); ++i) {
      const TZipFileCFG& package = FDat.ZipFiles()[i];
      std::string subject = "package " + std::to_string(i + 1);
      if (package.FileName().empty()) {
        FReport.Problem(subject, "has no FileName");
        continue;
      }
      std::string archive = engine::PackageArchiveName(package.FileName());
      std::string types = SelectingTypes(package);
      if (types.empty()) {
        FReport.Note(archive, "no installation type installs it" +
                                  std::string(package.Jazyk() && !engine::InstallableLanguage(package.JazykKod())
                                                  ? " (the language code " + Quoted(package.JazykKod()) +
                                                        " is not one the installer installs: EN GR SK PL ES RU RO)"
                                                  : ""));
        continue;
      }
      if (!checked.insert(platform::UpperText(archive)).second) continue;
      Located at = Locate(archive, false);
      if (at.kind == Located::Kind::Missing) {
        FReport.Problem(archive, "not found (needed by " + types + "): " + at.why);
        continue;
      }
      std::string local;
      std::string error;
      if (!Obtain(at, local, error)) {
        FReport.Problem(archive, "cannot be downloaded from " + at.where + ": " + error);
        continue;
      }
      if (!CheckHash(package, archive, local)) continue;
      CheckArchive(archive, local, at.where, !package.Sha256().empty());
    }
  }

  // The archive against the definition's SHA-256: the installer refuses it when they differ.
  // A package without one is installed unchecked, which is worth a note.
  bool CheckHash(const TZipFileCFG& package, const std::string& archive, const std::string& local) {
    if (package.Sha256().empty()) {
      FReport.Note(archive, "the definition gives no SHA-256: the installer takes the archive unchecked "
                            "(velkit definition pack --hash-from DIR fills it)");
      return true;
    }
    std::string actual;
    try {
      actual = Sha256Hex(platform::Sha256OfFile(local));
    } catch (const std::exception& e) {
      FReport.Problem(archive, std::string("its SHA-256 cannot be computed: ") + e.what());
      return false;
    }
    if (actual != package.Sha256()) {
      FReport.Problem(archive, "wrong SHA-256: the archive's is " + actual + ", the definition gives " +
                                   package.Sha256() + "; the installer refuses it");
      return false;
    }
    return true;
  }

  void CheckMssqlIni() {
    const std::string name = "MSSQL.ini";
    Located at = Locate(name, true);
    if (at.kind == Located::Kind::Missing) {
      if (at.notOnServer || !IsURL(FDat.MSSQLInstall()))
        FReport.Note(name, "the kit has none (" + at.why + ")");
      else
        FReport.Problem(name, "cannot be looked for: " + at.why);
      return;
    }
    std::string local;
    std::string error;
    if (!Obtain(at, local, error)) {
      FReport.Problem(name, "cannot be downloaded from " + at.where + ": " + error);
      return;
    }
    std::string bytes;
    if (!platform::ReadWholeFile(local, bytes)) {
      FReport.Problem(name, "cannot be read: " + local);
      return;
    }
    // The installer's reader keeps what suits the running Windows; asked for a 32-bit and a
    // 64-bit Windows of any version, it keeps every edition some Windows would be offered.
    TMSSQLiniList lists[] = {ReadMSSQLIni(bytes, {false, 1000, 0}), ReadMSSQLIni(bytes, {true, 1000, 0})};
    std::vector<const TMSSQLini*> offered;
    std::set<std::string> names;
    for (const TMSSQLiniList& list : lists)
      for (const TMSSQLini& entry : list.Entries)
        if (names.insert(platform::UpperText(entry.Nazev)).second) offered.push_back(&entry);
    for (const std::string& note : lists[1].Notes)
      if (note.find("not for this Windows") == std::string::npos) FReport.Problem(name, note.substr(note.find(' ') + 1));
    if (offered.empty()) {
      FReport.Problem(name, lists[1].Problem.empty() ? "offers no SQL Server edition" : lists[1].Problem);
      return;
    }
    // Fields the reader quietly takes as defaults are worth a word to the kit's author.
    TMemIniFile ini(bytes);
    for (const std::string& key : ini.ReadSection("SQL")) {
      std::string value = ini.ReadString("SQL", key, "");
      std::string fields[6];
      for (std::string& field : fields) CutToken(value, ';', field);
      std::string subject = name + ", " + Quoted(key);
      if (!fields[2].empty() && fields[2] != "0" && fields[2] != "1")
        FReport.Problem(subject, "field 3 (architecture) is " + Quoted(fields[2]) + ", not 0 (32-bit) or 1 (64-bit)");
      for (int f : {4, 5})
        if (!fields[f].empty() && !IsInteger(fields[f]))
          FReport.Problem(subject, "field " + std::to_string(f + 1) + " (lowest Windows " +
                                       (f == 4 ? "major" : "minor") + " version) is " + Quoted(fields[f]) +
                                       ", not a number");
    }
    std::set<std::string> looked;
    for (const TMSSQLini* entry : offered) {
      std::string subject = name + ", " + Quoted(entry->Nazev);
      for (const std::string* file : {&entry->FileName, &entry->FileSQLManStudio}) {
        if (file->empty() || !looked.insert(platform::UpperText(*file)).second) continue;
        Located installer = Locate(*file, true);
        if (installer.kind == Located::Kind::Missing)
          FReport.Problem(subject, (file == &entry->FileName ? "the installer " : "the Management Studio installer ") +
                                       Quoted(*file) + " is not found: " + installer.why);
      }
    }
    FReport.Ok(name, Counted(offered.size(), "SQL Server edition") + " offered (" + at.where + ")");
  }

  void CheckIndex(const std::string& index) {
    const std::string subject = "index " + index;
    std::string local = index;
    if (IsURL(index)) {
      std::string error;
      if (!Download(index, local, error)) {
        FReport.Problem(subject, "cannot be downloaded: " + error);
        return;
      }
    } else if (!IsFile(index)) {
      FReport.Problem(subject, "there is no file " + index);
      return;
    }
    std::vector<TProductVersion> versions = ReadProductIndex(local);
    if (versions.empty()) {
      FReport.Problem(subject, "lists no product version (sections Velmor1, Velmor2 ... with URL and Name)");
      return;
    }
    // Sections after a gap in the numbers are never shown.
    for (const std::string& section : TIniFile(local).ReadSections()) {
      std::string upper = platform::UpperAscii(section);
      if (upper.size() > 6 && upper.compare(0, 6, "VELMOR") == 0 && IsInteger(upper.substr(6)) &&
          std::stoll(upper.substr(6)) > static_cast<long long>(versions.size()) + 1)
        FReport.Note(subject, "section " + section + " is never listed: the numbers stop at Velmor" +
                                  std::to_string(versions.size()));
    }
    int loaded = 0;
    for (size_t i = 0; i < versions.size(); ++i) {
      const TProductVersion& v = versions[i];
      std::string entry = subject + ", Velmor" + std::to_string(i + 1) + " " + Quoted(v.Name);
      const std::string& url = v.URL.Value();
      if (url.empty()) {
        FReport.Problem(entry, "has no URL");
        continue;
      }
      std::string path = url;
      if (IsURL(url)) {
        std::string error;
        if (!Download(url, path, error)) {
          FReport.Problem(entry, "its definition cannot be downloaded from " + url + ": " + error);
          continue;
        }
      } else if (!IsFile(url)) {
        FReport.Problem(entry, "its definition " + url + " does not exist (and it is no web address)");
        continue;
      }
      TSetupDat dat(false);
      std::string reason;
      if (!LoadDefinitionFile(dat, path, reason)) {
        FReport.Problem(entry, "its definition " + url + " does not load: " + reason);
        continue;
      }
      ++loaded;
    }
    FReport.Ok(subject, std::to_string(loaded) + " of " + std::to_string(versions.size()) +
                            " product versions load");
  }

 private:
  Report& FReport;
  KitPlace FPlace;
  TSetupDat FDat{false};
  std::vector<std::string> FDownloaded;  // removed from the temporary folder at the end

  static std::string Describe(const std::string& location) { return location.empty() ? "(none)" : location; }

  static bool IsInteger(const std::string& text) {
    size_t i = text.size() > 1 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i >= text.size() || text.size() > 10) return false;
    for (; i < text.size(); ++i)
      if (text[i] < '0' || text[i] > '9') return false;
    return true;
  }

  // The installation types whose run installs the package, by the copy step's own rule.
  static std::string SelectingTypes(const TZipFileCFG& package) {
    static const char* const names[] = {"tiKest", "tiKestUpdate", "tiTarpel", "tiTarpelUpdate", "tiVelmorDemo"};
    std::string out;
    for (int t = 0; t <= static_cast<int>(TTypeInstallHigh); ++t) {
      auto type = static_cast<TTypeInstall>(t);
      if (engine::PackageSelected(KitPackageOf(package), type, engine::InstallTypeFiles(type)))
        out += (out.empty() ? "" : ", ") + std::string(names[t]);
    }
    return out;
  }

  // The folder searched first: the definition's local path, else the installer's own folder,
  // which for a folder kit is the kit folder (the installer runs from there); a web kit's
  // installer runs from a folder the check cannot know.
  std::string LocalFolder() const {
    if (!FDat.LocalPath().empty()) return platform::IncludeTrailingPathDelimiter(FDat.LocalPath());
    return FPlace.folder;
  }

  // The installer's lookup order: a copy in the local folder wins; then the location of the
  // definition (the SQL Server location for its files): a web address is asked by HEAD, a
  // folder is looked into.
  Located Locate(const std::string& name, bool mssql) {
    Located at;
    std::string folder = LocalFolder();
    if (!folder.empty()) {
      if (IsFile(folder + name)) {
        at.kind = Located::Kind::KitFolder;
        at.where = folder + name;
        return at;
      }
      at.why = "not in the local folder " + folder;
    }
    const std::string& location = mssql ? FDat.MSSQLInstall() : FDat.InstallServer();
    std::string what = mssql ? "SQL Server location (MSSQL)" : "package location (InstallServer)";
    auto add = [&at](const std::string& text) { at.why += (at.why.empty() ? "" : "; ") + text; };
    if (location.empty()) {
      add("the definition has no " + what);
      return at;
    }
    if (IsURL(location)) {
      std::string address = location;
      if (address.back() != '\\') address += '\\';
      address = NormalizeDownloadAddress(address + name);
      std::unique_ptr<http::HttpClient> client = http::CreateHttpClient(http::DefaultOptions());
      http::Result head = client->Head(address);
      if (head.ok) {
        at.kind = Located::Kind::WebLocation;
        at.where = address;
        return at;
      }
      at.notOnServer = head.response.status == 404;
      add(address + " answers: " + head.error);
      return at;
    }
    std::string path = platform::IncludeTrailingPathDelimiter(location) + name;
    if (IsFile(path)) {
      at.kind = Located::Kind::FolderLocation;
      at.where = path;
      return at;
    }
    add("not in the " + what + " " + location);
    return at;
  }

  // A local path for what Locate found: web files are downloaded as the installer does.
  bool Obtain(const Located& at, std::string& local, std::string& error) {
    if (at.kind != Located::Kind::WebLocation) {
      local = at.where;
      return true;
    }
    return Download(at.where, local, error);
  }

  bool Download(const std::string& address, std::string& local, std::string& error) {
    PresenterScope scope;
    InstallLog().Reset();
    std::string saved;
    bool ok = DownloadFile(address, saved, {}, false);
    if (!saved.empty()) FDownloaded.push_back(saved);
    if (ok) {
      local = saved;
      return true;
    }
    error = LastLoggedError();
    std::string prefix = DownloadErrorLogText();
    if (error.compare(0, prefix.size(), prefix) == 0) error.erase(0, prefix.size());
    if (error.empty()) error = "it is not a web address the installer accepts";
    return false;
  }

  static bool LoadDefinitionFile(TSetupDat& dat, const std::string& path, std::string& reason) {
    PresenterScope scope;
    InstallLog().Reset();
    if (dat.LoadSetupDat(path)) return true;
    reason = LastLoggedError();
    if (reason.empty()) reason = scope.presenter.errorText;
    return false;
  }

  void CheckArchive(const std::string& archive, const std::string& path, const std::string& where, bool sha256) {
    engine::ZipArchive zip;
    zip.FileName = path;
    zip.Password = platform::AnsiFromUtf8(FDat.ZipPassword());
    struct Failure {
      std::string entry;
      std::string error;
    };
    std::vector<Failure> failures;
    int files = 0;
    int encrypted = 0;
    int refusedPassword = 0;
    try {
      zip.OpenArchive();
      engine::ZipEntryInfo e;
      for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) {
        std::string name = e.StoredPath + e.FileName;
        if (!engine::SafeEntryComponents(name)) {
          FReport.Problem(archive + ", entry " + Quoted(name), "is refused: " + RefusedEntryReason(name));
          continue;
        }
        if (e.IsDirectory()) continue;
        ++files;
        if (e.Encrypted) ++encrypted;
        DiscardBuffer buffer;
        std::ostream sink(&buffer);
        try {
          zip.ExtractToStream(name, sink);
        } catch (const engine::ZipError& x) {
          std::string text = x.what();
          if (e.Encrypted && (text.find("Wrong password") != std::string::npos ||
                              text.find("no password was given") != std::string::npos))
            ++refusedPassword;
          failures.push_back({name, text});
        }
      }
      zip.CloseArchive();
    } catch (const engine::ZipError& x) {
      FReport.Problem(archive, x.what());
      return;
    }
    if (encrypted > 0 && refusedPassword == encrypted && failures.size() == static_cast<size_t>(encrypted)) {
      FReport.Problem(archive, "does not open with the definition's password: " +
                                   (FDat.ZipPassword().empty() ? std::string("the definition gives none, and ")
                                                               : std::string()) +
                                   "all " + std::to_string(encrypted) + " encrypted entries refuse it");
      return;
    }
    for (const Failure& f : failures) FReport.Problem(archive + ", entry " + Quoted(f.entry), f.error);
    if (files == 0) {
      FReport.Problem(archive, "holds no file: the installer would install nothing from it");
      return;
    }
    if (failures.empty())
      FReport.Ok(archive, Counted(files, "file") + " read, " + (sha256 ? "SHA-256, " : "") + "CRC" +
                              (encrypted ? " and password" : "") + " checked (" + where + ")");
  }
};

KitPlace PlaceOf(const std::string& kit) {
  KitPlace place;
  if (IsURL(kit)) {
    place.web = true;
    place.definition = kit;
    if (kit.back() == '/' || kit.back() == '\\') place.definition += "setup.dat";
    return place;
  }
  if (IsFolder(kit)) {
    place.folder = platform::IncludeTrailingPathDelimiter(kit);
    place.definition = place.folder + "setup.dat";
    return place;
  }
  // The path of the definition file itself: its folder is the kit folder.
  place.definition = kit;
  std::string folder = platform::Utf8FromPath(platform::PathFromUtf8(kit).parent_path());
  place.folder = platform::IncludeTrailingPathDelimiter(folder.empty() ? "." : folder);
  return place;
}

int Check(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {"index", "ca"});
  if (o.positional.size() != 1) throw UsageError{"expected KIT (a kit folder, its setup.dat, or a web address)"};
  if (const std::string* ca = o.Get("ca")) http::DefaultOptions().caFile = *ca;
  const std::string& kit = o.positional[0];
  // The installer's own texts that reach the report (the SQL Server list's) in English.
  SetCurrentLanguage(langEN);
  Report report;
  {
    KitChecker checker(report, PlaceOf(kit));
    if (checker.LoadDefinition()) {
      checker.CheckPackages();
      checker.CheckMssqlIni();
    }
    if (const std::string* index = o.Get("index")) checker.CheckIndex(*index);
  }
  if (report.Problems() == 0) {
    std::printf("kit %s is sound\n", kit.c_str());
    return ExitOk;
  }
  std::printf("kit %s: %d problem%s\n", kit.c_str(), report.Problems(), report.Problems() == 1 ? "" : "s");
  return ExitFailed;
}

Registrar checkCommand({"kit", "check", "KIT [--index DATS_INI] [--ca PEM]",
                        "checks a kit folder or web kit as the installer will use it: every package where "
                        "the installer looks for it, opened with the definition's password and read whole; "
                        "MSSQL.ini and the installers it names; the product index's definitions",
                        Check});

}  // namespace

}  // namespace velkit
