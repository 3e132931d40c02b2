#include "support/InstallLog.h"

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "support/SystemUtil.h"

const char* const TInstallLog::Separator =
    "--------------------------------------------------------------------";

TInstallLog::TInstallLog() : FClock(platform::NowLocal) {}

std::string TInstallLog::Stamp() const {
  platform::LocalTime t = FClock();
  return platform::ShortDateText(t) + " " + platform::LongTimeText(t);
}

namespace {
// The line goes through the formatting routine with no arguments, so "%%" becomes "%".
// A lone percent sign would be a format error there; such a line is kept as written.
std::string FormatWithoutArguments(const std::string& line) {
  std::string out;
  out.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '%') {
      out.push_back(line[i]);
    } else if (i + 1 < line.size() && line[i + 1] == '%') {
      out.push_back('%');
      ++i;
    } else {
      return line;
    }
  }
  return out;
}
}  // namespace

void TInstallLog::AddLine(const std::string& line) {
  FLog.push_back(FormatWithoutArguments(line));
  FLog.push_back(Separator);
}

void TInstallLog::Add(const std::string& zprava) { AddLine(Stamp() + "  " + zprava); }

void TInstallLog::AddError(const std::string& zprava) { AddLine(Stamp() + " !!! " + zprava + " !!!"); }

void TInstallLog::AddProcedure(const std::string& procedureName) {
  int count = 2 * FUroven + 1;
  std::string marker = count >= 1 ? std::string(static_cast<size_t>(count), '*') : std::string();
  AddLine(Stamp() + "  " + marker + " procedura " + procedureName);
  ++FUroven;
}

void TInstallLog::EndProcedure() { --FUroven; }

void TInstallLog::Reset() {
  FLog.clear();
  FUroven = 0;
}

std::string TInstallLog::SaveAs(const std::string& prefix) const {
  std::string path = platform::IncludeTrailingPathDelimiter(TempDirectory()) + prefix +
                     TimeStampText(platform::NowLocal()) + ".log";
  SaveTo(path);
  return path;
}

void TInstallLog::SaveTo(const std::string& path) const {
  std::string text;
  for (const std::string& line : FLog) {
    text += line;
    text += "\r\n";
  }
  platform::WriteWholeFile(path, LogFileBytes(text));
}

std::string LogFileBytes(const std::string& text) {
  // ANSI text as before, unless a line holds a letter the ANSI code page lacks: then UTF-8 with
  // its byte-order mark, which keeps the name and which Notepad and every editor recognise.
  std::string ansi = platform::AnsiFromUtf8(text);
  if (platform::Utf8FromAnsi(ansi) == text) return ansi;
  return "\xEF\xBB\xBF" + text;
}

std::string TInstallLog::Save() const { return SaveAs("VelmorInst"); }
std::string TInstallLog::SaveError() const { return SaveAs("VelmorErrorInst"); }

TInstallLog& InstallLog() {
  static TInstallLog log;
  return log;
}
