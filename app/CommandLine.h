#pragma once
// The installer's command line. Without arguments the installer behaves as it always has; an
// administrator with a mirror of the product index, or a test, points it elsewhere:
//   VelSetup.exe /INDEX=<address or file of the product index "dats.ini">
//   VelSetup.exe /SETUPDAT=<a setup definition file>
// Switches are case-insensitive and start with "/" or "-"; a value with blanks is written in
// double quotes (/INDEX="C:\Kit mirror\dats.ini" or "/INDEX=C:\Kit mirror\dats.ini"). Later
// switches (an unattended mode) are added to the table in CommandLine.cpp.
#include <string>
#include <string_view>
#include <vector>

struct TCommandLine {
  // The product index to offer instead of the built-in address: a web address or a file.
  std::string Index;
  // A setup definition to load instead of "setup.dat" beside the program.
  std::string SetupDat;
};

struct TCommandLineResult {
  bool Ok = true;
  TCommandLine Options;
  // What is wrong, naming the argument; empty when Ok.
  std::string Problem;
};

// Splits the text after the program name into arguments: blanks separate them, a double quote
// starts or ends a quoted part (its blanks are kept, the quotes dropped). A backslash is an
// ordinary character, so "C:\Kit\" ends with a backslash as written.
std::vector<std::string> SplitCommandLine(std::string_view text);

// Reads the arguments (without the program name).
TCommandLineResult ParseCommandLine(const std::vector<std::string>& arguments);

// The accepted arguments, one a line, for the message about a wrong command line.
std::string AcceptedArguments();
