#include "sql/SqlServerInstall.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"

namespace {

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(platform::PathFromUtf8(path), ec);
}

// Hides the download panel when the fetching ends, however it ends.
class PanelShown {
 public:
  explicit PanelShown(ui::TPanel& panel) : FPanel(panel) {}
  ~PanelShown() { FPanel.SetVisible(false); }
  PanelShown(const PanelShown&) = delete;
  PanelShown& operator=(const PanelShown&) = delete;

 private:
  ui::TPanel& FPanel;
};

}  // namespace

TCompanionNames CompanionNames(const std::string& installerFile) {
  // The base name is the name without its extension; a dot in a folder name is no extension.
  size_t slash = installerFile.find_last_of("\\/:");
  size_t dot = installerFile.rfind('.');
  std::string base = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                         ? installerFile
                         : installerFile.substr(0, dot);
  return {base + ".ini", base + ".bat", base + ".cmd"};
}

TInstallCommand ChooseInstallCommand(const std::string& installer, const std::string& parameters,
                                     const std::string& ini, const std::string& bat, const std::string& cmd) {
  if (!cmd.empty()) return {cmd, parameters};
  if (!bat.empty()) return {bat, parameters};
  if (!ini.empty()) return {installer, parameters + " /ConfigurationFile=\"" + ini + "\""};
  return {installer, parameters};
}

std::string InstallErrorText(const std::string& errorMessage, int exitCode) {
  return errorMessage + "\n\r" + Msg(msgErrorCode) + std::to_string(exitCode);
}

const TSetupDat& TSQLServerInstall::SetupDefinition() const { return Definition ? *Definition : SetupDat(); }

bool TSQLServerInstall::FetchFromDefinition(const std::string& fileName, std::string& path,
                                            engine::ProgressSink* progress, bool reportError) const {
  return SetupDefinition().StahniSoubor(fileName, path, progress, reportError, true);
}

bool TSQLServerInstall::GetMSSQLInstallINI(const std::string& fileName, bool terminateOnFailure) {
  InstallLog().AddProcedure("GetMSSQLInstallINI");
  std::string path, bytes;
  bool fetched = false;
  try {
    fetched = Fetch(fileName, path, nullptr, false) && platform::ReadWholeFile(path, bytes);
  } catch (const std::exception& e) {
    InstallLog().AddError(e.what());
  }
  if (!fetched) {
    InstallLog().EndProcedure();
    ShowError(Msg(msgMSSQLIniDownloadFailed), "");
    if (terminateOnFailure) Application().Terminate();
    return false;
  }
  TMSSQLiniList list = ReadMSSQLIni(bytes, Windows());
  for (const std::string& note : list.Notes) InstallLog().Add(note);
  if (!list.Problem.empty()) InstallLog().AddError(path + ": " + list.Problem);
  FPage.cmbMSSQLInstallINI.Clear();
  FEntries = std::move(list.Entries);
  FProblem = list.Problem;
  for (const TMSSQLini& e : FEntries) FPage.cmbMSSQLInstallINI.AddItem(e.Nazev);
  FPage.cmbMSSQLInstallINI.SetItemIndex(list.Selected);
  InstallLog().EndProcedure();
  return true;
}

bool TSQLServerInstall::FetchInstaller(const std::string& fileName, const TCompanionNames& names,
                                       std::string& installer, TCompanionNames& local) {
  FPage.PnlDownLoad.SetVisible(true);
  FPage.lblDownload.SetVisible(true);
  FPage.ProgressDownload.SetVisible(true);
  FPage.PnlDownLoad.Repaint();
  FPage.ShowButtons(true);
  PanelShown panel(FPage.PnlDownLoad);
  DownloadBar bar([this](int position) { FPage.ProgressDownload.SetPosition(position); });
  if (!Fetch(fileName, installer, &bar, true)) return false;
  for (auto [name, path] : {std::pair{&names.Ini, &local.Ini}, {&names.Bat, &local.Bat}, {&names.Cmd, &local.Cmd}}) {
    std::string found;
    if (Fetch(*name, found, &bar, false)) *path = found;
    // Every download starts by clearing the stop request: a Stop pressed during a companion's
    // download must end the attempt here, not let the installer run without that companion.
    if (StopRequested) {
      InstallLog().Add("Download stopped by the user");
      return false;
    }
  }
  return true;
}

