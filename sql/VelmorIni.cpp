#include "sql/VelmorIni.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/Files.h"
#include "platform/Text.h"
#include "support/InstallLog.h"

namespace {

const char* const kRule = ";------------------------------------------------------------------";

}  // namespace

std::vector<std::string> VelmorIniLines(const std::string& server, const std::string& database) {
  return {
      kRule,
      ";--- Toto je konfigurační soubor systému Velmor Tarpel/Kest",
      ";--- Musí ležet ve stejném adresáři jako Velmor.exe",
      ";--- řádky začínající středníkem jsou ignorovány",
      kRule,
      ";--- This is the configuration file of Velmor Tarpel/Kest",
      ";--- It must be in the same directory as Velmor.exe",
      kRule,
      "",
      "",
      "",
      kRule,
      ";--- Pro nastavení používaného protokolu lze použít prefixy:",
      ";---    tcp:  -> TCP/IP",
      ";---    np:   -> Named Pipes",
      ";---    lpc:  -> Shared memory (jen pro lokální připojení)",
      ";--- Prefix MUSÍ být malými písmeny a bez jakýchkoli mezer!",
      ";--- Bez prefixu se pro nalezení vhodného protokolu používá",
      ";--- automatika, která zkouší postupně různé protokoly",
      ";---",
      ";--- Pokud chceme protokolu TCP/IP vnutit jiný port, na kterém",
      ";--- SQL Server komunikuje, pak takto:",
      ";--- Server=tcp:JmenoServeruNeboIpAdresaServeru,CisloPortu",
      kRule,
      ";--- It is possible to use these prefixes for setting of communication protocol:",
      ";---    tcp:  -> TCP/IP",
      ";---    np:   -> Named Pipes",
      ";---    lpc:  -> Shared memory (for local server only)",
      ";--- Prefix MUST be written lower-case letters without any spaces!",
      ";---",
      ";--- For setting other communication port for TCP/IP protocol:",
      ";--- Server=tcp:ServerNameOrIPAddress,PortNumber",
      kRule,
      "[SQLServer]",
      "Server=" + server,
      "",
      kRule,
      ";--- Název systémové databáze této instalace Velmor Tarpel/Kest",
      kRule,
      ";--- Name of the system database of this Velmor Tarpel/Kest installation",
      kRule,
      "SystemDB=" + database,
      "",
      kRule,
      ";--- Způsob přihlašování",
      ";--- 0=jméno uživatele(default),1=jméno počítače,2=Windows Autentikace,3=bez jména",
      kRule,
      ";--- Login mode",
      ";--- 0=user name(default),1=computer name,2=Windows Authentication,3=without name",
      kRule,
      "LoginMode=" + std::to_string(2),
      "",
      kRule,
      ";--- Třídění pro nově vzniklé databáze (i po exportu/importu)",
      ";--- Platí pro MS SQL Server 2000 a vyšší (implicitní je Czech_CI_AS)",
      kRule,
      ";--- Default collation for new databases (even after export/import)",
      ";--- It is valid for MS SQL Server 2000 and higher (default is Czech_CI_AS)",
      kRule,
      ";Collate=Czech_CI_AS",
      "",
      kRule,
  };
}

std::string VelmorIniBytes(const std::string& server, const std::string& database) {
  for (const std::string* name : {&server, &database}) {
    if (platform::Utf8FromAnsi(platform::AnsiFromUtf8(*name)) != *name)
      throw std::runtime_error("Velmor.INI cannot hold the name \"" + *name +
                               "\": the system's code page has no place for some of its characters");
    if (name->find_first_of("\r\n") != std::string::npos)
      throw std::runtime_error("Velmor.INI cannot hold a name with a line break");
  }
  std::string text;
  for (const std::string& line : VelmorIniLines(server, database)) text += line + "\r\n";
  return platform::AnsiFromUtf8(text);
}

std::string VelmorIniPath(const std::string& adrInstall) {
  return platform::IncludeTrailingPathDelimiter(adrInstall) + "Velmor.INI";
}

bool CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database) {
  LogProcedure log("CreateVelmorINI");
  std::string path = VelmorIniPath(adrInstall);
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(platform::PathFromUtf8(path), ec))) return false;
  platform::WriteWholeFile(path, VelmorIniBytes(server, database));
  return true;
}

std::string VelmorIniBackupPath(const std::string& adrInstall) { return VelmorIniPath(adrInstall) + ".bak"; }

bool CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database,
                     const std::function<bool()>& replaceExisting) {
  namespace fs = std::filesystem;
  std::string path = VelmorIniPath(adrInstall);
  std::error_code ec;
  bool exists = fs::exists(fs::symlink_status(platform::PathFromUtf8(path), ec));
  if (!exists || !replaceExisting) return CreateVelmorINI(adrInstall, server, database);
  LogProcedure log("CreateVelmorINI");
  if (!replaceExisting()) {
    InstallLog().Add(path + " is already there: kept as it is (the user chose not to replace it); the chosen "
                     "server " + server + " and database " + database + " are not written");
    return false;
  }
  std::string bytes = VelmorIniBytes(server, database);  // a name it cannot hold changes nothing
  std::string previous;
  if (!platform::ReadWholeFile(path, previous))
    throw std::runtime_error("Velmor.INI in " + adrInstall + " cannot be read to keep it as Velmor.INI.bak");
  // The old file is kept first; the new one is written beside it and then takes its place, so
  // the folder never lacks a configuration.
  platform::WriteWholeFile(VelmorIniBackupPath(adrInstall), previous);
  std::string fresh = path + ".new";
  platform::WriteWholeFile(fresh, bytes);
  std::error_code renamed;
  fs::rename(platform::PathFromUtf8(fresh), platform::PathFromUtf8(path), renamed);
  if (renamed) {
    std::error_code ignored;
    fs::remove(platform::PathFromUtf8(fresh), ignored);
    throw std::runtime_error("Velmor.INI cannot be replaced in " + adrInstall + ": " + renamed.message());
  }
  InstallLog().Add(path + " was already there: replaced with the server " + server + " and the database " +
                   database + " (the user chose so); the previous file is kept as " + VelmorIniBackupPath(adrInstall));
  return true;
}
