#include "setup/PackageRecords.h"

#include "setup/IniFile.h"

void TZipFileCFG::Clear() {
  FFileName.clear();
  FDirInstall.clear();
  FTypeInstall = tiKest;
  FFiles.clear();
  // The hash belongs to the archive the record named.
  FSha256.clear();
}

TTypeInstall TZipFileCFG::TypeInstallFromInteger(long long Typ) {
  if (Typ >= 1 && Typ <= TTypeInstallHigh) return static_cast<TTypeInstall>(Typ);
  return tiKest;
}

void TZipFileCFG::LoadFromINI(const TIniFile& ini, const std::string& Section) {
  for (int n = 1;; ++n) {
    std::string key = "AddFileName" + std::to_string(n);
    if (!ini.ValueExists(Section, key)) break;
    FFiles.push_back(ini.ReadString(Section, key, ""));
  }
  SetDirInstall(ini.ReadString(Section, "DirInstall", ""));
  SetTypeInstall(TypeInstallFromInteger(ini.ReadInteger(Section, "TypeInstall", 0)));
  SetPovinny(ini.ReadBool(Section, "Povinny", false));
  SetJazyk(ini.ReadBool(Section, "Jazyk", false));
  SetJazykKod(ini.ReadString(Section, "JazykKod", ""));
  SetInstallEnableExistFileOrNew(ini.ReadBool(Section, "InstallEnableExistFileOrNew", false));
  SetForOnlyVersion(ini.ReadBool(Section, "ForOnlyVersion", false));
}

void TZipFileCFG::SaveToINI(TIniFile& ini, const std::string& Section) const {
  ini.EraseSection(Section);
  for (size_t i = 0; i < FFiles.size(); ++i) ini.WriteString(Section, "AddFileName" + std::to_string(i + 1), FFiles[i]);
  ini.WriteString(Section, "DirInstall", FDirInstall);
  ini.WriteInteger(Section, "TypeInstall", TypeInstallasInteger());
  ini.WriteBool(Section, "Povinny", FPovinny);
  ini.WriteBool(Section, "Jazyk", FJazyk);
  ini.WriteString(Section, "JazykKod", FJazykKod);
  ini.WriteBool(Section, "InstallEnableExistFileOrNew", FInstallEnableExistFileOrNew);
  ini.WriteBool(Section, "ForOnlyVersion", FForOnlyVersion);
}

void TReklamaType::LoadFromINI(const TIniFile& ini, const std::string& Section) {
  Nazev = ini.ReadString(Section, "ReklamaName", "");
  TimeSec = ini.ReadInteger(Section, "ReklamaTime", 0);
  Ulozeni = ini.ReadInteger(Section, "ReklamaUlozeni", 0);
  FilePath = ini.ReadString(Section, "ReklamaFilePath", "");
}

void TReklamaType::SaveToINI(TIniFile& ini, const std::string& Section) const {
  ini.EraseSection(Section);
  ini.WriteString(Section, "ReklamaName", Nazev);
  ini.WriteInteger(Section, "ReklamaTime", TimeSec);
  ini.WriteInteger(Section, "ReklamaUlozeni", Ulozeni);
  ini.WriteString(Section, "ReklamaFilePath", FilePath);
}

engine::KitPackage KitPackageOf(const TZipFileCFG& p) {
  return {p.FileName(), p.TypeInstall(), p.DirInstall(), p.Jazyk(), p.JazykKod(), p.InstallEnableExistFileOrNew(),
          p.ForOnlyVersion()};
}

std::vector<engine::KitPackage> KitPackages(const std::vector<TZipFileCFG>& packages) {
  std::vector<engine::KitPackage> specs;
  specs.reserve(packages.size());
  for (const TZipFileCFG& p : packages) specs.push_back(KitPackageOf(p));
  return specs;
}
