#pragma once
// The setup definition: what the installer installs and from where. One program-wide object
// holds it; it is filled from "setup.dat", a password-protected ZIP archive whose entry
// "setup.dat" is an XML document with the elements "Main", "ZipFiles" and "Reklamy".
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Progress.h"
#include "setup/PackageRecords.h"

// The archive password of every "setup.dat", built into the installer.
extern const char* const SetupDatPassword;
// The error box text of a definition that cannot be read (the same in every language).
extern const char* const SetupDatLoadError;

class TSetupDat {
 public:
  // Creates the empty lists, clears, then tries "setup.dat" beside the executable; the result
  // shows in LoadedSetupDat. With loadBesideProgram false nothing is loaded (tests, tools).
  explicit TSetupDat(bool loadBesideProgram = true);
  virtual ~TSetupDat() = default;

  // Sets LoadedSetupDat false; empties LocalPath, ZipPassword, MSSQLInstall, InstallServer,
  // InstallLang and InstallPath; MinDiskFree and TypInst become 0, OnlyVersion
  // false; empties the package and banner lists. The other properties keep their values.
  void Clear();

  // Loads a definition file: FileDat, or "setup.dat" beside the executable when it is empty.
  // A missing file gives false at once, silently, and changes nothing else. A file that cannot
  // be read shows the error box with SetupDatLoadError, logs the reason with AddError and gives
  // false; what was read before the error stays (callers use nothing of it then).
  bool LoadSetupDat(const std::string& FileDat);
  // The same load from the XML document itself (what the archive's entry holds).
  bool LoadSetupDatFromXml(std::string_view xml);

  bool LoadedSetupDat() const { return FLoadedSetupDat; }
  void SetLoadedSetupDat(bool v) { FLoadedSetupDat = v; }
  // Folder searched first for package and SQL Server installer files; empty = the installer's folder.
  const std::string& LocalPath() const { return FLocalPath; }
  void SetLocalPath(std::string v) { FLocalPath = std::move(v); }
  // Password of the package archives (UTF-8; converted to the ANSI code page for the archive).
  const std::string& ZipPassword() const { return FZipPassword; }
  void SetZipPassword(std::string v) { FZipPassword = std::move(v); }
  // Web address or folder of "MSSQL.ini" and the SQL Server installers.
  const std::string& MSSQLInstall() const { return FMSSQLInstall; }
  void SetMSSQLInstall(std::string v) { FMSSQLInstall = std::move(v); }
  // Web address or folder of the package archives.
  const std::string& InstallServer() const { return FInstallServer; }
  void SetInstallServer(std::string v) { FInstallServer = std::move(v); }
  // Initial interface language code: "CZ", "SK", "EN", "DE" (any case); anything else is Czech.
  const std::string& InstallLang() const { return FInstallLang; }
  void SetInstallLang(std::string v) { FInstallLang = std::move(v); }
  const std::string& InstallPath() const { return FInstallPath; }
  void SetInstallPath(std::string v) { FInstallPath = std::move(v); }
  const std::string& InstallPathAlter() const { return FInstallPathAlter; }
  void SetInstallPathAlter(std::string v) { FInstallPathAlter = std::move(v); }
  // Product generation: 1 third, 0 second.
  int32_t VersionProd() const { return FVersionProd; }
  void SetVersionProd(int32_t v) { FVersionProd = v; }
  // The database the smaller edition's Preset choice stands for.
  const std::string& DBName() const { return FDBName; }
  void SetDBName(std::string v) { FDBName = std::move(v); }
  const std::string& DBNameTarpel() const { return FDBNameTarpel; }
  void SetDBNameTarpel(std::string v) { FDBNameTarpel = std::move(v); }
  const std::string& DBNameKest() const { return FDBNameKest; }
  void SetDBNameKest(std::string v) { FDBNameKest = std::move(v); }
  // Edition of the definition as a TTypeInstall number.
  int32_t TypInst() const { return FTypInst; }
  void SetTypInst(int32_t v) { FTypInst = v; }
  bool OnlyVersion() const { return FOnlyVersion; }
  void SetOnlyVersion(bool v) { FOnlyVersion = v; }
  // Version text of the product executable this definition installs.
  const std::string& VerzeExe() const { return FVerzeExe; }
  void SetVerzeExe(std::string v) { FVerzeExe = std::move(v); }
  const std::string& TechSupport() const { return FTechSupport; }
  void SetTechSupport(std::string v) { FTechSupport = std::move(v); }
  // Free space the target drive must offer, in MiB; 0 or less means no check.
  int64_t MinDiskFree() const { return FMinDiskFree; }
  void SetMinDiskFree(int64_t v) { FMinDiskFree = v; }
  // Minimum Windows version; a major number of -1 means no minimum.
  int32_t WinVerzeMajor() const { return FWinVerzeMajor; }
  void SetWinVerzeMajor(int32_t v) { FWinVerzeMajor = v; }
  int32_t WinVerzeMinor() const { return FWinVerzeMinor; }
  void SetWinVerzeMinor(int32_t v) { FWinVerzeMinor = v; }
  // The package archives and the banners, in file order.
  std::vector<TZipFileCFG>& ZipFiles() { return FZipFiles; }
  const std::vector<TZipFileCFG>& ZipFiles() const { return FZipFiles; }
  std::vector<TReklamaType>& Reklamy() { return FReklamy; }
  const std::vector<TReklamaType>& Reklamy() const { return FReklamy; }

