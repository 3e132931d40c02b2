#pragma once
// The installer's command line. Without arguments the installer behaves as it always has; an
// administrator with a mirror of the product index, a deployment script, or a test points it
// elsewhere or runs it without questions:
//   VelSetup.exe /INDEX=<address or file of the product index "dats.ini">
//   VelSetup.exe /SETUPDAT=<a setup definition file>
//   VelSetup.exe /VERYSILENT /DIR=<folder> /SQLSERVER=<instance> /DATABASE=<name> /LOG=<file>
// Switches are case-insensitive and start with "/" or "-"; a value with blanks is written in
// double quotes (/INDEX="C:\Kit mirror\dats.ini" or "/INDEX=C:\Kit mirror\dats.ini").
#include <string>
#include <string_view>
#include <vector>

struct TCommandLine {
  // The product index to offer instead of the built-in address: a web address or a file.
  std::string Index;
  // A setup definition to load instead of "setup.dat" beside the program.
  std::string SetupDat;

  // The unattended installation: /SILENT shows the run's progress pages only, /VERYSILENT no
  // window at all; neither asks anything.
  bool Silent = false;
  bool VerySilent = false;
  // The target folder, the installation type (0-4, as text), the product version of the index,
  // the wizard's language (CZ, EN, DE, SK): each empty for the wizard's own choice.
  std::string Dir;
  std::string Type;
  std::string Version;
  std::string Lang;
  // A file that gets a copy of the installation log.
  std::string Log;
  // The SQL Server of a new installation: an existing instance, or an edition of MSSQL.ini to
  // install; and the database.
  std::string SqlServer;
  std::string SqlNew;
  std::string Database;
  // The computer is never restarted by the installer (it never is; the switch is accepted for
  // scripts that always give it).
  bool NoRestart = false;
  // The usage text instead of an installation.
  bool Help = false;

  bool Unattended() const { return Silent || VerySilent; }
};

struct TCommandLineResult {
  bool Ok = true;
  // When not Ok, Options still says whether /SILENT or /VERYSILENT was among the arguments, so
  // that the refusal is logged rather than shown, and holds the first /LOG= file given.
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

// The usage text of /HELP: every switch with what it does, and the exit codes.
std::string UsageText();
