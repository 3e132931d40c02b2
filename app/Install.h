#pragma once
// TFInstall, the installer's one main window: the heading band pgcLogo, the wizard pages of
// pgcInstall and the button strip pnlOvladani. The form keeps the wizard's state between
// pages; what each page does when it is shown or left is decided here and in the pages'
// own modules, all through the controls' properties and events.
#include <cstdint>
#include <string>
#include <vector>

#include "app/DirectoryCheck.h"
#include "app/WizardHost.h"
#include "app/WizardState.h"
#include "engine/Progress.h"
#include "setup/Downloader.h"
#include "setup/ProductIndex.h"  // StopRequested, the program-wide stop request
#include "setup/PackageRecords.h"
#include "sql/SqlServerInstall.h"
#include "support/Catalogue.h"
#include "ui/Controls.h"

// The navigation buttons as a set (a small bit set of TButtonVisible).
enum TButtonVisible : unsigned char {
  btvUpdate,
  btvInstall,
  btvPrevious,
  btvOK,
  btvStop,
  btvNext,
  btvShowAll,
  btvStopDownload,
};

class TButtonsVisible {
 public:
  constexpr TButtonsVisible() = default;
  constexpr TButtonsVisible(std::initializer_list<TButtonVisible> values) {
    for (TButtonVisible v : values) FBits = static_cast<unsigned char>(FBits | (1u << v));
  }
  constexpr bool Contains(TButtonVisible v) const { return (FBits >> v) & 1u; }
  constexpr bool operator==(const TButtonsVisible&) const = default;

 private:
  unsigned char FBits = 0;
};

// The maker's addresses shown on the completion page and behind the logos.
namespace maker {
inline constexpr const char* WebAddress = "https://www.velmor.cz";
inline constexpr const char* HotlinePhone = "+420 541 000 555";
inline constexpr const char* HotlineMail = "hotline@velmor.cz";
inline constexpr const char* KnowledgeBase = "https://www.velmor.cz/tarpel/forum";
inline constexpr const char* Manual = "https://www.velmor.cz/tarpel/doc/cs";
inline constexpr const char* Address = "Dromak Solutions s.r.o.\r\nKřenová 1234/56\r\n602 00 Brno";
}  // namespace maker

class TFInstall : public ui::TForm {
 public:
  // The wizard asks everything of the computer through host and installs what definition
  // describes (a version chosen on tsVolbaSW is loaded into it); both outlive the form. start is
  // what start-up found out (the product index, the icon).
  TFInstall(TWizardHost& host, TSetupDat& definition, TWizardState start = {});
  ~TFInstall() override;

  TWizardHost& Host() const { return FHost; }
  // The host's plain message box; in an unattended installation the text goes to the log instead.
  void PlainMessageBox(const std::string& text);
  TSetupDat& Definition() const { return FDefinition; }

  // --- Wizard state ------------------------------------------------------------------------
  TWizardState State;

  // --- Window events -----------------------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void FormKeyDown(int& key, ui::TShiftState shift);
  // Every error no handler caught while the wizard runs ends here: logged, the error copy of
  // the log written, the error report shown, and the program asked to end.
  void ApplicationEvents1Exception(ui::TControl* sender, const std::string& error);

  // --- Services of the form ----------------------------------------------------------------
  bool ApplySetupDat(bool applyLanguage, bool stopIfNoServerList);
  void ApplyInstallType(TTypeInstall type);
  void SetHeadingText(const std::string& text);
  static int CaptionWidth(const std::string& text, const ui::TFont& font);
  void FitButtonWidths();
  void AktivujControl(int pageIndex);
  void SetFocusButton();

  // --- Languages ---------------------------------------------------------------------------
  void SetLanguage(TLanguage language);
  void Language();
  void SetPageCaption(int pageIndex);
  void rgbJazykClick(ui::TControl* sender);

  // --- Navigation (app/Navigation.cpp): buttons, the Next button, the page graph ------------
  void VisibleButton(TButtonsVisible set);
  void ShowPageButtons(int pageIndex, int mode);
  void UpdateNextButton(int pageIndex);
  // Writes btnNext's caption when it differs and fits the button's width to it.
  void SetNextCaption(const std::string& caption);
  // Makes the page the visible one and runs its show step.
  void ShowPage(ui::TTabSheet& page);
  void btnNextClick(ui::TControl* sender);
  void btnPreviousClick(ui::TControl* sender);
  void btnStopClick(ui::TControl* sender);
  void btnStopDownloadClick(ui::TControl* sender);
  void btnInstalovatClick(ui::TControl* sender);
  void Image1Click(ui::TControl* sender);
  // The version load of Next on tsVolbaSW: true when the chosen version's definition was
  // downloaded, loaded and applied.
  bool LoadSelectedVersion();
  // Refills rgVerzeSW from the product index and preselects the version chosen before.
  void RefillVersionList();
  // Next on tsAdresar: the directory prepared and the version findings clear.
  bool KontrolaObrAdresare();
  // Makes the window visible and paints it now, before a long step on the same thread.
  void ShowAndRepaint();

