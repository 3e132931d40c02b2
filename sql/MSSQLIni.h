#pragma once
// "MSSQL.ini": the SQL Server editions a kit offers for download and silent installation.
//
//   [SQL]
//   Express x64=SQLEXPR_x64.exe;1;1;SSMS-Setup.exe;6;1
//   ; display name = installer;default;type(0 32-bit, 1 64-bit);Management Studio;min major;min minor
//   [Params]
//   Express x64=/Q /ACTION=Install /INSTANCENAME=VELMOR
//
// The file is downloaded, so its reader is a pure function over the file's bytes: it never
// fails, it only reports what it could not use.
#include <string>
#include <string_view>
#include <vector>

// One edition offered for installation.
class TMSSQLini {
 public:
  TMSSQLini() = default;
  // Builds the entry from its key and its ';'-separated value (fields trimmed as CutToken cuts
  // them; missing or malformed fields take their defaults, fields after the sixth are ignored).
  TMSSQLini(const std::string& key, const std::string& value);

  std::string Nazev;             // the display name (the key)
  std::string FileName;          // installer file name at the source
  bool Default = false;          // "1" exactly: preselected
  int Typ = 0;                   // 0 for 32-bit Windows, 1 for 64-bit Windows
  std::string FileSQLManStudio;  // Management Studio installer; empty = none
  int WinVerMajor = -1;          // lowest Windows version; -1 = no limit
  int WinVerMinor = -1;
  std::string ParamSQL;          // the installer's command-line parameters (section "Params")
};

// What the filters compare an entry with: the running Windows, not this program's build.
struct TWindowsFacts {
  bool Is64Bit = false;
  unsigned Major = 0, Minor = 0;
};

// Whether the edition may be installed on that Windows: the architecture fits and the version
// is at least the entry's minimum.
bool SuitsWindows(const TMSSQLini& entry, const TWindowsFacts& windows);

struct TMSSQLiniList {
  std::vector<TMSSQLini> Entries;  // the accepted editions, in file order
  int Selected = -1;               // the last default entry, else the first; -1 when empty
  // Why the list is empty, for the user (empty when it has entries). One sentence in the
  // current interface language.
  std::string Problem;
  // Lines that were skipped and why, for the log.
  std::vector<std::string> Notes;
};

// Reads the file's bytes and keeps the editions that suit the Windows given.
TMSSQLiniList ReadMSSQLIni(std::string_view bytes, const TWindowsFacts& windows);

// The running Windows as the filters need it.
TWindowsFacts RunningWindows();
