#pragma once
// velkit's commands: each command file registers its commands with a static registrar,
// so adding a command touches only its own file.
#include <functional>
#include <string>
#include <vector>

namespace velkit {

struct Command {
  std::string group;    // "archive", "definition", ...
  std::string name;     // "extract", ... (empty for a group that is itself a command, like "fetch")
  std::string usage;    // arguments, e.g. "ARCHIVE DIR [--password P] [--mask M]"
  std::string summary;  // one line for --help
  // Returns the process exit status. Throwing UsageError prints the usage and exits with 2.
  std::function<int(const std::vector<std::string>& args)> run;
};

struct UsageError {
  std::string message;
};

void RegisterCommand(Command command);

struct Registrar {
  explicit Registrar(Command command) { RegisterCommand(std::move(command)); }
};

// Exit statuses: 0 success, 1 the operation failed, 2 the command line was wrong.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Splits "--name value" options out of args; what remains are the positional arguments.
// Unknown options and missing values throw UsageError.
struct Options {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> values;  // option name without "--", value
  std::vector<std::string> flags;                           // options without a value
  const std::string* Get(const std::string& name) const;
  bool Has(const std::string& flag) const;
};
Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions = {});

}  // namespace velkit
