#include "app/Install.h"
#include "app/Unattended.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "app/Startup.h"
#include "app/Style.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "setup/SetupDat.h"
#include "sql/Completion.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SetupInfo.h"
#include "ui/Application.h"

namespace {

// Sizes of the window and its three bands.
constexpr int kClientWidth = 754;
constexpr int kClientHeight = 711;
constexpr int kHeadingHeight = 120;
constexpr int kStripHeight = 75;
constexpr int kStripMargin = 18;
constexpr int kBevel = 2;
constexpr int kButtonHeight = 34;
constexpr int kButtonGap = 10;

// Page content: a left edge and a width shared by every page.
constexpr int kPageLeft = 40;
constexpr int kPageWidth = kClientWidth - 2 * kPageLeft;

ui::TFont PageFont(int height = 13, bool bold = false) {
  ui::TFont f;
  f.Name = "Tahoma";
  f.Height = height;
  f.Bold = bold;
  f.Color = CurrentStyle().Text;
  return f;
}

ui::TFont HeadingFont() {
  ui::TFont f;
  f.Name = "Segoe UI";
  f.Height = 19;
  f.Color = CurrentStyle().HeadingText;
  return f;
}

ui::TFont ButtonFont() {
  ui::TFont f;
  f.Name = "Tahoma";
  f.Height = 16;
  f.Bold = true;
  f.Color = 3355443;
  return f;
}

void Place(ui::TControl& c, int left, int top, int width, int height) { c.SetBounds(left, top, width, height); }

// A label of fixed width that wraps its text.
void WrapLabel(ui::TLabel& l, int left, int top, int width, int height, const ui::TFont& font) {
  l.SetAutoSize(false);
  l.SetWordWrap(true);
  l.SetFont(font);
  Place(l, left, top, width, height);
}

// A one-line label that sizes itself to its text.
void TextLabel(ui::TLabel& l, int left, int top, const ui::TFont& font) {
  l.SetFont(font);
  l.SetAutoSize(true);
  l.SetLeft(left);
  l.SetTop(top);
}

}  // namespace

TFInstall::TFInstall(TWizardHost& host, TSetupDat& definition, TWizardState start)
    : ui::TForm("FInstall"), State(std::move(start)), FHost(host), FDefinition(definition) {
  SetWindowClassName(WizardWindowClass);
  SetCaption("Instalace software VELMOR");
  SetBorderStyle(ui::TBorderStyle::bsSingle);
  SetMaximizeBox(false);
  SetMinimizeBox(true);
  SetPosition(ui::TPosition::poScreenCenter);
  SetKeyPreview(true);
  // The wizard is the application's main window: the reports are centred on it, and an error
  // that escapes a handler run while a long step lets messages through comes here, not to the
  // step that was waiting.
  ui::SetMainForm(this);
  // The SQL Server files come the way every other file of the definition comes.
  SQLServerInstall.Definition = &FDefinition;
  SQLServerInstall.Fetch = [this](const std::string& fileName, std::string& path, engine::ProgressSink* progress,
                                  bool reportError) {
    return FHost.StahniSoubor(FDefinition, fileName, path, progress, reportError, true, "");
  };
  Application().OnException = [this](const std::string& error) { ApplicationEvents1Exception(nullptr, error); };
  ui::TFont f;
  f.Name = "Tahoma";
  f.Height = 11;
  f.Color = CurrentStyle().Text;
  SetFont(f);
  SetColor(CurrentStyle().Window);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  LayOut();
  WireEvents();
}

TFInstall::~TFInstall() {
  if (ui::MainForm() == this) {
    ui::SetMainForm(nullptr);
    Application().OnException = nullptr;
  }
}

// --- Layout ------------------------------------------------------------------------------------

void TFInstall::LayOut() {
  LayOutHeading();
  LayOutButtons();
  pgcInstall.SetAlign(ui::TAlign::alClient);
  pgcInstall.SetColor(CurrentStyle().Window);
  LayOutPages();
}

