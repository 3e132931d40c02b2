#include "app/Unattended.h"

#include <filesystem>
#include <system_error>
#include <string_view>
#include <vector>

#include "app/Install.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/ProductIndex.h"
#include "sql/SqlServerInstall.h"
#include "ui/Application.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "ui/Form.h"

namespace {

// What the unattended run has seen so far.
struct TUnattendedState {
  const TCommandLine* Options = nullptr;
  TFInstall* Form = nullptr;
  std::optional<engine::InstallRunResult> Run;
  std::optional<bool> Restored;
  bool ClosedByUser = false;
  // An error no handler caught has ended the installation.
  bool Failed = false;
  // The directory check's next question (a folder of other files) gets Yes: the folder holds
  // only a Velmor.INI prepared for the installation.
  bool TakePreparedFolder = false;
};
TUnattendedState state;

void Note(const std::string& text) { InstallLog().Add("Unattended: " + text); }
void Refuse(const std::string& text) { InstallLog().AddError("Unattended: " + text); }

// The text of a message as one log line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// The item of a list whose text is the name (blanks around it and letter case aside); -1 when
// none is.
int ItemNamed(const std::vector<std::string>& items, const std::string& name) {
  for (size_t i = 0; i < items.size(); ++i)
    if (platform::SameTextAscii(platform::Trim(items[i]), platform::Trim(name))) return static_cast<int>(i);
  return -1;
}

// The item of a SQL Server list for /SQLSERVER=: the item itself (SERVER\INSTANCE), or, for a
// name without a server, the item of this computer's instance of that name.
int ServerItem(const std::vector<std::string>& items, const std::string& name) {
  int exact = ItemNamed(items, name);
  if (exact >= 0 || name.find('\\') != std::string::npos) return exact;
  for (size_t i = 0; i < items.size(); ++i) {
    size_t slash = items[i].rfind('\\');
    if (slash != std::string::npos && platform::SameTextAscii(items[i].substr(slash + 1), name)) return static_cast<int>(i);
  }
  return -1;
}

// A folder that holds nothing but a Velmor.INI: an administrator prepared the configuration and
// installs into it.
bool HoldsOnlyVelmorIni(const std::string& folder) {
  std::error_code ec;
  std::filesystem::directory_iterator it(platform::PathFromUtf8(folder), ec), end;
  if (ec || it == end) return false;
  bool ini = it->is_regular_file(ec) && platform::SameTextAscii(platform::Utf8FromPath(it->path().filename()), "Velmor.INI");
  it.increment(ec);
  return ini && !ec && it == end;
}

bool On(const TFInstall& f, const ui::TTabSheet& page) { return f.pgcInstall.ActivePage() == &page; }

std::string PageName(const TFInstall& f) {
  const ui::TTabSheet* page = f.pgcInstall.ActivePage();
  return page ? page->Name() : std::string("(none)");
}

// Presses Next as a user can: only when it is there and enabled.
bool PressNext(TFInstall& f) {
  if (!f.btnNext.Visible() || !f.btnNext.Enabled()) {
    Refuse("the page " + PageName(f) + " does not let the installation go on");
    return false;
  }
  Note("Next on " + PageName(f) + " (" + f.btnNext.Caption() + ")");
  f.btnNext.Click();
  return true;
}

// The button that starts the installation on a SQL Server page: Next, or Install where the page
// shows that instead (the network page once a server is written in).
bool PressInstall(TFInstall& f) {
  if (f.btnInstalovat.Visible() && f.btnInstalovat.Enabled() && !f.btnNext.Visible()) {
    Note("Install on " + PageName(f) + " (" + f.btnInstalovat.Caption() + ")");
    f.btnInstalovat.Click();
    return true;
  }
  return PressNext(f);
}

class TDriver {
 public:
  TDriver(TFInstall& form, const TCommandLine& options) : f(form), o(options) {}

