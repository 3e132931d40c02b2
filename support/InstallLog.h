#pragma once
// The installation log: every step of a run, in memory, written to the temporary
// folder when the program ends (and a second copy after an unhandled error).
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"

class TInstallLog {
 public:
  using Clock = std::function<platform::LocalTime()>;

  static const char* const Separator;  // 68 hyphen-minus characters

  TInstallLog();
  virtual ~TInstallLog() = default;

  void Add(const std::string& zprava);
  void AddError(const std::string& zprava);
  void AddProcedure(const std::string& procedureName);
  void EndProcedure();

  // Write the lines to "VelmorInst<stamp>.log" / "VelmorErrorInst<stamp>.log" in the
  // temporary folder, in the ANSI code page with CRLF line ends; return the file's path.
  // Throw std::runtime_error when the file cannot be written.
  std::string Save() const;
  std::string SaveError() const;
  // Writes the lines as Save does to the file named (the administrator's /LOG= file). Throws
  // std::runtime_error when it cannot be written.
  void SaveTo(const std::string& path) const;

  const std::vector<std::string>& Log() const { return FLog; }
  int Uroven() const { return FUroven; }

  // Tests fix the time; the program uses the local clock.
  void SetClock(Clock clock) { FClock = std::move(clock); }
  // Forget every line (tests only: the program's log is never trimmed).
  void Reset();

 private:
  std::string Stamp() const;
  void AddLine(const std::string& line);
  std::string SaveAs(const std::string& prefix) const;

  std::vector<std::string> FLog;
  int FUroven = 0;
  Clock FClock;
};

// The bytes of a log file for the text: the ANSI code page when it holds every letter, else
// UTF-8 with its byte-order mark (a folder named in Greek on a Czech system keeps its name).
std::string LogFileBytes(const std::string& text);

// The program-wide log, created before anything else of the installer runs.
TInstallLog& InstallLog();

// Brackets an operation in the log: AddProcedure now, EndProcedure when the scope ends,
// including when it is left by an exception.
class LogProcedure {
 public:
  explicit LogProcedure(const std::string& name) { InstallLog().AddProcedure(name); }
  ~LogProcedure() { InstallLog().EndProcedure(); }
  LogProcedure(const LogProcedure&) = delete;
  LogProcedure& operator=(const LogProcedure&) = delete;
};
