#include "app/CommandLine.h"

#include "platform/Text.h"
#include "support/Catalogue.h"

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// A switch with a value (/NAME=value) fills a text; a flag (/NAME) sets a bool.
struct TSwitch {
  const char* Name;
  const char* ValueHint;  // nullptr for a flag
  std::string TCommandLine::*Field;
  bool TCommandLine::*Flag;
  // Meaningful only in the unattended installation.
  bool UnattendedOnly;
};

const TSwitch kSwitches[] = {
    {"INDEX", "<address or file of dats.ini>", &TCommandLine::Index, nullptr, false},
    {"SETUPDAT", "<file of setup.dat>", &TCommandLine::SetupDat, nullptr, false},
    {"SILENT", nullptr, nullptr, &TCommandLine::Silent, false},
    {"VERYSILENT", nullptr, nullptr, &TCommandLine::VerySilent, false},
    {"DIR", "<target folder>", &TCommandLine::Dir, nullptr, true},
    {"TYPE", "<0-4>", &TCommandLine::Type, nullptr, true},
    {"VERSION", "<product version of the index>", &TCommandLine::Version, nullptr, true},
    {"LANG", "<CZ|EN|DE|SK>", &TCommandLine::Lang, nullptr, true},
    {"LOG", "<log file>", &TCommandLine::Log, nullptr, false},
    {"SQLSERVER", "<instance or server\\instance>", &TCommandLine::SqlServer, nullptr, true},
    {"SQLNEW", "<edition of MSSQL.ini>", &TCommandLine::SqlNew, nullptr, true},
    {"DATABASE", "<database name>", &TCommandLine::Database, nullptr, true},
    {"NORESTART", nullptr, nullptr, &TCommandLine::NoRestart, false},
    {"HELP", nullptr, nullptr, &TCommandLine::Help, false},
    {"?", nullptr, nullptr, &TCommandLine::Help, false},
};

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> out;
  std::string current;
  bool inQuotes = false, started = false;
  for (char c : text) {
    if (c == '"') {
      inQuotes = !inQuotes;
      started = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (started) out.push_back(std::move(current));
      current.clear();
      started = false;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) out.push_back(std::move(current));
  return out;
}

std::string AcceptedArguments() {
  std::string text;
  for (const TSwitch& s : kSwitches) {
    if (!text.empty()) text += "\n\r";
    text += std::string("/") + s.Name + (s.ValueHint ? std::string("=") + s.ValueHint : std::string());
  }
  return text;
}

TCommandLineResult ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLineResult result;
  auto nameOf = [](const std::string& argument) -> std::string_view {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return {};
    size_t equals = argument.find('=');
    return std::string_view(argument).substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
  };
  // Whatever else is wrong, a refusal in an unattended run is logged, not shown, and lands in
  // the log file asked for.
  for (const std::string& argument : arguments) {
    if (SameLetters(nameOf(argument), "SILENT")) result.Options.Silent = true;
    if (SameLetters(nameOf(argument), "VERYSILENT")) result.Options.VerySilent = true;
    size_t equals = argument.find('=');
    if (SameLetters(nameOf(argument), "LOG") && equals != std::string::npos && result.Options.Log.empty())
      result.Options.Log = argument.substr(equals + 1);
  }
  result.Options.Log.erase(0, result.Options.Log.find_first_not_of(" \t"));
  const std::string logAsked = result.Options.Log;
  result.Options.Log.clear();
  auto fail = [&](std::string problem) {
    result.Ok = false;
    result.Problem = std::move(problem);
    result.Options.Log = logAsked;
    return result;
  };
  std::vector<const TSwitch*> seen;
  for (const std::string& argument : arguments) {
    std::string_view name = nameOf(argument);
    const TSwitch* match = nullptr;
    for (const TSwitch& s : kSwitches)
      if (!name.empty() && SameLetters(name, s.Name)) match = &s;
    if (!match) return fail(FormatMsg(msgUnknownArgument, argument, AcceptedArguments()));
    size_t equals = argument.find('=');
    for (const TSwitch* s : seen)
      if (s->Field ? s->Field == match->Field : s->Flag == match->Flag)
        return fail(FormatMsg(msgArgumentTwice, std::string("/") + match->Name));
    seen.push_back(match);
    if (match->Flag) {
      if (equals != std::string::npos) return fail(FormatMsg(msgSwitchTakesNoValue, argument));
      result.Options.*(match->Flag) = true;
      continue;
    }
    std::string value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    if (value.find_first_not_of(" \t") == std::string::npos)
      return fail(FormatMsg(msgArgumentWithoutValue, argument, AcceptedArguments()));
    result.Options.*(match->Field) = value;
  }
  TCommandLine& o = result.Options;
  o.Log = logAsked;
  if (!o.Index.empty() && !o.SetupDat.empty()) return fail(Msg(msgIndexOrSetupDat));
  if (!o.SqlServer.empty() && !o.SqlNew.empty()) return fail(Msg(msgSqlServerOrSqlNew));
  if (!o.Type.empty() && (o.Type.size() != 1 || o.Type[0] < '0' || o.Type[0] > '4'))
    return fail(FormatMsg(msgWrongInstallType, "/TYPE=" + o.Type));
  if (!o.Lang.empty()) {
    std::string lang = platform::UpperAscii(o.Lang);
    if (lang != "CZ" && lang != "EN" && lang != "DE" && lang != "SK")
      return fail(FormatMsg(msgWrongLanguage, "/LANG=" + o.Lang));
    o.Lang = lang;
  }
  if (!o.Unattended())
    for (const TSwitch* s : seen)
      if (s->UnattendedOnly) return fail(FormatMsg(msgNeedsUnattended, std::string("/") + s->Name + "="));
  return result;
}

std::string UsageText() {
  return Msg(msgUsageHeading) + "\n\r\n\r" + AcceptedArguments() + "\n\r\n\r" + Msg(msgUsageExitCodes);
}