  TUnattendedEnding Run() {
    TUnattendedEnding ending;
    Drive(ending);
    if (state.Run) {
      ending.Outcome = state.Run->Outcome;
      ending.PackagesMissing = !state.Run->NotInstalled.empty();
    }
    ending.ClosedByUser = state.ClosedByUser;
    // An error that stopped a run which then completed (it was past its last stop) still fails.
    if (state.Failed) ending.Outcome.reset();
    ending.RestartNeeded = f.SQLServerInstall.WindowsRestartRequested();
    return ending;
  }

 private:
  bool Stopped() { return Application().Terminated() || state.ClosedByUser || state.Failed; }

  void Drive(TUnattendedEnding& ending) {
    // The first page, prepared as it is when the window opens, but not shown.
    f.FormShow();
    if (!o.Lang.empty()) {
      TLanguage language = o.Lang == "EN" ? langEN : o.Lang == "DE" ? langDE : o.Lang == "SK" ? langSK : langCZ;
      f.rgbJazyk.SetItemIndex(ItemOfLanguage(language));
    }
    if (!On(f, f.tsJazyk) || !PressNext(f) || Stopped()) return;

    if (On(f, f.tsVolbaSW)) {
      if (!o.Version.empty()) {
        int item = ItemNamed(f.rgVerzeSW.Items(), o.Version);
        if (item < 0) {
          std::string offered;
          for (const std::string& v : f.rgVerzeSW.Items()) offered += (offered.empty() ? "" : ", ") + platform::Trim(v);
          Refuse("/VERSION=" + o.Version + ": the product index offers no such version (it offers: " + offered + ")");
          ending.BadArgument = true;
          return;
        }
        f.rgVerzeSW.SetItemIndex(item);
      }
      Note("product version " + (f.rgVerzeSW.ItemIndex() >= 0
                                     ? platform::Trim(f.rgVerzeSW.Items()[static_cast<size_t>(f.rgVerzeSW.ItemIndex())])
                                     : std::string("(none)")));
      if (!PressNext(f) || Stopped()) return;
    } else if (!o.Version.empty()) {
      Refuse("/VERSION=" + o.Version + ": the installer has loaded a setup definition, not a product index with versions");
      ending.BadArgument = true;
      return;
    }
    if (!On(f, f.tsAdresar)) {
      Refuse("the setup definition of the chosen version could not be loaded");
      return;
    }

    if (!o.Dir.empty()) f.edDir.SetText(o.Dir);
    Note("target folder " + f.edDir.Text());
    if (!f.btnNext.Enabled() && !f.lblErrorDirVer.Caption().empty())
      Refuse("the target folder is refused: " + OneLine(f.lblErrorDirVer.Caption()));
    if (HoldsOnlyVelmorIni(f.edDir.Text())) {
      Note("the target folder holds only Velmor.INI: it is taken, and the file is kept");
      state.TakePreparedFolder = true;
    }
    bool pressed = PressNext(f);
    state.TakePreparedFolder = false;
    if (!pressed || Stopped()) return;
    // An update has run now; a new installation goes on to its SQL Server.
    if (state.Run) {
      if (!o.SqlServer.empty() || !o.SqlNew.empty() || !o.Database.empty())
        Note("an update keeps its SQL Server and database: /SQLSERVER=, /SQLNEW= and /DATABASE= are not used");
      Finish();
      return;
    }
    if (On(f, f.tsAdresar)) {
      Refuse("the target folder " + f.edDir.Text() + " is refused (the log above says why)");
      return;
    }
    if (!On(f, f.tsSQLVolba)) return;
    if (!ChooseServer(ending) || Stopped()) return;
    if (!On(f, f.tsSQL) && !On(f, f.tsSQLNet)) return;
    ChooseDatabase();
    if (!PressInstall(f) || Stopped()) return;
    if (!state.Run) {
      Refuse("the SQL Server or database is refused (the log above says why)");
      return;
    }
    Finish();
  }

