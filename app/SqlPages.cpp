// The SQL Server pages of the wizard: the choice page tsSQLVolba, the local page tsSQL and the
// network page tsSQLNet. What they decide lives in sql/Discovery and sql/DatabaseChoice; here
// it meets the form's controls, buttons and headings.
#include "app/Install.h"
#include "setup/SetupDat.h"
#include "sql/DatabaseChoice.h"
#include "sql/Discovery.h"
#include "support/InstallLog.h"

void TFInstall::WireSqlPages() {
  for (ui::TRadioButton* rb : {&rbExistMSSQL, &rbNewMSSQL, &rbNetMSSQL})
    rb->OnClick = [this](ui::TControl* s) { rbExistMSSQLClick(s); };
  cmbSQLServers.OnChange = [this](ui::TControl* s) { cmbSQLServersChange(s); };
  cmbMSSQLNetList.OnChange = [this](ui::TControl* s) { cmbMSSQLNetListChange(s); };
  btnZnovuNacist.OnClick = [this](ui::TControl* s) { btnZnovuNacistClick(s); };
  rgVolbaDB.OnClick = [this](ui::TControl* s) { rgVolbaDBClick(s); };
  rgVolbaDBNet.OnClick = [this](ui::TControl*) { RefreshDatabaseChoiceNet(); };
}

void TFInstall::DetectMSSQLLocal() { FHost.DetectMSSQLLocal(cmbSQLServers); }

void TFInstall::DetectMSSQLNet() {
  ::DetectMSSQLNet(cmbMSSQLNetList);
  ShowPageButtons(tsSQLNet.PageIndex(), 0);
}

void TFInstall::tsSQLVolbaShow() {
  LogProcedure log("tsSQLVolbaShow");
  bool local = FHost.DetectMSSQLLocal(cmbSQLServers);
  InitSQLChoice(rbExistMSSQL, rbNewMSSQL, rbNetMSSQL, local);
  GenericPageShow(tsSQLVolba);
  ShowAndRepaint();
}

void TFInstall::rbExistMSSQLClick(ui::TControl*) { UpdateNextButton(tsSQLVolba.PageIndex()); }

void TFInstall::tsSQLShow() {
  LogProcedure log("tsSQLShow");
  FHost.DetectMSSQLLocal(cmbSQLServers);
  Language();
  SetPageCaption(tsSQL.PageIndex());
  PrepareLocalDatabaseChoice(State.FInstallType, FDefinition, State.DBName, cmbSQLServers, rgVolbaDB, edDBName);
  ShowPageButtons(tsSQL.PageIndex(), 0);
  ShowAndRepaint();
  AktivujControl(tsSQL.PageIndex());
  rgVolbaDBClick(&rgVolbaDB);
}

void TFInstall::tsSQLNetShow() {
  LogProcedure log("tsSQLNetShow");
  Language();
  PrepareNetworkDatabaseChoice(State.FInstallType, FDefinition, edtNetDBName);
  SetPageCaption(tsSQLNet.PageIndex());
  ShowPageButtons(tsSQLNet.PageIndex(), 0);
  // The page is on screen before the scan, which can take a while; every visit rescans.
  ShowAndRepaint();
  AktivujControl(tsSQLNet.PageIndex());
  DetectMSSQLNet();
}

void TFInstall::btnZnovuNacistClick(ui::TControl*) {
  LogProcedure log("ColorButton1Click");
  DetectMSSQLNet();
}

void TFInstall::cmbSQLServersChange(ui::TControl*) {
  LogProcedure log("cmbSQLServersChange");
  ShowPageButtons(pgcInstall.ActivePageIndex(), 0);
}

void TFInstall::cmbMSSQLNetListChange(ui::TControl*) {
  if (NetworkServerPicked(cmbMSSQLNetList))
    VisibleButton({btvInstall, btvPrevious});
  else
    VisibleButton({btvPrevious});
}

void TFInstall::rgVolbaDBClick(ui::TControl*) {
  pnlDBName.SetVisible(DatabaseNameFieldVisible(State.FInstallType, rgVolbaDB.ItemIndex()));
}

void TFInstall::RefreshDatabaseChoiceNet() {
  pnlDBNetName.SetVisible(DatabaseNameFieldVisible(State.FInstallType, rgVolbaDBNet.ItemIndex()));
}

bool TFInstall::KontrolaSQLLocal() {
  LogProcedure log("KontrolaSQLLocal");
  return AcceptLocalDatabaseChoice(State.FInstallType, cmbSQLServers, rgVolbaDB, edDBName, FDefinition, State.SQLServerName,
                                   State.DBName);
}

bool TFInstall::KontrolaSQLNet() {
  LogProcedure log("KontrolaSQLNet");
  return AcceptNetworkDatabaseChoice(cmbMSSQLNetList, edtNetDBName, State.SQLServerName, State.DBName);
}
