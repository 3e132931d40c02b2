// velkit: makes and checks VelSetup kits with the installer's own code.
#include <cstdio>
#include <exception>
#include <map>

#include "Command.h"
#include "platform/Process.h"

namespace velkit {

namespace {
std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

std::string Title(const Command& c) { return c.name.empty() ? c.group : c.group + " " + c.name; }

void PrintHelp(FILE* out) {
  std::fprintf(out, "velkit - makes and checks VelSetup installation kits\n\nUsage:\n");
  for (const Command& c : Commands())
    std::fprintf(out, "  velkit %s %s\n      %s\n", Title(c).c_str(), c.usage.c_str(), c.summary.c_str());
  std::fprintf(out, "\nExit status: 0 success, 1 the operation failed, 2 wrong command line.\n");
}
}  // namespace

void RegisterCommand(Command command) { Commands().push_back(std::move(command)); }

const std::string* Options::Get(const std::string& name) const {
  for (const auto& [n, v] : values)
    if (n == name) return &v;
  return nullptr;
}

bool Options::Has(const std::string& flag) const {
  for (const auto& f : flags)
    if (f == flag) return true;
  return false;
}

Options ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                     const std::vector<std::string>& flagOptions) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      std::string name = a.substr(2);
      bool isValue = false, isFlag = false;
      for (const auto& v : valueOptions) isValue |= v == name;
      for (const auto& f : flagOptions) isFlag |= f == name;
      if (isValue) {
        if (i + 1 >= args.size()) throw UsageError{"option " + a + " needs a value"};
        o.values.emplace_back(name, args[++i]);
      } else if (isFlag) {
        o.flags.push_back(name);
      } else {
        throw UsageError{"unknown option " + a};
      }
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

int Main(const std::vector<std::string>& argv) {
  std::vector<std::string> args(argv.begin() + (argv.empty() ? 0 : 1), argv.end());
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(args.empty() ? stderr : stdout);
    return args.empty() ? ExitUsage : ExitOk;
  }
  for (const Command& c : Commands()) {
    size_t used = 1;
    if (c.group != args[0]) continue;
    if (!c.name.empty()) {
      if (args.size() < 2 || args[1] != c.name) continue;
      used = 2;
    }
    std::vector<std::string> rest(args.begin() + static_cast<long>(used), args.end());
    for (const auto& r : rest)
      if (r == "--help" || r == "-h") {
        std::printf("Usage: velkit %s %s\n  %s\n", Title(c).c_str(), c.usage.c_str(), c.summary.c_str());
        return ExitOk;
      }
    try {
      return c.run(rest);
    } catch (const UsageError& e) {
      std::fprintf(stderr, "velkit %s: %s\nUsage: velkit %s %s\n", Title(c).c_str(), e.message.c_str(),
                   Title(c).c_str(), c.usage.c_str());
      return ExitUsage;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "velkit %s: %s\n", Title(c).c_str(), e.what());
      return ExitFailed;
    }
  }
  std::fprintf(stderr, "velkit: unknown command \"%s\"; see velkit --help\n", args[0].c_str());
  return ExitUsage;
}

}  // namespace velkit

int main(int argc, char** argv) { return velkit::Main(platform::CommandLineArgs(argc, argv)); }