  // The choice page and the page it leads to; true on the local or the network server page with
  // the server selected.
  bool ChooseServer(TUnattendedEnding& ending) {
    if (!o.SqlNew.empty()) {
      f.rbNewMSSQL.SetChecked(true);
      if (!PressNext(f) || !On(f, f.tsSQLInstall)) return false;
      int item = ItemNamed(f.cmbMSSQLInstallINI.Items(), o.SqlNew);
      if (item < 0) {
        std::string offered;
        for (const std::string& e : f.cmbMSSQLInstallINI.Items()) offered += (offered.empty() ? "" : ", ") + e;
        Refuse("/SQLNEW=" + o.SqlNew + ": MSSQL.ini offers no such edition (it offers: " + offered + ")");
        ending.BadArgument = true;
        return false;
      }
      f.cmbMSSQLInstallINI.NotifySelected(item);
      f.UpdateNextButton(f.tsSQLInstall.PageIndex());
      if (!PressNext(f)) return false;
      if (!On(f, f.tsSQL)) {
        Refuse("the SQL Server " + o.SqlNew + " could not be installed (the log above says why)");
        return false;
      }
      return true;
    }
    if (o.SqlServer.empty()) {
      // The wizard's own choice, but only an existing server: nothing is installed unasked.
      if (!f.rbExistMSSQL.Checked()) {
        Refuse("a new installation needs /SQLSERVER= or /SQLNEW=: this computer has no SQL Server instance");
        return false;
      }
      if (!PressNext(f) || !On(f, f.tsSQL)) return false;
      Note("SQL Server " + f.cmbSQLServers.Text() + " (the wizard's choice)");
      return true;
    }
    if (ServerItem(f.cmbSQLServers.Items(), o.SqlServer) >= 0) {
      f.rbExistMSSQL.SetChecked(true);
      if (!PressNext(f) || !On(f, f.tsSQL)) return false;
      int item = ServerItem(f.cmbSQLServers.Items(), o.SqlServer);
      if (item < 0) return false;
      f.cmbSQLServers.NotifySelected(item);
      Note("SQL Server " + f.cmbSQLServers.Items()[static_cast<size_t>(item)] + " of this computer");
      return true;
    }
    f.rbNetMSSQL.SetChecked(true);
    if (!PressNext(f) || !On(f, f.tsSQLNet)) return false;
    int item = ServerItem(f.cmbMSSQLNetList.Items(), o.SqlServer);
    if (item >= 0) {
      f.cmbMSSQLNetList.NotifySelected(item);
    } else {
      // Not among the servers that answered the scan: written in, as the user may type it.
      f.cmbMSSQLNetList.SetItemIndex(-1);
      f.cmbMSSQLNetList.NotifyTextEdited(o.SqlServer);
    }
    Note("SQL Server " + o.SqlServer + " on the network");
    return true;
  }

  void ChooseDatabase() {
    bool local = On(f, f.tsSQL);
    ui::TRadioGroup& choice = local ? f.rgVolbaDB : f.rgVolbaDBNet;
    ui::TEdit& name = local ? f.edDBName : f.edtNetDBName;
    ui::TPanel& panel = local ? f.pnlDBName : f.pnlDBNetName;
    if (!o.Database.empty()) {
      // The smaller edition offers its prepared database or an empty one of a name: a name given
      // asks for the latter.
      if (!panel.Visible()) choice.SetItemIndex(1);
      name.SetText(o.Database);
    }
    Note("database " + (panel.Visible() ? name.Text() : std::string("(the prepared one)")));
  }

  // After the run: the completion page closes with the shortcuts the wizard offers, without
  // starting the product.
  void Finish() {
    if (f.Visible()) f.SetVisible(false);
    if (!On(f, f.tsUkonceni)) return;
    f.chkRunVelmor.SetChecked(false);
    Note(std::string("shortcuts: desktop ") + (f.chkPlocha.Checked() ? "yes" : "no") + ", Start menu " +
         (f.chkStartMenu.Checked() ? "yes" : "no"));
    PressNext(f);
  }

  TFInstall& f;
  const TCommandLine& o;
};

}  // namespace

TUnattendedAnswers::TUnattendedAnswers() : FPrevious(&MessagePresenter()) { SetMessagePresenter(this); }

TUnattendedAnswers::~TUnattendedAnswers() {
  SetMessagePresenter(FPrevious == this ? nullptr : FPrevious);
}