  // Page show handlers.
  void tsJazykShow();
  void tsAdresarShow();
  void tsVolbaSWShow();
  void tsZalohaShow();
  void tsCopyFilesShow();
  void tsUkonceniShow();
  void tsObnovaShow();
  // --- The SQL Server choice, local and network pages (app/SqlPages.cpp) ----------------------
  void WireSqlPages();
  void rbExistMSSQLClick(ui::TControl* sender);
  void cmbSQLServersChange(ui::TControl* sender);
  void cmbMSSQLNetListChange(ui::TControl* sender);
  void btnZnovuNacistClick(ui::TControl* sender);
  void rgVolbaDBClick(ui::TControl* sender);
  // Rescans the network into cmbMSSQLNetList and refreshes the network page's buttons.
  void DetectMSSQLNet();
  // The page's own language, buttons and focus (pages whose handler belongs to another step).
  void GenericPageShow(ui::TTabSheet& page);

  // --- Target directory check (app/DirectoryCheck.cpp) -------------------------------------
  bool PathSyntaxValid();
  bool KontrolaVerze();
  bool KontrolaAdresare();
  void ShowCheckError();
  void edtDir1Change(ui::TControl* sender);
  void Button2Click(ui::TControl* sender);

  // --- Installation run (app/InstallRun.cpp, app/InstallSteps.cpp) ---------------------------
  // The user's choices, the plan made from them, the plan carried out through the wizard's
  // pages, then the page the outcome leads to.
  void RunInstall();
  bool RecoveryPrevVelmor();
  // Before the completion page: one warning naming the selected packages that were not
  // installed (also in the log); nothing when every package was installed.
  void WarnNotInstalledPackages();

  // Fills cmbSQLServers with this computer's instances.
  void DetectMSSQLLocal();
  // Fetches MSSQL.ini and fills the edition list of tsSQLInstall (app/SqlInstallSteps.cpp).
  bool GetMSSQLInstallINI(const std::string& fileName, bool stopIfNoServerList);
  void tsSQLVolbaShow();
  void tsSQLShow();
  void tsSQLNetShow();
  void tsSQLInstallShow();
  // The database-choice refresh of rgVolbaDBNet before tsSQLNet shows its buttons.
  void RefreshDatabaseChoiceNet();
  // The acceptance checks of the local and the network server page; true starts the run.
  bool KontrolaSQLLocal();
  bool KontrolaSQLNet();
  // The SQL Server installation sequence of Next on tsSQLInstall; true goes on to tsSQL.
  bool InstallMSSQLSequence();
  // The completion step of Close on tsUkonceni (shortcuts, start of the product); it ends by
  // closing the window.
  void DokonceniInstalace();
  // Writes the product configuration at the end of a complete extraction.
  void CreateVelmorINI();

  // Gets one package archive (local kit, folder or web location) with the download's bar.
  bool StahniSoubor(const std::string& fileName, std::string& fileNameWithPath, const std::string& sha256 = "");
  // Logged, reported through the host, and the window closed: the program ends.
  void RunErrorReport(const std::string& error);
  // Loads an icon resource as the application's and the window's icon.
  void LoadApplicationIcon(const std::string& resourceName);
  void Label6Click(ui::TControl* sender);
  void Label11Click(ui::TControl* sender);

  // --- Controls, parents before their children ---------------------------------------------
  ui::TPageControl pgcLogo{this, "pgcLogo"};
  ui::TTabSheet tsLogov2{&pgcLogo, "tsLogov2"};
  ui::TBevel bvlLogov2{&tsLogov2, "bvlLogov2"};
  ui::TImage Image1{&tsLogov2, "Image1"};
  ui::TLabel lblObrazovkaInfov2{&tsLogov2, "lblObrazovkaInfov2"};
  ui::TTabSheet tsLogov3{&pgcLogo, "tsLogov3"};
  ui::TBevel bvlLogov3{&tsLogov3, "bvlLogov3"};
  ui::TImage imgVelTarpel{&tsLogov3, "imgVelTarpel"};
  ui::TLabel lblObrazovkaInfov3{&tsLogov3, "lblObrazovkaInfov3"};
  ui::TTabSheet tsLogoV3Kest{&pgcLogo, "tsLogoV3Kest"};
  ui::TBevel bvlLogoV3Kest{&tsLogoV3Kest, "bvlLogoV3Kest"};
  ui::TImage Image3{&tsLogoV3Kest, "Image3"};
  ui::TLabel lblObrazovkaInfov3Kest{&tsLogoV3Kest, "lblObrazovkaInfov3Kest"};

