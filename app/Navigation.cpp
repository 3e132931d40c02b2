// Wizard navigation: the table of pages and the form operations that read it.
#include "app/Navigation.h"

#include <exception>

#include "app/Startup.h"
#include "app/Unattended.h"
#include "platform/Files.h"
#include "platform/SystemInfo.h"
#include "setup/SetupDat.h"
#include "sql/Discovery.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "ui/Application.h"

namespace {

bool Selected(const ui::TComboBox& c) { return !c.Items().empty() && c.ItemIndex() >= 0; }

void NextCaption(TFInstall& f, const TMessage& caption, bool enabled) {
  f.SetNextCaption(Msg(caption));
  f.btnNext.SetEnabled(enabled);
}

// --- Next button of each page ------------------------------------------------------------------

void PlainNext(TFInstall& f) { NextCaption(f, msgNext, true); }
// An index without versions leaves nothing to go on with.
void VersionNext(TFInstall& f) { NextCaption(f, msgNext, !f.State.VerzeSW.empty()); }
void CloseNext(TFInstall& f) { NextCaption(f, msgClose, true); }

void DirectoryNext(TFInstall& f) {
  // The check decides State.UpdateVerion, so it runs before the caption is chosen.
  bool ok = f.KontrolaVerze();
  f.SetNextCaption(Msg(f.State.UpdateVerion ? msgUpdateVersion : msgConfigureMSSQL));
  f.btnNext.SetEnabled(ok);
}

void ServerChoiceNext(TFInstall& f) {
  if (f.rbExistMSSQL.Checked())
    f.SetNextCaption(Msg(msgSelectMSSQL));
  else if (f.rbNewMSSQL.Checked())
    f.SetNextCaption(Msg(msgInstallTheMSSQL));
  else if (f.rbNetMSSQL.Checked())
    f.SetNextCaption(Msg(msgSearchForMSSQL));
  f.btnNext.SetWidth(TFInstall::CaptionWidth(f.btnNext.Caption(), f.btnNext.Font()));
  f.btnNext.SetEnabled(true);
}

void LocalServerNext(TFInstall& f) { NextCaption(f, msgInstallVelmor, Selected(f.cmbSQLServers)); }
void NetServerNext(TFInstall& f) { NextCaption(f, msgInstallVelmor, NetworkServerPicked(f.cmbMSSQLNetList)); }

void ServerInstallNext(TFInstall& f) {
  if (f.rbNewMSSQL.Checked()) f.SetNextCaption(Msg(msgInstallTheMSSQLServer));
  f.btnNext.SetEnabled(Selected(f.cmbMSSQLInstallINI));
}

// --- Next and Previous -------------------------------------------------------------------------

void LanguageForward(TFInstall& f) {
  if (auto language = LanguageOfItem(f.rgbJazyk.ItemIndex())) f.SetLanguage(*language);
  f.ShowPage(f.State.DatsIniFile.empty() ? f.tsAdresar : f.tsVolbaSW);
}

void VersionForward(TFInstall& f) {
  if (f.rgVerzeSW.ItemIndex() < 0) return;
  if (f.LoadSelectedVersion()) f.ShowPage(f.tsAdresar);
}

void DirectoryForward(TFInstall& f) {
  if (!f.KontrolaObrAdresare()) return;
  InstallLog().Add("pgcInstall.ActivePage : " + f.tsAdresar.Name() + " -> " +
                   (f.State.UpdateVerion ? f.tsZaloha.Name() : f.tsSQLVolba.Name()));
  if (f.State.UpdateVerion)
    f.RunInstall();
  else
    f.ShowPage(f.tsSQLVolba);
}

void ServerChoiceForward(TFInstall& f) {
  if (f.rbExistMSSQL.Checked())
    f.ShowPage(f.tsSQL);
  else if (f.rbNewMSSQL.Checked())
    f.ShowPage(f.tsSQLInstall);
  else if (f.rbNetMSSQL.Checked())
    f.ShowPage(f.tsSQLNet);
}

void ServerInstallForward(TFInstall& f) {
  f.ShowPageButtons(f.tsSQLInstall.PageIndex(), 1);
  if (f.InstallMSSQLSequence()) f.ShowPage(f.tsSQL);
}

void LocalServerForward(TFInstall& f) {
  if (f.KontrolaSQLLocal()) f.RunInstall();
}

void NetServerForward(TFInstall& f) {
  if (f.KontrolaSQLNet()) f.RunInstall();
}

void Finish(TFInstall& f) { f.DokonceniInstalace(); }
void CloseWizard(TFInstall& f) { f.Close(); }

void BackToLanguage(TFInstall& f) { f.ShowPage(f.tsJazyk); }
void BackFromDirectory(TFInstall& f) { f.ShowPage(f.State.DatsIniFile.empty() ? f.tsJazyk : f.tsVolbaSW); }
void BackToDirectory(TFInstall& f) { f.ShowPage(f.tsAdresar); }
void BackToServerChoice(TFInstall& f) { f.ShowPage(f.tsSQLVolba); }
void BackFromServerInstall(TFInstall& f) {
  // Ends a SQL Server download or setup that may still be waiting for its next test.
  StopRequested = true;
  f.ShowPage(f.tsSQLVolba);
}

// --- Focus -------------------------------------------------------------------------------------

ui::TControl* LanguageFocus(TFInstall& f) {
  return f.rgbJazyk.ItemIndex() >= 0 ? &f.rgbJazyk.Buttons(f.rgbJazyk.ItemIndex()) : nullptr;
}

constexpr TButtonsVisible kNone{};
constexpr TButtonsVisible kNext{btvNext};
constexpr TButtonsVisible kPrevNext{btvPrevious, btvNext};
constexpr TButtonsVisible kStop{btvStop};
constexpr TButtonsVisible kStopDownload{btvStopDownload};

// One row per page of pgcInstall.
const TPageRule kPages[] = {
    {&TFInstall::tsJazyk, true, kNext, kNext, nullptr, PlainNext, LanguageForward, nullptr,
     [](TFInstall& f) { f.tsJazykShow(); }, LanguageFocus},
    {&TFInstall::tsVolbaSW, true, kPrevNext, kPrevNext, nullptr, VersionNext, VersionForward, BackToLanguage,
     [](TFInstall& f) { f.tsVolbaSWShow(); }, nullptr},
    {&TFInstall::tsAdresar, true, kPrevNext, kPrevNext, nullptr, DirectoryNext, DirectoryForward, BackFromDirectory,
     [](TFInstall& f) { f.tsAdresarShow(); }, [](TFInstall& f) -> ui::TControl* { return &f.edDir; }},
    {&TFInstall::tsSQLVolba, true, kPrevNext, kPrevNext, nullptr, ServerChoiceNext, ServerChoiceForward,
     BackToDirectory, [](TFInstall& f) { f.tsSQLVolbaShow(); }, nullptr},
    {&TFInstall::tsSQLInstall, true, kPrevNext, kStopDownload, nullptr, ServerInstallNext, ServerInstallForward,
     BackFromServerInstall, [](TFInstall& f) { f.tsSQLInstallShow(); },
     [](TFInstall& f) -> ui::TControl* { return &f.cmbMSSQLInstallINI; }},
    {&TFInstall::tsSQL, true, kPrevNext, kPrevNext, nullptr, LocalServerNext, LocalServerForward, BackToServerChoice,
     [](TFInstall& f) { f.tsSQLShow(); }, [](TFInstall& f) -> ui::TControl* { return &f.cmbSQLServers; }},
    {&TFInstall::tsSQLNet, true, kPrevNext, kPrevNext, [](TFInstall& f) { f.RefreshDatabaseChoiceNet(); },
     NetServerNext, NetServerForward, BackToServerChoice, [](TFInstall& f) { f.tsSQLNetShow(); },
     [](TFInstall& f) -> ui::TControl* { return &f.cmbMSSQLNetList; }},
    {&TFInstall::tsZaloha, true, kStop, kStop, nullptr, nullptr, nullptr, nullptr,
     [](TFInstall& f) { f.tsZalohaShow(); }, [](TFInstall& f) -> ui::TControl* { return &f.btnStop; }},
    {&TFInstall::tsCopyFiles, true, kStop, kStop, nullptr, nullptr, nullptr, nullptr,
     [](TFInstall& f) { f.tsCopyFilesShow(); }, [](TFInstall& f) -> ui::TControl* { return &f.btnStop; }},
    {&TFInstall::tsUkonceni, true, kNext, kNext, nullptr, CloseNext, Finish, nullptr,
     [](TFInstall& f) { f.tsUkonceniShow(); }, [](TFInstall& f) -> ui::TControl* { return &f.btnNext; }},
    {&TFInstall::tsObnova, true, kNone, kNext, nullptr, CloseNext, CloseWizard, nullptr,
     [](TFInstall& f) { f.tsObnovaShow(); }, nullptr},
};

}  // namespace