void TFInstall::LayOutHeading() {
  pgcLogo.SetAlign(ui::TAlign::alTop);
  pgcLogo.SetHeight(kHeadingHeight);
  pgcLogo.SetColor(CurrentStyle().Heading);

  struct Look {
    ui::TTabSheet& sheet;
    ui::TBevel& bevel;
    ui::TImage& logo;
    ui::TLabel& heading;
    const char* picture;
    int logoWidth;
    bool logoLeft;
  } looks[] = {
      {tsLogov2, bvlLogov2, Image1, lblObrazovkaInfov2, "LogoV2", 160, false},
      {tsLogov3, bvlLogov3, imgVelTarpel, lblObrazovkaInfov3, "LogoV3Tarpel", 313, true},
      {tsLogoV3Kest, bvlLogoV3Kest, Image3, lblObrazovkaInfov3Kest, "LogoV3Kest", 313, true},
  };
  for (Look& l : looks) {
    l.sheet.SetColor(CurrentStyle().Heading);
    l.bevel.SetShape(ui::TBevelShape::bsTopLine);  // a 2-pixel control: the etched line fills it
    l.bevel.SetAlign(ui::TAlign::alBottom);
    l.bevel.SetHeight(kBevel);
    l.logo.SetPicture(l.picture);
    l.logo.SetCenter(true);
    l.logo.SetAlign(l.logoLeft ? ui::TAlign::alLeft : ui::TAlign::alRight);
    l.logo.SetWidth(l.logoWidth);
    l.logo.SetHint(maker::WebAddress);
    l.logo.SetCursor(-21);  // the hand: the logo opens the maker's web site
    l.heading.SetFont(HeadingFont());
    l.heading.SetAutoSize(false);
    l.heading.SetWordWrap(true);
    l.heading.SetLayout(ui::TTextLayout::tlCenter);
    l.heading.SetAlignment(l.logoLeft ? ui::TAlignment::taRightJustify : ui::TAlignment::taLeftJustify);
    l.heading.SetAlignWithMargins(true);
    l.heading.SetMargins({l.logoLeft ? 12 : 32, 8, l.logoLeft ? 32 : 12, 8});
    l.heading.SetAlign(ui::TAlign::alClient);
  }
}

void TFInstall::LayOutButtons() {
  pnlOvladani.SetAlign(ui::TAlign::alBottom);
  pnlOvladani.SetHeight(kStripHeight);
  pnlOvladani.SetColor(CurrentStyle().ButtonStrip);
  pnlOvladani.SetPadding({kStripMargin, 0, kStripMargin, 0});
  bvlOvladani.SetShape(ui::TBevelShape::bsTopLine);
  bvlOvladani.SetAlign(ui::TAlign::alTop);
  bvlOvladani.SetHeight(kBevel);

  // The strip is 75 high: a 2-pixel line, an 18-pixel margin, the 34-pixel button, the rest.
  const int bottom = kStripHeight - kBevel - kStripMargin - kButtonHeight;
  struct Design {
    ui::TButton& button;
    int width;
  } buttons[] = {{btnNext, 130},   {btnInstalovat, 130}, {btnUpdate, 130}, {btnStop, 100},
                 {btnStopDownload, 173}, {btnOK, 100},   {btnBack, 100},   {btnPrevious, 130}};
  for (Design& d : buttons) {
    d.button.SetFont(ButtonFont());
    d.button.SetAlignWithMargins(true);
    d.button.SetMargins({kButtonGap, kStripMargin, 0, bottom});
    d.button.SetAlign(ui::TAlign::alRight);
    d.button.SetWidth(d.width);
    d.button.SetHeight(kButtonHeight);
  }
  btnPrevious.SetMargins({0, kStripMargin, 0, bottom});
  // The design captions; Language and the page steps write the real ones.
  btnNext.SetCaption("Next");
  btnPrevious.SetCaption("Previous");
  btnUpdate.SetCaption("Update version");
  btnInstalovat.SetCaption("Install");
  btnOK.SetCaption("OK");
  btnBack.SetCaption("Back");
  btnStop.SetCaption("Terminate");
  btnStopDownload.SetCaption("Terminate download");
  btnNext.SetDefault(true);
}

