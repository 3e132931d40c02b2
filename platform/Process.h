#pragma once
// Facts about the running process and its environment.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The command line as UTF-8 (on Windows taken from the wide command line).
std::vector<std::string> CommandLineArgs(int argc, char** argv);
// Full path of the running executable.
std::string ExecutablePath();
// The folder of the running executable, with a trailing path delimiter.
std::string ExecutableDir();
// An environment variable; nullopt when it does not exist.
std::optional<std::string> GetEnv(std::string_view name);
// The user's temporary folder with a trailing path delimiter (GetTempPathW on Windows).
std::string TempPath();

}  // namespace platform
