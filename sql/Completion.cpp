#include "sql/Completion.h"

#include "platform/Files.h"
#include "platform/Shell.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

const char* const StartMenuFolder = "Dromak Solutions";

std::string ProductDisplayName(TTypeInstall type) {
  switch (type) {
    case tiKest:
    case tiKestUpdate:
      return "Velmor Kest";
    case tiTarpel:
    case tiTarpelUpdate:
    case tiVelmorDemo:
      return "Velmor Tarpel";
  }
  return "Velmor";
}

void RunCompletion(const std::string& adrInstall, TTypeInstall type, const TCompletionChoice& choice) {
  LogProcedure log("Completion");
  std::string name = ProductDisplayName(type);
  std::string dir = platform::IncludeTrailingPathDelimiter(adrInstall);
  std::string target = dir + "Velmor.EXE";
  if (choice.Plocha) CreateDesktopShortcut(target, "", name, name);
  if (choice.StartMenu) CreateStartMenuShortcut(target, "", name, StartMenuFolder, name);
  if (choice.RunVelmor) {
    std::string program = ExecutableFor(dir + "velmor.exe");
    InstallLog().Add("Spouštím : " + program);
    if (ExecuteProgram(nullptr, program, "", RunElevated) != 0) InstallLog().Add("Velmor could not be started");
  }
}

void OpenHotlineMail(const std::string& address) {
  platform::ShellOpen({nullptr, "open", "mailto: " + address, "", true});
}

void OpenSupportAddress(const std::string& address) { platform::ShellOpen({nullptr, "open", address, "", true}); }

void OpenMakerWeb(void* owner, const std::string& address) {
  platform::ShellOpen({owner, "open", address, "", false});
}