void TFInstall::LayOutPages() {
  const ui::TFont text = PageFont();
  const ui::TFont bold = PageFont(13, true);
  const ui::TFont title = PageFont(16, true);

  // tsJazyk: the four interface languages.
  rgbJazyk.SetFont(PageFont(15));
  Place(rgbJazyk, kPageLeft + 150, 70, 374, 230);
  rgbJazyk.SetItems({LanguageItems.begin(), LanguageItems.end()});
  rgbJazyk.SetItemIndex(0);

  // tsAdresar: the target directory and what the check found there.
  TextLabel(lblInstallDirectory, kPageLeft, 50, bold);
  edDir.SetFont(PageFont(15));
  Place(edDir, kPageLeft, 74, kPageWidth - 52, 28);
  ColorButton2.SetGlyph("Folder");
  ColorButton2.SetCaption("");
  Place(ColorButton2, kPageLeft + kPageWidth - 44, 73, 44, 30);
  WrapLabel(lblVersioInfo, kPageLeft, 130, kPageWidth, 20, text);
  TextLabel(lblVerze, kPageLeft, 154, title);
  ui::TFont red = bold;
  red.Color = CurrentStyle().Error;
  WrapLabel(lblErrorDirVer, kPageLeft, 200, kPageWidth, 280, red);

  // tsSQLVolba: how to reach SQL Server.
  WrapLabel(lblPopisSQL, kPageLeft, 30, kPageWidth, 80, PageFont(14));
  GroupBox1.SetFont(text);
  Place(GroupBox1, kPageLeft, 130, kPageWidth, 170);
  ui::TRadioButton* choices[] = {&rbExistMSSQL, &rbNewMSSQL, &rbNetMSSQL};
  for (int i = 0; i < 3; ++i) {
    choices[i]->SetFont(PageFont(14));
    Place(*choices[i], 24, 30 + i * 44, kPageWidth - 48, 26);
  }

  // tsSQL: a server of this computer and the database.
  TextLabel(lblLocalMSSQL, kPageLeft, 36, bold);
  cmbSQLServers.SetStyle(ui::TComboStyle::csDropDownList);
  cmbSQLServers.SetFont(PageFont(14));
  Place(cmbSQLServers, kPageLeft, 60, 460, 26);
  TextLabel(lblVolbaDB, kPageLeft, 116, bold);
  rgVolbaDB.SetFont(text);
  Place(rgVolbaDB, kPageLeft, 138, kPageWidth, 88);
  pnlDBName.SetColor(ui::clDefault);
  Place(pnlDBName, kPageLeft, 250, kPageWidth, 60);
  TextLabel(lblDBName, 0, 0, bold);
  edDBName.SetFont(PageFont(14));
  Place(edDBName, 0, 24, 460, 26);

  // tsSQLInstall: a SQL Server edition to download and install.
  WrapLabel(lblInstanceMSSQL, kPageLeft, 36, kPageWidth, 20, bold);
  cmbMSSQLInstallINI.SetStyle(ui::TComboStyle::csDropDownList);
  cmbMSSQLInstallINI.SetFont(PageFont(14));
  Place(cmbMSSQLInstallINI, kPageLeft, 60, kPageWidth, 26);
  btnInstallMSSQL.SetFont(bold);
  Place(btnInstallMSSQL, kPageLeft, 110, 420, 32);
  btnInstallMSSQL.SetVisible(false);
  Place(PnlDownLoad, kPageLeft, 170, kPageWidth, 70);
  PnlDownLoad.SetVisible(false);
  WrapLabel(lblDownload, 0, 0, kPageWidth, 20, text);
  Place(ProgressDownload, 0, 28, kPageWidth, 22);

  // tsZaloha: the backup of what the target directory held.
  TextLabel(lblBackup, kPageLeft, 60, title);
  WrapLabel(lblFileName, kPageLeft, 100, kPageWidth, 36, text);
  Place(ProgressBackup, kPageLeft, 146, kPageWidth, 22);

  // tsCopyFiles: the packages being extracted.
  Image2.SetPicture("CopyFiles");
  Place(Image2, kPageLeft, 40, 96, 96);
  const int copyLeft = kPageLeft + 120, copyWidth = kPageWidth - 120;
  TextLabel(lblInstallVelmor, copyLeft, 44, title);
  WrapLabel(lblCopyFile, copyLeft, 84, copyWidth, 36, text);
  Place(ProgressCopyFile, copyLeft, 124, copyWidth, 22);
  TextLabel(lblSumaryInstall, copyLeft, 178, bold);
  Place(ProgressCopyInstall, copyLeft, 202, copyWidth, 22);

  // tsUkonceni: done; shortcuts, start, and where to get help.
  WrapLabel(Label1, kPageLeft, 24, kPageWidth, 26, title);
  Memo1.SetFont(text);
  Memo1.SetReadOnly(true);
  Memo1.SetWordWrap(true);
  Memo1.SetText(maker::Address);
  Place(Memo1, kPageLeft, 62, 320, 62);
  ui::TCheckBox* boxes[] = {&chkRunVelmor, &chkPlocha, &chkStartMenu};
  for (int i = 0; i < 3; ++i) {
    boxes[i]->SetFont(PageFont(14));
    Place(*boxes[i], kPageLeft, 146 + i * 32, kPageWidth, 24);
  }
  chkRunVelmor.SetChecked(true);
  bvlKontakty.SetShape(ui::TBevelShape::bsTopLine);
  Place(bvlKontakty, kPageLeft, 256, kPageWidth, kBevel);
  struct Row {
    ui::TLabel& caption;
    ui::TLabel& value;
    const char* text;
    bool link;
  } rows[] = {{labHotTelefon, Label4, maker::HotlinePhone, false},
              {labHotEmail, Label6, maker::HotlineMail, true},
              {labZalostDB, Label9, maker::KnowledgeBase, true},
              {labPrirucka, Label11, maker::Manual, true},
              {labWeb, Label13, maker::WebAddress, true}};
  int y = 274;
  for (Row& r : rows) {
    TextLabel(r.caption, kPageLeft, y, bold);
    ui::TFont valueFont = text;
    if (r.link) valueFont.Color = ui::RGBColor(0x1f, 0x5f, 0xa8);
    TextLabel(r.value, kPageLeft + 200, y, valueFont);
    r.value.SetCaption(r.text);
    if (r.link) r.value.SetCursor(-21);
    y += 30;
  }

  // tsObnova: restoring the previous installation.
  Place(pnlRecovProgr, kPageLeft, 40, kPageWidth, 140);
  TextLabel(lblRecovery, 0, 20, title);
  WrapLabel(lblFileNameRecov, 0, 60, kPageWidth, 36, text);
  Place(ProgressBarRecov, 0, 102, kPageWidth, 22);
  Place(pnlRecovResult, kPageLeft, 200, kPageWidth, 80);
  WrapLabel(lblResultRecov, 0, 20, kPageWidth, 50, title);

  // tsSQLNet: a server of the network and the database.
  WrapLabel(labTSQLNetFind, kPageLeft, 36, kPageWidth, 20, bold);
  // A name may be typed, but only a server picked from the list leads on.
  cmbMSSQLNetList.SetStyle(ui::TComboStyle::csDropDown);
  cmbMSSQLNetList.SetFont(PageFont(14));
  Place(cmbMSSQLNetList, kPageLeft, 62, 460, 26);
  btnZnovuNacist.SetFont(bold);
  Place(btnZnovuNacist, kPageLeft + 476, 60, 150, 30);
  TextLabel(lblVolbaDBNet, kPageLeft, 116, bold);
  rgVolbaDBNet.SetFont(text);
  Place(rgVolbaDBNet, kPageLeft, 138, kPageWidth, 88);
  Place(pnlDBNetName, kPageLeft, 250, kPageWidth, 60);
  TextLabel(lblNameDBNet, 0, 0, bold);
  edtNetDBName.SetFont(PageFont(14));
  Place(edtNetDBName, 0, 24, 460, 26);

  // tsVolbaSW: the product versions of the index.
  rgVerzeSW.SetFont(PageFont(14));
  Place(rgVerzeSW, kPageLeft, 30, kPageWidth, 200);
}

