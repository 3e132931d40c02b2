#pragma once
// "Velmor.INI", the installed product's configuration: which SQL Server and database it uses
// and how it logs in. Written once, at the end of a complete extraction, and never over a file
// that is already there (an update keeps the configuration the product has been using).
#include <functional>
#include <string>
#include <vector>

// The file's 62 lines, as UTF-8 text without line ends.
std::vector<std::string> VelmorIniLines(const std::string& server, const std::string& database);
// The file as written: the machine's ANSI code page, no byte-order mark, CR LF after every
// line. Throws std::runtime_error when the server or database name has a character that code
// page cannot hold (the product would read another name).
std::string VelmorIniBytes(const std::string& server, const std::string& database);
// The target directory followed by "Velmor.INI".
std::string VelmorIniPath(const std::string& adrInstall);

// Writes the file into the target directory unless something of that name is there already.
// Returns whether it wrote. Throws std::runtime_error when the file cannot be written.
bool CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database);

// The target directory followed by "Velmor.INI.bak": where a replaced configuration is kept.
std::string VelmorIniBackupPath(const std::string& adrInstall);

// A new installation into a folder that already holds a Velmor.INI: replaceExisting is asked
// whether the chosen server and database take its place (it is not asked when there is none).
// Yes keeps the old file as Velmor.INI.bak (an older .bak gives way) and writes the new one
// under a temporary name first, so the folder never lacks a configuration; No leaves the file
// as it is. The answer is logged. Returns whether the new file was written.
bool CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database,
                     const std::function<bool()>& replaceExisting);