bool TUnattendedAnswers::ShowMessageForm(const std::string& text, const std::string& title, const std::string&,
                                         TMessageKind kind, int, const TNotifyEvent& runProc) {
  if ((kind == mkWait || kind == mkRunProc) && runProc) runProc(nullptr);
  if (kind == mkWait) return false;
  std::string line = OneLine(title.empty() ? text : title + ": " + text);
  if (kind == mkQuestion || kind == mkRetryCancel) {
    bool yes = false;
    if (state.TakePreparedFolder && kind == mkQuestion) {
      yes = true;  // the folder of a prepared Velmor.INI (the file itself is kept: No below)
      state.TakePreparedFolder = false;
    } else if (text == Msg(msgInstallationInterrupted)) {
      yes = true;  // the previous installation comes back from its backup
    } else if (text == Msg(msgAbortInstallation)) {
      // Only the user can press Stop, in the progress window of /SILENT.
      yes = true;
      state.ClosedByUser = true;
    }
    const char* answer = kind == mkRetryCancel ? (yes ? "Retry" : "Cancel") : (yes ? "Yes" : "No");
    Note(std::string("question answered ") + answer + ": " + line);
    return yes;
  }
  Note("message not shown: " + line);
  return false;
}

const TCommandLine* UnattendedOptions() { return state.Options; }

bool UnattendedWindowMayShow(const TFInstall& f) {
  if (!state.Options) return true;
  if (state.Options->VerySilent) return false;
  return On(f, f.tsZaloha) || On(f, f.tsCopyFiles) || On(f, f.tsObnova);
}

TTypeInstall UnattendedInstallType(TTypeInstall wizardChoice) {
  if (!state.Options || state.Options->Type.empty()) return wizardChoice;
  return static_cast<TTypeInstall>(state.Options->Type[0] - '0');
}

void UnattendedRunEnded(const engine::InstallRunResult& result) {
  if (!state.Options) return;
  state.Run = result;
  // The progress window of /SILENT goes with the run: neither the completion page nor the
  // directory page is shown; a restore brings it back for its own progress.
  if (state.Form && state.Form->Visible()) state.Form->SetVisible(false);
}

bool UnattendedError(const std::string& error) {
  if (!state.Options) return false;
  Refuse("an error ended the installation: " + error);
  state.Failed = true;
  StopRequested = true;
  return true;
}

void UnattendedRestoreEnded(bool restored) {
  if (!state.Options) return;
  state.Restored = restored;
  Note(restored ? "the previous installation has been restored from its backup"
                : "the previous installation could not be restored whole (the log above names what is left)");
}

int RunUnattendedWizard(TFInstall& form, const TCommandLine& options) {
  state = TUnattendedState{};
  state.Options = &options;
  state.Form = &form;
  Note(std::string(options.VerySilent ? "/VERYSILENT" : "/SILENT") + ": no questions, the safe answer to each");
  if (options.NoRestart) Note("/NORESTART: the installer never restarts Windows");
  ui::SetMainForm(&form);
  // The type the wizard chose when it was made, overridden now; its own later choices (the
  // directory check) are overridden as they are made.
  if (!options.Type.empty()) form.ApplyInstallType(UnattendedInstallType(tiKest));
  // The progress window of /SILENT: closing it stops the run at its next safe point (an update
  // is then restored); the window stays until the run has stopped.
  auto wizardClose = form.OnClose;
  form.OnClose = [&form, wizardClose](ui::TControl* sender, ui::TCloseAction& action) {
    if (form.Visible() && !Application().Terminated()) {
      Note("the user closed the progress window: the run stops at its next safe point");
      state.ClosedByUser = true;
      StopRequested = true;
      action = ui::TCloseAction::caNone;
      return;
    }
    if (wizardClose) wizardClose(sender, action);
  };
  TUnattendedEnding ending = TDriver(form, options).Run();
  form.OnClose = wizardClose;
  if (form.Visible()) form.SetVisible(false);
  int code = ExitCodeOf(ending);
  if (!ending.Outcome && !ending.BadArgument && !ending.ClosedByUser)
    Refuse("nothing was installed (page " + PageName(form) + ")");
  state = TUnattendedState{};
  return code;
}