void TFInstall::WireEvents() {
  OnShow = [this](ui::TControl*) { FormShow(); };
  OnClose = [this](ui::TControl*, ui::TCloseAction&) { FormClose(); };
  OnKeyDown = [this](ui::TControl*, int& key, ui::TShiftState shift) { FormKeyDown(key, shift); };
  rgbJazyk.OnClick = [this](ui::TControl* s) { rgbJazykClick(s); };
  btnNext.OnClick = [this](ui::TControl* s) { btnNextClick(s); };
  btnUpdate.OnClick = [this](ui::TControl* s) { btnNextClick(s); };
  btnPrevious.OnClick = [this](ui::TControl* s) { btnPreviousClick(s); };
  btnStop.OnClick = [this](ui::TControl* s) { btnStopClick(s); };
  btnStopDownload.OnClick = [this](ui::TControl* s) { btnStopDownloadClick(s); };
  btnInstalovat.OnClick = [this](ui::TControl* s) { btnInstalovatClick(s); };
  edDir.OnChange = [this](ui::TControl* s) { edtDir1Change(s); };
  ColorButton2.OnClick = [this](ui::TControl* s) { Button2Click(s); };
  for (ui::TImage* logo : {&Image1, &imgVelTarpel, &Image3})
    logo->OnClick = [this](ui::TControl* s) { Image1Click(s); };
  Label6.OnClick = [this](ui::TControl* s) { Label6Click(s); };
  for (ui::TLabel* link : {&Label9, &Label11, &Label13})
    link->OnClick = [this](ui::TControl* s) { Label11Click(s); };
  WireSqlPages();
}