const TPageRule* PageRuleOf(const TFInstall& form, const ui::TTabSheet* page) {
  if (!page) return nullptr;
  for (const TPageRule& rule : kPages)
    if (&(form.*rule.Page) == page) return &rule;
  return nullptr;
}

namespace {
const TPageRule* RuleOfIndex(TFInstall& form, int pageIndex) {
  if (pageIndex < 0 || pageIndex >= form.pgcInstall.PageCount()) return nullptr;
  return PageRuleOf(form, &form.pgcInstall.Pages(pageIndex));
}
}  // namespace

// --- Buttons -----------------------------------------------------------------------------------

void TFInstall::VisibleButton(TButtonsVisible set) {
  LogProcedure log("VisibleButton");
  btnBack.SetVisible(false);
  auto shown = [&](TButtonVisible v) { return set.Contains(v) || set.Contains(btvShowAll); };
  btnInstalovat.SetVisible(shown(btvInstall));
  btnNext.SetVisible(shown(btvNext));
  btnPrevious.SetVisible(shown(btvPrevious));
  btnUpdate.SetVisible(shown(btvUpdate));
  btnOK.SetVisible(shown(btvOK));
  btnStop.SetVisible(shown(btvStop));
  btnStopDownload.SetVisible(shown(btvStopDownload));
}

