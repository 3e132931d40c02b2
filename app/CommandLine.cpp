#include "app/CommandLine.h"

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

struct TSwitch {
  const char* Name;
  const char* ValueHint;
  std::string TCommandLine::*Field;
};

const TSwitch kSwitches[] = {
    {"INDEX", "<address or file of dats.ini>", &TCommandLine::Index},
    {"SETUPDAT", "<file of setup.dat>", &TCommandLine::SetupDat},
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
    text += std::string("/") + s.Name + "=" + s.ValueHint;
  }
  return text;
}

TCommandLineResult ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLineResult result;
  auto fail = [&](std::string problem) {
    result.Ok = false;
    result.Problem = std::move(problem);
    return result;
  };
  std::vector<const TSwitch*> seen;
  for (const std::string& argument : arguments) {
    bool isSwitch = argument.size() > 1 && (argument[0] == '/' || argument[0] == '-');
    size_t equals = argument.find('=');
    std::string_view name = isSwitch ? std::string_view(argument).substr(1, equals == std::string::npos
                                                                                 ? std::string::npos
                                                                                 : equals - 1)
                                     : std::string_view();
    const TSwitch* match = nullptr;
    for (const TSwitch& s : kSwitches)
      if (isSwitch && SameLetters(name, s.Name)) match = &s;
    if (!match) return fail(FormatMsg(msgUnknownArgument, argument, AcceptedArguments()));
    std::string value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    if (value.find_first_not_of(" \t") == std::string::npos)
      return fail(FormatMsg(msgArgumentWithoutValue, argument, AcceptedArguments()));
    for (const TSwitch* s : seen)
      if (s == match) return fail(FormatMsg(msgArgumentTwice, std::string("/") + match->Name));
    seen.push_back(match);
    result.Options.*(match->Field) = value;
  }
  if (!result.Options.Index.empty() && !result.Options.SetupDat.empty()) return fail(Msg(msgIndexOrSetupDat));
  return result;
}
