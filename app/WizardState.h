#pragma once
// What the wizard knows between its pages: the installation's type and target, the backup, the
// product versions of the index, the user's server and database, and what start-up handed over.
// The form holds one of these; the pages read and write it, nothing else keeps a copy.
#include <initializer_list>
#include <string>
#include <vector>

#include "setup/PackageRecords.h"
#include "setup/ProductIndex.h"

// Findings of the target-directory check: the path is no directory path, or the directory
// holds a newer version of the product than the one being installed.
enum TCheckError : unsigned char { ceErrPath, ceErrVersion };

class TCheckErrors {
 public:
  constexpr TCheckErrors() = default;
  constexpr TCheckErrors(std::initializer_list<TCheckError> values) {
    for (TCheckError v : values) Include(v);
  }
  constexpr bool Contains(TCheckError v) const { return (FBits >> v) & 1u; }
  constexpr void Include(TCheckError v) { FBits = static_cast<unsigned char>(FBits | (1u << v)); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool operator==(const TCheckErrors&) const = default;

 private:
  unsigned char FBits = 0;
};

struct TWizardState {
  TTypeInstall FInstallType = tiKest;
  TTypeInstallSet SetOfInstallTypeFiles;
  TCheckErrors FCheckErrors;
  int idxVerzeSW = -1;
  bool UpdateVerion = false;
  std::string AdrInstall;
  std::string BackupVelmor;
  std::string AdrBackup;
  std::string AdrDemoData;
  bool ObnovaPrevVelmor = false;
  // The product versions of the index as rgVerzeSW lists them (item i is version i).
  std::vector<TProductVersion> VerzeSW;
  // Selected packages the last installation run did not install (not obtained, failed, or after a stop).
  std::vector<std::string> NotInstalledPackages;

  // Local path of the product index start-up obtained; empty when a setup definition was loaded.
  // Non-empty means the wizard offers the product-version page.
  std::string DatsIniFile;
  // Where the product index came from (the built-in address, or the /INDEX= address or file).
  std::string ProductIndexSource;
  // Which icon resource is the application's icon now: 0 none yet, 2 "IcoVel2", 3 "IcoVel3".
  unsigned char IconVariant = 0;

  // The SQL Server and database the user accepted on tsSQL or tsSQLNet; empty until then, and
  // again after another definition was applied.
  std::string SQLServerName;
  std::string DBName;
};