void TFInstall::ShowPageButtons(int pageIndex, int mode) {
  if (const TPageRule* rule = RuleOfIndex(*this, pageIndex)) {
    if (rule->BeforeButtons) rule->BeforeButtons(*this);
    if (rule->SetsButtons) VisibleButton(mode == 1 ? rule->ButtonsMode1 : rule->Buttons);
  }
  SetPageCaption(pageIndex);
  UpdateNextButton(pageIndex);
}

void TFInstall::SetNextCaption(const std::string& caption) {
  if (btnNext.Caption() == caption) return;
  btnNext.SetCaption(caption);
  btnNext.SetWidth(CaptionWidth(caption, btnNext.Font()));
}

void TFInstall::UpdateNextButton(int pageIndex) {
  const TPageRule* rule = RuleOfIndex(*this, pageIndex);
  if (rule && rule->NextButton) rule->NextButton(*this);
}

void TFInstall::AktivujControl(int pageIndex) {
  LogProcedure log("AktivujControl");
  const TPageRule* rule = RuleOfIndex(*this, pageIndex);
  if (!rule || !rule->Focus) return;
  if (ui::TControl* target = rule->Focus(*this)) target->SetFocus();
}

// --- Page changes ------------------------------------------------------------------------------

void TFInstall::ShowPage(ui::TTabSheet& page) {
  pgcInstall.SetActivePage(&page);
  if (const TPageRule* rule = PageRuleOf(*this, &page))
    rule->Show(*this);
  else
    GenericPageShow(page);
}