// --- Window events -----------------------------------------------------------------------------

void TFInstall::FormCreate() {
  LogProcedure log("FormCreate");
  State.idxVerzeSW = -1;
  SetHeadingText("");
  pgcLogo.SetTabHeight(1);
  pgcLogo.SetTabWidth(1);
  btnPrevious.SetAlign(ui::TAlign::alLeft);
  State.AdrInstall = "C:\\Velmor";
  {
    // The field's design text: the directory check runs once the page is in use.
    ui::TControlEvent onChange = std::move(edDir.OnChange);
    edDir.SetText(State.AdrInstall);
    edDir.OnChange = std::move(onChange);
  }
  VisibleButton({});
  for (auto& b : btnJazyk) b = nullptr;
  chkStartMenu.SetChecked(true);
  chkPlocha.SetChecked(true);
  pgcInstall.SetActivePage(&tsJazyk);
  pgcLogo.SetActivePage(&tsLogov2);
  State.BackupVelmor.clear();
  DetectMSSQLLocal();
  State.ObnovaPrevVelmor = false;
  if (FDefinition.LoadedSetupDat()) ApplySetupDat(true, true);
}

void TFInstall::FormShow() {
  LogProcedure log("FormShow");
  pgcInstall.SetTabHeight(1);
  pgcInstall.SetTabWidth(1);
  pgcInstall.SetStyle(ui::TTabStyle::tsFlatButtons);
  for (int i = 0; i < pgcInstall.PageCount(); ++i) pgcInstall.Pages(i).SetCaption("");
  // The page on top becomes visible now: run its show step.
  FInFormShow = true;
  if (ui::TTabSheet* page = pgcInstall.ActivePage()) ShowPage(*page);
  FInFormShow = false;
}

void TFInstall::FormClose() {
  // Closing the window ends the program on every page. A step that is still running (a
  // download, the wait for SQL Server setup, a version load, the installation run) stops at its
  // next point, and nothing more is shown or asked (a finished backup stays on disk).
  if (!Application().Terminated())
    InstallLog().Add(FRunning ? "The wizard window was closed during the installation run"
                              : "The wizard window was closed");
  StopRequested = true;
  Application().Terminate();
}

void TFInstall::FormDestroy() { LogProcedure log("FormDestroy"); }

void TFInstall::FormKeyDown(int& key, ui::TShiftState shift) {
  LogProcedure log("FormKeyDown");
  if (shift == ui::ssCtrl && key == 'I') FHost.ShowSystemInformation(*this);
}

void TFInstall::ApplicationEvents1Exception(ui::TControl*, const std::string& error) { RunErrorReport(error); }

void TFInstall::RunErrorReport(const std::string& error) {
  if (UnattendedError(error)) return;  // nobody is there to read a report
  FHost.ReportError(error, FDefinition.TechSupport());  // log, error log, report dialog, terminate
  Close();
}

void TFInstall::LoadApplicationIcon(const std::string& resourceName) { FHost.LoadApplicationIcon(*this, resourceName); }

void TFInstall::Image1Click(ui::TControl*) { FHost.OpenAddress(*this, Image1.Hint()); }

// --- Services ----------------------------------------------------------------------------------