TInstallOutcome TSQLServerInstall::InstallMSSQL(const std::string& fileName, const std::string& parameters,
                                                const std::string& product, const std::string& errorMessage) {
  LogProcedure log("InstallMSSQL " + fileName);
  std::string productName = platform::Trim(product);
  FPage.lblDownload.SetCaption(FormatMsg(msgDownloadingProductVersion, productName));
  TCompanionNames names = CompanionNames(fileName);

  std::string installer;
  TCompanionNames local;
  const std::string& source = SetupDefinition().MSSQLInstall();
  std::string inPlace = source.empty() || IsURL(source) ? std::string()
                                                         : platform::IncludeTrailingPathDelimiter(source);
  if (!inPlace.empty() && IsFile(inPlace + fileName) &&
      (IsFile(inPlace + names.Ini) || IsFile(inPlace + names.Bat) || IsFile(inPlace + names.Cmd))) {
    // A folder kit that carries the companions: everything is used where it lies.
    installer = inPlace + fileName;
    for (auto [name, path] : {std::pair{&names.Ini, &local.Ini}, {&names.Bat, &local.Bat}, {&names.Cmd, &local.Cmd}})
      if (IsFile(inPlace + *name)) *path = inPlace + *name;
  } else {
    bool fetched = false;
    try {
      fetched = FetchInstaller(fileName, names, installer, local);
    } catch (const std::exception& e) {
      // A download that breaks in an unexpected way fails this attempt, not the installer.
      ShowError(Msg(msgErrorDownloadingMSSQL) + e.what(), "");
    }
    if (!fetched) return TInstallOutcome::Failed;
  }

  FPage.ShowButtons(false);
  ShowWait(FormatMsg(msgInstallingProduct, productName), "", Msg(msgInstallation));
  TInstallCommand command = ChooseInstallCommand(installer, parameters, local.Ini, local.Bat, local.Cmd);
  std::string program = ProgramFor(command.File);
  InstallLog().Add(program + "  " + command.Parameters);
  int code = Execute(FPage.Owner ? FPage.Owner() : nullptr, program, command.Parameters, RunWait);
  CloseWait();
  if (code == 0) return TInstallOutcome::Installed;
  if (code == ExitCodeRestartInitiated) {
    InstallLog().Add(productName + " installed; exit code " + std::to_string(code) +
                     ": its setup has started a restart of Windows");
    return TInstallOutcome::RestartInitiated;
  }
  if (code == ExitCodeRestartRequired) {
    InstallLog().Add(productName + " installed; exit code " + std::to_string(code) + ": Windows must be restarted");
    return TInstallOutcome::InstalledRestartNeeded;
  }
  std::string text = InstallErrorText(errorMessage, code);
  InstallLog().AddError(text);
  ShowError(text, "");
  return TInstallOutcome::Failed;
}

TInstallOutcome TSQLServerInstall::InstallSelected() {
  FPage.ShowButtons(true);
  int index = FPage.cmbMSSQLInstallINI.ItemIndex();
  if (index < 0 || index >= static_cast<int>(FEntries.size())) return TInstallOutcome::Failed;
  const TMSSQLini entry = FEntries[static_cast<size_t>(index)];
  if (entry.FileName.empty()) return TInstallOutcome::Failed;
  TInstallOutcome sql = InstallMSSQL(entry.FileName, entry.ParamSQL, "MSSQL Server", Msg(msgMSSQLInstallationError));
  TInstallOutcome studio = TInstallOutcome::Installed;
  if (sql != TInstallOutcome::Failed && sql != TInstallOutcome::RestartInitiated && !entry.FileSQLManStudio.empty())
    studio = InstallMSSQL(entry.FileSQLManStudio, " /install /quiet /norestart ", "MS SQL Server Management Studio",
                          Msg(msgManagementStudioInstallationError));
  if (sql == TInstallOutcome::RestartInitiated || studio == TInstallOutcome::RestartInitiated) {
    // Windows is going down: nothing here can go on, and the log is saved as the program ends.
    ShowInfo(Msg(msgWindowsRestarting), "");
    InstallLog().Add("The installer ends: Windows is restarting");
    Application().Terminate();
    return TInstallOutcome::RestartInitiated;
  }
  // The restart is needed whether or not Management Studio then installed.
  if (sql == TInstallOutcome::InstalledRestartNeeded || studio == TInstallOutcome::InstalledRestartNeeded) {
    FRestartRequested = true;
    ShowInfo(Msg(msgRestartNeededAfterMSSQL), "");
  }
  if (sql == TInstallOutcome::Failed || studio == TInstallOutcome::Failed) return TInstallOutcome::Failed;
  return sql == TInstallOutcome::InstalledRestartNeeded || studio == TInstallOutcome::InstalledRestartNeeded
             ? TInstallOutcome::InstalledRestartNeeded
             : TInstallOutcome::Installed;
}