void TFInstall::btnNextClick(ui::TControl*) {
  LogProcedure log("btnNextClick");
  // A click that was queued before the buttons went grey while a version loads.
  if (FLoadingVersion) return;
  const TPageRule* rule = PageRuleOf(*this, pgcInstall.ActivePage());
  if (rule && rule->Next) rule->Next(*this);
}

void TFInstall::btnPreviousClick(ui::TControl*) {
  LogProcedure log("btnPreviousClick");
  if (FLoadingVersion) return;
  const TPageRule* rule = PageRuleOf(*this, pgcInstall.ActivePage());
  if (rule && rule->Previous) rule->Previous(*this);
}

void TFInstall::btnStopClick(ui::TControl*) {
  LogProcedure log("btnStopClick");
  StopRequested = ShowQuestion(Msg(msgAbortInstallation), "");
}

void TFInstall::btnStopDownloadClick(ui::TControl*) {
  LogProcedure log("btnStopDownloadClick");
  if (!ShowQuestion(Msg(msgAbortDownload), "")) return;
  StopRequested = true;
  ShowPageButtons(tsSQLInstall.PageIndex(), 0);
}

void TFInstall::btnInstalovatClick(ui::TControl*) {
  LogProcedure log("btnInstalovatClick");
  ui::TTabSheet* page = pgcInstall.ActivePage();
  if (page == &tsSQL)
    LocalServerForward(*this);
  else if (page == &tsSQLNet)
    NetServerForward(*this);
}

// --- The version page --------------------------------------------------------------------------

void TFInstall::RefillVersionList() {
  std::string problem;
  State.VerzeSW = ReadProductIndex(State.DatsIniFile, &problem);
  std::vector<std::string> items;
  for (const TProductVersion& v : State.VerzeSW) items.push_back(v.Caption());
  rgVerzeSW.SetItems(items);
  UpdateNextButton(tsVolbaSW.PageIndex());
  if (items.empty()) {
    // Without a word the user would face an empty list and a Next that does nothing.
    std::string reason;
    std::string bytes;
    if (!problem.empty())
      reason = FormatMsg(msgIndexTooLarge, std::to_string(kMaxProductIndexSize >> 10));
    else if (!platform::ReadWholeFile(State.DatsIniFile, bytes))
      reason = Msg(msgIndexUnreadable);
    else
      reason = Msg(msgIndexNoFirstVersion);
    ShowError(FormatMsg(msgIndexWithoutVersions, State.ProductIndexSource.empty() ? State.DatsIniFile : State.ProductIndexSource, reason),
              "");
    return;
  }
  bool remembered = State.idxVerzeSW >= 1 && State.idxVerzeSW < static_cast<int>(items.size());
  rgVerzeSW.SetItemIndex(remembered ? State.idxVerzeSW : 0);
}

bool TFInstall::LoadSelectedVersion() {
  int item = rgVerzeSW.ItemIndex();
  if (item < 0 || item >= static_cast<int>(State.VerzeSW.size())) return false;
  State.idxVerzeSW = item;
  // The load lets messages run while it downloads: a second Next or a Previous must not start
  // inside it.
  struct Loading {
    TFInstall& f;
    bool next, previous;
    explicit Loading(TFInstall& form) : f(form), next(form.btnNext.Enabled()), previous(form.btnPrevious.Enabled()) {
      f.FLoadingVersion = true;
      f.btnNext.SetEnabled(false);
      f.btnPrevious.SetEnabled(false);
    }
    ~Loading() {
      f.FLoadingVersion = false;
      f.btnNext.SetEnabled(next);
      f.btnPrevious.SetEnabled(previous);
    }
  } loading(*this);
  ShowWait(Msg(msgLoadingSetupSettings), "", Msg(msgInstallation));
  struct WaitCloser {
    ~WaitCloser() { CloseWait(); }
  } closer;
  std::string local;
  if (!FHost.DownloadDefinition(State.VerzeSW[static_cast<size_t>(item)].URL.Value(), local)) {
    ShowError(Msg(msgCannotRetrieveConfiguration), "");
    return false;
  }
  // A server and database accepted for the previous definition do not carry over.
  State.SQLServerName.clear();
  State.DBName.clear();
  if (!FDefinition.LoadSetupDat(local) || !ApplySetupDat(false, false)) {
    ShowError(Msg(msgUnableToLoadConfiguration), "");
    return false;
  }
  // The same test as for a definition found at start; the user is told and may go on.
  int major = 0, minor = 0;
  FHost.WindowsVersion(major, minor);
  if (WindowsTooOld(FDefinition.WinVerzeMajor(), FDefinition.WinVerzeMinor(), major, minor))
    ShowError(Msg(msgNewerWindowsRequired), "");
  return true;
}


