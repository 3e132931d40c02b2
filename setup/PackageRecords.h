#pragma once
// The records of an installation kit: the installation types, one package archive of the
// product (TZipFileCFG) and one banner (TReklamaType). The setup definition fills them from
// its XML; each record also has an INI form of its own.
#include <string>
#include <vector>

#include "engine/InstallPlan.h"
#include "engine/InstallTypes.h"

class TIniFile;

// One package archive of the product.
class TZipFileCFG {
 public:
  TZipFileCFG() = default;

  // Empties FileName, DirInstall, Files and Sha256 and sets TypeInstall to tiKest; the Boolean
  // properties and JazykKod keep their values.
  void Clear();

  // The ordinal of TypeInstall, 0 to 4.
  int TypeInstallasInteger() const { return FTypeInstall; }
  // 1 to 4 give the type of that ordinal; every other number gives tiKest.
  static TTypeInstall TypeInstallFromInteger(long long Typ);

  // The INI form, one section per record. Loading appends to Files (AddFileName1, 2, ... up
  // to the first missing number); FileName has no INI form.
  void LoadFromINI(const TIniFile& ini, const std::string& Section);
  // Erases the section, then writes the whole record into it.
  void SaveToINI(TIniFile& ini, const std::string& Section) const;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& v) { FFileName = v; }
  TTypeInstall TypeInstall() const { return FTypeInstall; }
  void SetTypeInstall(TTypeInstall v) { FTypeInstall = v; }
  // Further file names of the package (INI form only; no installer step reads them).
  std::vector<std::string>& Files() { return FFiles; }
  const std::vector<std::string>& Files() const { return FFiles; }
  // Folder relative to the target directory; empty is the target directory itself.
  const std::string& DirInstall() const { return FDirInstall; }
  void SetDirInstall(const std::string& v) { FDirInstall = v; }
  bool Povinny() const { return FPovinny; }
  void SetPovinny(bool v) { FPovinny = v; }
  bool Jazyk() const { return FJazyk; }
  void SetJazyk(bool v) { FJazyk = v; }
  const std::string& JazykKod() const { return FJazykKod; }
  void SetJazykKod(const std::string& v) { FJazykKod = v; }
  bool InstallEnableExistFileOrNew() const { return FInstallEnableExistFileOrNew; }
  void SetInstallEnableExistFileOrNew(bool v) { FInstallEnableExistFileOrNew = v; }
  bool ForOnlyVersion() const { return FForOnlyVersion; }
  void SetForOnlyVersion(bool v) { FForOnlyVersion = v; }
  // The SHA-256 of the archive as 64 lower-case hexadecimal digits; empty when the definition
  // gives none (the archive is then taken as it is). XML form only.
  const std::string& Sha256() const { return FSha256; }
  void SetSha256(const std::string& v) { FSha256 = v; }

 private:
  std::string FFileName;
  TTypeInstall FTypeInstall = tiKest;
  std::vector<std::string> FFiles;
  std::string FDirInstall;
  bool FPovinny = false;
  bool FJazyk = false;
  std::string FJazykKod;
  bool FInstallEnableExistFileOrNew = false;
  bool FForOnlyVersion = false;
  std::string FSha256;
};

// The package as an installation plan reads it.
engine::KitPackage KitPackageOf(const TZipFileCFG& package);
std::vector<engine::KitPackage> KitPackages(const std::vector<TZipFileCFG>& packages);

// One banner of the definition. The installer keeps banners but shows none.
class TReklamaType {
 public:
  std::string Nazev;     // banner name
  std::string FilePath;  // file name or path of the picture
  std::string Data;      // the picture as Base64 text, when carried inside the definition
  int Ulozeni = 0;       // 1 = the picture is Data; any other value = by FilePath
  int TimeSec = 0;       // display time in seconds (INI form only)

  void LoadFromINI(const TIniFile& ini, const std::string& Section);
  void SaveToINI(TIniFile& ini, const std::string& Section) const;
};