  ui::TPanel pnlOvladani{this, "pnlOvladani"};
  ui::TBevel bvlOvladani{&pnlOvladani, "bvlOvladani"};
  ui::TButton btnPrevious{&pnlOvladani, "btnPrevious"};
  ui::TButton btnNext{&pnlOvladani, "btnNext"};
  ui::TButton btnUpdate{&pnlOvladani, "btnUpdate"};
  ui::TButton btnInstalovat{&pnlOvladani, "btnInstalovat"};
  ui::TButton btnOK{&pnlOvladani, "btnOK"};
  ui::TButton btnBack{&pnlOvladani, "btnBack"};
  ui::TButton btnStop{&pnlOvladani, "btnStop"};
  ui::TButton btnStopDownload{&pnlOvladani, "btnStopDownload"};

  ui::TPageControl pgcInstall{this, "pgcInstall"};

  ui::TTabSheet tsJazyk{&pgcInstall, "tsJazyk"};
  ui::TRadioGroup rgbJazyk{&tsJazyk, "rgbJazyk"};

  ui::TTabSheet tsAdresar{&pgcInstall, "tsAdresar"};
  ui::TLabel lblInstallDirectory{&tsAdresar, "lblInstallDirectory"};
  ui::TEdit edDir{&tsAdresar, "edDir"};
  ui::TButton ColorButton2{&tsAdresar, "ColorButton2"};
  ui::TLabel lblVersioInfo{&tsAdresar, "lblVersioInfo"};
  ui::TLabel lblVerze{&tsAdresar, "lblVerze"};
  ui::TLabel lblErrorDirVer{&tsAdresar, "lblErrorDirVer"};

  ui::TTabSheet tsSQLVolba{&pgcInstall, "tsSQLVolba"};
  ui::TLabel lblPopisSQL{&tsSQLVolba, "lblPopisSQL"};
  ui::TGroupBox GroupBox1{&tsSQLVolba, "GroupBox1"};
  ui::TRadioButton rbExistMSSQL{&GroupBox1, "rbExistMSSQL"};
  ui::TRadioButton rbNewMSSQL{&GroupBox1, "rbNewMSSQL"};
  ui::TRadioButton rbNetMSSQL{&GroupBox1, "rbNetMSSQL"};

  ui::TTabSheet tsSQL{&pgcInstall, "tsSQL"};
  ui::TLabel lblLocalMSSQL{&tsSQL, "lblLocalMSSQL"};
  ui::TComboBox cmbSQLServers{&tsSQL, "cmbSQLServers"};
  ui::TLabel lblVolbaDB{&tsSQL, "lblVolbaDB"};
  ui::TRadioGroup rgVolbaDB{&tsSQL, "rgVolbaDB"};
  ui::TPanel pnlDBName{&tsSQL, "pnlDBName"};
  ui::TLabel lblDBName{&pnlDBName, "lblDBName"};
  ui::TEdit edDBName{&pnlDBName, "edDBName"};

  ui::TTabSheet tsSQLInstall{&pgcInstall, "tsSQLInstall"};
  ui::TLabel lblInstanceMSSQL{&tsSQLInstall, "lblInstanceMSSQL"};
  ui::TComboBox cmbMSSQLInstallINI{&tsSQLInstall, "cmbMSSQLInstallINI"};
  ui::TButton btnInstallMSSQL{&tsSQLInstall, "btnInstallMSSQL"};
  ui::TPanel PnlDownLoad{&tsSQLInstall, "PnlDownLoad"};
  ui::TLabel lblDownload{&PnlDownLoad, "lblDownload"};
  ui::TProgressBar ProgressDownload{&PnlDownLoad, "ProgressDownload"};

  ui::TTabSheet tsZaloha{&pgcInstall, "tsZaloha"};
  ui::TLabel lblBackup{&tsZaloha, "lblBackup"};
  ui::TLabel lblFileName{&tsZaloha, "lblFileName"};
  ui::TProgressBar ProgressBackup{&tsZaloha, "ProgressBackup"};