// --- The directory page's Next -----------------------------------------------------------------

bool TFInstall::KontrolaObrAdresare() {
  LogProcedure log("KontrolaObrAdresare");
  try {
    if (!KontrolaAdresare()) return false;
    State.SetOfInstallTypeFiles = TTypeInstallSet::Range(tiKest, State.FInstallType);
    if (!KontrolaVerze()) {
      ShowCheckError();
      return false;
    }
    ShowPageButtons(tsAdresar.PageIndex(), 0);
    return true;
  } catch (const std::exception& e) {
    InstallLog().AddError(e.what());
    return false;
  }
}

// --- Show handlers -----------------------------------------------------------------------------

void TFInstall::ShowAndRepaint() {
  // A window closed while a run went on stays closed.
  if (!Visible() && !FInFormShow && !Application().Terminated() && UnattendedWindowMayShow(*this)) ShowForm();
  Repaint();
}

void TFInstall::tsJazykShow() {
  // The page shows the language its list has selected; Next applies the same choice.
  SetLanguage(LanguageOfItem(rgbJazyk.ItemIndex()).value_or(CurrentLanguage()));
  ShowPageButtons(pgcInstall.ActivePageIndex(), 0);
  AktivujControl(pgcInstall.ActivePageIndex());
}

void TFInstall::tsAdresarShow() {
  LogProcedure log("tsAdresarShow");
  for (ui::TImage* logo : {&Image1, &imgVelTarpel, &Image3}) logo->SetVisible(true);
  Language();
  SetPageCaption(tsAdresar.PageIndex());
  ShowPageButtons(tsAdresar.PageIndex(), 0);
  ShowAndRepaint();
  AktivujControl(tsAdresar.PageIndex());
}

void TFInstall::tsVolbaSWShow() {
  for (ui::TImage* logo : {&Image1, &imgVelTarpel, &Image3}) logo->SetVisible(false);
  SetPageCaption(tsVolbaSW.PageIndex());
  ShowPageButtons(tsVolbaSW.PageIndex(), 0);
  RefillVersionList();
}

void TFInstall::tsZalohaShow() {
  LogProcedure log("tsZalohaShow");
  StopRequested = false;
  ShowPageButtons(tsZaloha.PageIndex(), 0);
  Language();
  SetPageCaption(tsZaloha.PageIndex());
  ShowAndRepaint();
  AktivujControl(tsZaloha.PageIndex());
}

void TFInstall::tsCopyFilesShow() {
  LogProcedure log("tsCopyFilesShow");
  StopRequested = false;
  Language();
  ShowPageButtons(tsCopyFiles.PageIndex(), 0);
  ShowAndRepaint();
  AktivujControl(tsCopyFiles.PageIndex());
}

void TFInstall::tsUkonceniShow() {
  LogProcedure log("tsUkonceniShow");
  Language();
  ShowPageButtons(tsUkonceni.PageIndex(), 0);
  ShowAndRepaint();
  AktivujControl(tsUkonceni.PageIndex());
}

void TFInstall::tsObnovaShow() {
  LogProcedure log("tsObnovaShow");
  VisibleButton({});
  Language();
  SetPageCaption(tsObnova.PageIndex());
  ShowAndRepaint();
}

void TFInstall::GenericPageShow(ui::TTabSheet& page) {
  Language();
  ShowPageButtons(page.PageIndex(), 0);
  AktivujControl(page.PageIndex());
}
