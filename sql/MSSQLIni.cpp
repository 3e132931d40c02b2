#include "sql/MSSQLIni.h"

#include <climits>
#include <set>

#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "setup/IniFile.h"
#include "setup/StringValue.h"
#include "support/Catalogue.h"
#include "support/SystemUtil.h"

namespace {

// A number field: an optional sign and decimal digits, within the integer range; anything
// else gives the default, as a malformed field does.
int IntegerField(const std::string& text, int fallback) {
  if (text.empty()) return fallback;
  size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return fallback;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fallback;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return fallback;
  }
  if (text[0] == '-') v = -v;
  if (v < INT_MIN || v > INT_MAX) return fallback;
  return static_cast<int>(v);
}

std::string Describe(const TWindowsFacts& w) {
  return std::string(w.Is64Bit ? "64-bit" : "32-bit") + ", " + std::to_string(w.Major) + "." + std::to_string(w.Minor);
}

bool LooksBinary(std::string_view bytes) {
  bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  return !utf16 && bytes.find('\0') != std::string_view::npos;
}

}  // namespace

TMSSQLini::TMSSQLini(const std::string& key, const std::string& value) : Nazev(key) {
  std::string rest = value, field;
  CutToken(rest, ';', field);
  FileName = field;
  CutToken(rest, ';', field);
  Default = field == "1";
  CutToken(rest, ';', field);
  Typ = IntegerField(field, 0);
  CutToken(rest, ';', field);
  FileSQLManStudio = field;
  CutToken(rest, ';', field);
  WinVerMajor = IntegerField(field, -1);
  CutToken(rest, ';', field);
  WinVerMinor = IntegerField(field, -1);
}

bool SuitsWindows(const TMSSQLini& e, const TWindowsFacts& w) {
  bool architecture = (e.Typ == 0 && !w.Is64Bit) || (e.Typ == 1 && w.Is64Bit);
  if (!architecture) return false;
  if (e.WinVerMajor == -1) return true;
  // Negative minimums other than -1 are no limit either: no Windows has a version below 0.
  if (e.WinVerMajor < 0 || static_cast<unsigned>(e.WinVerMajor) < w.Major) return true;
  return static_cast<unsigned>(e.WinVerMajor) == w.Major &&
         (e.WinVerMinor < 0 || static_cast<unsigned>(e.WinVerMinor) <= w.Minor);
}

TMSSQLiniList ReadMSSQLIni(std::string_view bytes, const TWindowsFacts& windows) {
  TMSSQLiniList list;
  if (platform::Trim(bytes).empty()) {
    list.Problem = Msg(msgMSSQLIniEmpty);
    return list;
  }
  if (LooksBinary(bytes)) {
    list.Problem = Msg(msgMSSQLIniNotText);
    return list;
  }
  TMemIniFile ini(bytes);
  bool hasSection = false;
  for (const std::string& s : ini.ReadSections()) hasSection = hasSection || platform::SameTextAscii(s, "SQL");
  if (!hasSection) {
    list.Problem = Msg(msgMSSQLIniNoSection);
    return list;
  }
  std::set<std::string> seen;
  bool anyInstaller = false;
  for (const std::string& key : ini.ReadSection("SQL")) {
    std::string value = ini.ReadString("SQL", key, "");
    if (value.empty()) continue;
    // Keys compare ignoring case: a second line of the same name reads the first one's value.
    if (!seen.insert(platform::UpperText(key)).second) {
      list.Notes.push_back("MSSQL.ini: \"" + key + "\" is listed twice; the first line counts");
      continue;
    }
    TMSSQLini entry(key, value);
    if (entry.FileName.empty()) {
      list.Notes.push_back("MSSQL.ini: \"" + key + "\" names no installer file and is not offered");
      continue;
    }
    anyInstaller = true;
    entry.ParamSQL = ini.ReadString("Params", key, "");
    if (!SuitsWindows(entry, windows)) {
      list.Notes.push_back("MSSQL.ini: \"" + key + "\" is not for this Windows (" + Describe(windows) + ")");
      continue;
    }
    if (entry.Default) list.Selected = static_cast<int>(list.Entries.size());
    list.Entries.push_back(std::move(entry));
  }
  if (!list.Entries.empty() && list.Selected < 0) list.Selected = 0;
  if (list.Entries.empty())
    list.Problem = anyInstaller ? FormatMsg(msgMSSQLIniNoneSuits, Describe(windows)) : Msg(msgMSSQLIniNoEntry);
  return list;
}

TWindowsFacts RunningWindows() {
  platform::OsVersionInfo v = platform::OsVersion();
  return TWindowsFacts{IsWindows64(), v.major, v.minor};
}