  // Downloads (setup/Downloader.h), each reporting to the progress sink it is given, or to
  // none. Copies an http(s) address into the temporary folder; SaveFileName gets the local path
  // as soon as the name is known. True when the whole file arrived and no stop was requested.
  // maxBytes above 0 bounds the size of the file (see ::DownloadFile).
  bool DownloadFile(const std::string& URLFileName, std::string& SaveFileName, engine::ProgressSink* progress,
                    bool HlasitChybu, std::uint64_t maxBytes = 0) const;
  // Finds FileName in the local kit folder, else in InstallServer (MSSQLInstall when MSSQL),
  // downloading it when that is a web address. True when a usable file is at FileNameWithPath.
  bool StahniSoubor(const std::string& FileName, std::string& FileNameWithPath, engine::ProgressSink* progress,
                    bool HlasitChybu, bool MSSQL, const std::string& sha256 = "") const;

 private:
  // Fills the object from the XML document; throws std::runtime_error naming what is wrong.
  void ReadDefinition(std::string xml);
  template <class Read>
  bool GuardedLoad(Read read);

  bool FLoadedSetupDat = false;
  std::string FLocalPath;
  std::string FZipPassword;
  std::string FMSSQLInstall;
  std::string FInstallServer;
  std::string FInstallLang;
  std::string FInstallPath;
  std::string FInstallPathAlter;
  int32_t FVersionProd = 0;
  std::string FDBName;
  std::string FDBNameTarpel;
  std::string FDBNameKest;
  int32_t FTypInst = 0;
  bool FOnlyVersion = false;
  std::string FVerzeExe;
  std::string FTechSupport;
  int64_t FMinDiskFree = 0;
  int32_t FWinVerzeMajor = 0;
  int32_t FWinVerzeMinor = 0;
  std::vector<TZipFileCFG> FZipFiles;
  std::vector<TReklamaType> FReklamy;
};

// The program-wide definition. Until start-up creates it, it is an empty definition that
// loaded nothing.
TSetupDat& SetupDat();
// Start-up: makes the program-wide definition, which tries "setup.dat" beside the executable.
TSetupDat& CreateSetupDat();
// Tests: puts their own definition in place (nullptr: an empty one). References taken to the
// previous instance become invalid.
void ReplaceSetupDat(std::unique_ptr<TSetupDat> instance);

// Replaces every %NAME% by the value of the environment variable NAME (empty when it does not
// exist). A single percent sign stays; two adjacent ones are removed. Inserted values are
// not expanded again.
std::string ExpandEnvironment(const std::string& text);
// The "Password" element stores each UTF-16 code unit of the password plus 64.
std::string UnscramblePassword(const std::string& stored);
std::string ScramblePassword(const std::string& password);
