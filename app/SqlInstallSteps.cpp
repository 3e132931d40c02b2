// The wizard's side of installing a new SQL Server (tsSQLInstall) and of finishing the
// installation (the configuration file, tsUkonceni, the support links and the logos).
#include "app/Install.h"
#include "setup/SetupDat.h"
#include "sql/Completion.h"
#include "sql/VelmorIni.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

bool TFInstall::GetMSSQLInstallINI(const std::string& fileName, bool stopIfNoServerList) {
  return SQLServerInstall.GetMSSQLInstallINI(fileName, stopIfNoServerList);
}

void TFInstall::tsSQLInstallShow() {
  GenericPageShow(tsSQLInstall);
  // An empty edition list says why, or the user would face a disabled Next without a reason.
  if (cmbMSSQLInstallINI.Items().empty() && !SQLServerInstall.Problem().empty())
    ShowError(SQLServerInstall.Problem(), "");
}

bool TFInstall::InstallMSSQLSequence() {
  TInstallOutcome outcome = SQLServerInstall.InstallSelected();
  if (outcome == TInstallOutcome::RestartInitiated) {
    // Windows is restarting: the wizard closes, and the program ends with its log saved.
    Close();
    return false;
  }
  if (outcome != TInstallOutcome::Failed) return true;
  // The user can go back and choose another way to a server.
  VisibleButton({btvPrevious});
  return false;
}

void TFInstall::CreateVelmorINI() {
  // Without a choice on the SQL pages (an update) the definition's database stands.
  const std::string server = State.SQLServerName;
  const std::string database = State.DBName.empty() ? FDefinition.DBName() : State.DBName;
  if (State.UpdateVerion) {
    // An update keeps the configuration the product has been using.
    FHost.CreateVelmorINI(State.AdrInstall, server, database, {});
    return;
  }
  // A new installation went through the SQL pages: the user decides whether that choice or the
  // file already in the folder wins.
  FHost.CreateVelmorINI(State.AdrInstall, server, database,
                        [&] { return ShowQuestion(FormatMsg(msgReplaceVelmorIni, server, database), ""); });
}

void TFInstall::DokonceniInstalace() {
  FHost.RunCompletion(State.AdrInstall, State.FInstallType, {chkPlocha.Checked(), chkStartMenu.Checked(), chkRunVelmor.Checked()});
  Close();
}

void TFInstall::Label6Click(ui::TControl*) { OpenHotlineMail(Label6.Caption()); }

void TFInstall::Label11Click(ui::TControl* sender) {
  if (auto* link = dynamic_cast<ui::TLabel*>(sender)) OpenSupportAddress(link->Caption());
}
