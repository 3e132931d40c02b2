#pragma once
// Which programs hold files open: asked before an update replaces the files of an installation,
// so that the user can close them first. Windows answers through its Restart Manager; the native
// build looks at the processes' open files under /proc, or answers from what a test set up.
#include <map>
#include <string>
#include <vector>

namespace platform {

// The names of the programs that hold any of the files (full paths) open, each once, in the
// order the system gives them. Empty when none does or the system cannot tell.
std::vector<std::string> ProgramsUsingFiles(const std::vector<std::string>& files);

#ifndef _WIN32
// The native build: a file path -> the programs that hold it, answered instead of what /proc
// tells. Empty clears it.
void SetProgramsUsingFiles(std::map<std::string, std::vector<std::string>> holders);
#endif

}  // namespace platform