bool TFInstall::ApplySetupDat(bool applyLanguage, bool stopIfNoServerList) {
  try {
    if (!GetMSSQLInstallINI("MSSQL.ini", stopIfNoServerList)) return false;
  } catch (const std::exception& e) {
    InstallLog().AddError(e.what());
    return false;
  }
  const TSetupDat& def = FDefinition;
  if (def.VersionProd() == 1) {
    if (State.IconVariant != 3) {
      LoadApplicationIcon("IcoVel3");
      State.IconVariant = 3;
    }
  } else if (State.IconVariant != 2) {
    LoadApplicationIcon("IcoVel2");
    State.IconVariant = 2;
  }

  std::error_code ec;
  if (!def.InstallPathAlter().empty() && std::filesystem::is_directory(platform::PathFromUtf8(def.InstallPathAlter()), ec))
    State.AdrInstall = def.InstallPathAlter();
  else
    State.AdrInstall = def.InstallPath();
  edDir.SetText(State.AdrInstall);

  if (applyLanguage) {
    TLanguageChoice choice = LanguageFromInstallLang(def.InstallLang());
    rgbJazyk.SetItemIndex(choice.Item);
    SetLanguage(choice.Language);
  }
  ApplyInstallType(def.OnlyVersion() && def.TypInst() < 2 ? tiKest : tiTarpel);
  return true;
}

void TFInstall::ApplyInstallType(TTypeInstall type) {
  type = UnattendedInstallType(type);  // /TYPE= of an unattended installation
  State.FInstallType = type;
  switch (FDefinition.VersionProd()) {
    case 0:
      pgcLogo.SetActivePage(&tsLogov2);
      break;
    case 1:
      pgcLogo.SetActivePage(type == tiKest || type == tiKestUpdate ? &tsLogoV3Kest : &tsLogov3);
      break;
    default:
      break;
  }
}

void TFInstall::SetHeadingText(const std::string& text) {
  lblObrazovkaInfov2.SetCaption(text);
  lblObrazovkaInfov3.SetCaption(text);
  lblObrazovkaInfov3Kest.SetCaption(text);
}

int TFInstall::CaptionWidth(const std::string& text, const ui::TFont& font) {
  return ui::TextWidth(text, font) + 50;
}

void TFInstall::FitButtonWidths() {
  for (ui::TButton* b : {&btnNext, &btnPrevious, &btnOK, &btnBack, &btnStop, &btnInstalovat, &btnZnovuNacist})
    b->SetWidth(CaptionWidth(b->Caption(), b->Font()));
}

void TFInstall::SetFocusButton() {
  LogProcedure log("SetFocusButton");
  for (ui::TButton* b : {&btnNext, &btnOK, &btnPrevious, &btnStop}) {
    if (b->Visible()) {
      b->SetFocus();
      return;
    }
  }
}

// --- Languages ---------------------------------------------------------------------------------

void TFInstall::SetLanguage(TLanguage language) {
  SetCurrentLanguage(language);
  Language();
  int page = pgcInstall.ActivePageIndex();
  SetPageCaption(page);
  UpdateNextButton(page);
  FitButtonWidths();
}

void TFInstall::DatabaseOptions(ui::TRadioGroup& group) {
  group.Clear();
  group.AddItem(DatabaseOptionIndent + Msg(msgPresetDatabase));
  group.AddItem(DatabaseOptionIndent + Msg(msgEmptyDatabase));
  // After both items: adding an item makes the group's buttons anew.
  group.Buttons(0).SetEnabled(State.FInstallType == tiKest || State.FInstallType == tiKestUpdate);
  group.SetItemIndex(1);
}

void TFInstall::Language() {
  LogProcedure log("Language");
  for (const TControlText& row : LanguageControlTexts) {
    ui::TControl* control = FindControl(row.Control);
    if (!control) continue;
    switch (row.Kind) {
      case TControlTextKind::Caption:
        control->SetCaption(Msg(*row.Text));
        break;
      case TControlTextKind::FormattedCaption:
        control->SetCaption(FormatMsg(*row.Text));
        break;
      case TControlTextKind::ProductInstalled:
        control->SetCaption(FormatMsg(*row.Text, ProductDisplayName(State.FInstallType)));
        break;
      case TControlTextKind::DatabaseOptions:
        if (auto* group = dynamic_cast<ui::TRadioGroup*>(control)) DatabaseOptions(*group);
        break;
    }
  }
}

void TFInstall::SetPageCaption(int pageIndex) {
  if (pageIndex < 0 || pageIndex >= pgcInstall.PageCount()) return;
  if (const TMessage* heading = PageHeadingOf(pgcInstall.Pages(pageIndex).Name()))
    SetHeadingText(Msg(*heading));
}

void TFInstall::rgbJazykClick(ui::TControl*) {
  if (auto language = LanguageOfItem(rgbJazyk.ItemIndex())) SetLanguage(*language);
}