  ui::TTabSheet tsCopyFiles{&pgcInstall, "tsCopyFiles"};
  ui::TImage Image2{&tsCopyFiles, "Image2"};
  ui::TLabel lblInstallVelmor{&tsCopyFiles, "lblInstallVelmor"};
  ui::TLabel lblCopyFile{&tsCopyFiles, "lblCopyFile"};
  ui::TProgressBar ProgressCopyFile{&tsCopyFiles, "ProgressCopyFile"};
  ui::TLabel lblSumaryInstall{&tsCopyFiles, "lblSumaryInstall"};
  ui::TProgressBar ProgressCopyInstall{&tsCopyFiles, "ProgressCopyInstall"};

  ui::TTabSheet tsUkonceni{&pgcInstall, "tsUkonceni"};
  ui::TLabel Label1{&tsUkonceni, "Label1"};
  ui::TMemo Memo1{&tsUkonceni, "Memo1"};
  ui::TCheckBox chkRunVelmor{&tsUkonceni, "chkRunVelmor"};
  ui::TCheckBox chkPlocha{&tsUkonceni, "chkPlocha"};
  ui::TCheckBox chkStartMenu{&tsUkonceni, "chkStartMenu"};
  ui::TBevel bvlKontakty{&tsUkonceni, "bvlKontakty"};
  ui::TLabel labHotTelefon{&tsUkonceni, "labHotTelefon"};
  ui::TLabel Label4{&tsUkonceni, "Label4"};
  ui::TLabel labHotEmail{&tsUkonceni, "labHotEmail"};
  ui::TLabel Label6{&tsUkonceni, "Label6"};
  ui::TLabel labZalostDB{&tsUkonceni, "labZalostDB"};
  ui::TLabel Label9{&tsUkonceni, "Label9"};
  ui::TLabel labPrirucka{&tsUkonceni, "labPrirucka"};
  ui::TLabel Label11{&tsUkonceni, "Label11"};
  ui::TLabel labWeb{&tsUkonceni, "labWeb"};
  ui::TLabel Label13{&tsUkonceni, "Label13"};

  ui::TTabSheet tsObnova{&pgcInstall, "tsObnova"};
  ui::TPanel pnlRecovProgr{&tsObnova, "pnlRecovProgr"};
  ui::TLabel lblRecovery{&pnlRecovProgr, "lblRecovery"};
  ui::TLabel lblFileNameRecov{&pnlRecovProgr, "lblFileNameRecov"};
  ui::TProgressBar ProgressBarRecov{&pnlRecovProgr, "ProgressBarRecov"};
  ui::TPanel pnlRecovResult{&tsObnova, "pnlRecovResult"};
  ui::TLabel lblResultRecov{&pnlRecovResult, "lblResultRecov"};

  ui::TTabSheet tsSQLNet{&pgcInstall, "tsSQLNet"};
  ui::TLabel labTSQLNetFind{&tsSQLNet, "labTSQLNetFind"};
  ui::TComboBox cmbMSSQLNetList{&tsSQLNet, "cmbMSSQLNetList"};
  ui::TButton btnZnovuNacist{&tsSQLNet, "btnZnovuNacist"};
  ui::TLabel lblVolbaDBNet{&tsSQLNet, "lblVolbaDBNet"};
  ui::TRadioGroup rgVolbaDBNet{&tsSQLNet, "rgVolbaDBNet"};
  ui::TPanel pnlDBNetName{&tsSQLNet, "pnlDBNetName"};
  ui::TLabel lblNameDBNet{&pnlDBNetName, "lblNameDBNet"};
  ui::TEdit edtNetDBName{&pnlDBNetName, "edtNetDBName"};

  ui::TTabSheet tsVolbaSW{&pgcInstall, "tsVolbaSW"};
  ui::TRadioGroup rgVerzeSW{&tsVolbaSW, "rgVerzeSW"};

  // The SQL Server editions of MSSQL.ini and their installation (the page tsSQLInstall).
  TSQLServerInstall SQLServerInstall{{cmbMSSQLInstallINI, PnlDownLoad, lblDownload, ProgressDownload,
                                      [this](bool stopDownload) {
                                        VisibleButton(stopDownload ? TButtonsVisible{btvStopDownload}
                                                                   : TButtonsVisible{});
                                      },
                                      [this] { return Handle(); }}};

  // The language-button references of the language page (cleared at creation).
  ui::TRadioButton* btnJazyk[4] = {nullptr, nullptr, nullptr, nullptr};

 private:
  TWizardHost& FHost;
  TSetupDat& FDefinition;
  void LayOut();
  void LayOutHeading();
  void LayOutButtons();
  void LayOutPages();
  void WireEvents();
  void DatabaseOptions(ui::TRadioGroup& group);
  void FormClose();
  bool FInFormShow = false;
  bool FRunning = false;  // an installation run is in progress
  bool FLoadingVersion = false;  // the version page's Next is loading a definition
};
