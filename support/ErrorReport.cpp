#include "support/ErrorReport.h"

#include "platform/Files.h"
#include "platform/Mail.h"
#include "platform/Text.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "ui/Application.h"
#include "ui/Backend.h"

using namespace ui;

std::string InstallLogText() {
  std::string text;
  for (const auto& line : InstallLog().Log()) text += line + "\r\n";
  return text;
}

// ---------------------------------------------------------------------------------------------

TFInstalllogView::TFInstalllogView(TForm* owner) : TForm("FInstalllogView", owner) {
  SetWindowClassName("TFInstalllogView");
  SetBorderStyle(TBorderStyle::bsSizeable);
  SetPosition(TPosition::poScreenCenter);
  SetCaption("Instalační logfile");
  SetClientWidth(541);
  SetClientHeight(344);
  Panel1.SetHeight(55);
  Panel1.SetAlign(TAlign::alBottom);
  BitBtn1.SetBounds(0, 15, 75, 25);
  BitBtn1.SetCaption("OK");
  BitBtn1.SetModalResult(mrOk);
  Memo1.SetAlign(TAlign::alClient);
  Memo1.SetReadOnly(true);
  Memo1.SetScrollBars(true);
  Memo1.SetWordWrap(false);
  Memo1.SetFont({"Courier New", 13, false, clBlack});
  OnShow = [this](TControl*) { FormShow(); };
  OnResize = [this](TControl*) { FormResize(); };
  FormResize();
}

void TFInstalllogView::FormShow() { Memo1.SetText(InstallLogText()); }

void TFInstalllogView::FormResize() { BitBtn1.SetLeft((Width() - BitBtn1.Width()) / 2); }

// ---------------------------------------------------------------------------------------------

TFInstallErrDlg::TFInstallErrDlg() : TForm("FInstallErrDlg") {
  SetWindowClassName("TFInstallErrDlg");
  SetBorderStyle(TBorderStyle::bsSingle);
  SetMinimizeBox(false);
  SetMaximizeBox(false);
  SetPosition(TPosition::poMainFormCenter);
  SetCaption("Předčasné ukončení aplikace");
  SetClientWidth(519);
  SetClientHeight(313);

  Panel2.SetWidth(185);
  Panel2.SetAlign(TAlign::alRight);
  Panel2.SetPadding({8, 8, 8, 8});
  int top = 0;
  for (TButton* b : {&btnViewLog, &btnPrintLog, &btnSendLog, &btnSaveLog}) {
    b->SetHeight(35);
    b->SetTop(top);
    top += 36;
    b->SetAlignWithMargins(true);
    b->SetMargins({0, 0, 0, 1});
    b->SetAlign(TAlign::alTop);
    b->SetFontBold(true);
  }
  btnViewLog.SetGlyph("GlyphViewLog");
  btnPrintLog.SetGlyph("GlyphPrintLog");
  btnSendLog.SetGlyph("GlyphSendLog");
  btnSaveLog.SetGlyph("GlyphSaveLog");
  btnOK.SetHeight(33);
  btnOK.SetAlign(TAlign::alBottom);
  btnOK.SetFontBold(true);
  btnOK.SetModalResult(mrOk);

  Panel1.SetAlign(TAlign::alClient);
  Panel3.SetHeight(48);
  Panel3.SetAlign(TAlign::alTop);
  lblTextZpravy.SetFont({"Tahoma", 16, true, clBlack});
  lblPozn.SetFont({"Tahoma", 11, false, clBlack});
  for (TLabel* l : {&lblTextZpravy, &lblPozn}) {
    l->SetAutoSize(false);
    l->SetAlignment(TAlignment::taCenter);
    l->SetAlign(TAlign::alTop);
  }
  lblTextZpravy.SetTop(0);
  lblTextZpravy.SetHeight(21);
  // The note may take two lines in some languages: it gets the rest of the band.
  lblPozn.SetAlign(TAlign::alClient);
  lblPozn.SetWordWrap(true);
  lblPozn.SetLayout(TTextLayout::tlCenter);
  mmoEmailText.SetAlignWithMargins(true);
  mmoEmailText.SetMargins({8, 0, 0, 8});
  mmoEmailText.SetAlign(TAlign::alClient);
  mmoEmailText.SetScrollBars(true);

  btnViewLog.OnClick = [this](TControl*) { btnViewLogClick(); };
  btnSaveLog.OnClick = [this](TControl*) { btnSaveLogClick(); };
  btnSendLog.OnClick = [this](TControl*) { btnSendLogClick(); };
  OnShow = [this](TControl*) { FormShow(); };
  FormCreate();
}

TFInstallErrDlg::~TFInstallErrDlg() { FLogView.reset(); }

void TFInstallErrDlg::FormCreate() {
  mmoEmailText.Clear();
  FLogView = std::make_unique<TFInstalllogView>(this);
}

void TFInstallErrDlg::FormShow() {
  btnPrintLog.SetCaption(Msg(msgPrintLog));
  btnSendLog.SetCaption(Msg(msgSendLogEmail));
  btnSaveLog.SetCaption(Msg(msgSaveLog));
  btnOK.SetCaption(Msg(msgOK));
  lblTextZpravy.SetCaption(Msg(msgTextMessage));
  lblPozn.SetCaption(Msg(msgLogAddedToMail));
  btnViewLog.SetCaption(Msg(msgViewLog));
  btnSendLog.SetEnabled(!FSupportAddress.empty());
}

void TFInstallErrDlg::btnViewLogClick() { FLogView->ShowModal(); }

void TFInstallErrDlg::btnSaveLogClick() {
  std::string fileName;
  if (Backend().SaveFileDialog(this, fileName)) {
    // As the log itself is saved: CR LF after each line, the ANSI code page, or UTF-8 with its
    // byte-order mark when that code page cannot hold every letter.
    try {
      platform::WriteWholeFile(fileName, LogFileBytes(InstallLogText()));
    } catch (const std::exception& e) {
      // The report must not end in a second error: say what failed and keep the dialog open.
      ShowError(e.what(), "");
    }
  }
  SetFocus();
}

void TFInstallErrDlg::btnSendLogClick() {
  if (FSupportAddress.empty()) return;
  std::string body = mmoEmailText.Text() + "\n\r" + InstallLogText();
  SendMailMAPI(Msg(msgErrorInstallingVelmor), body, "", "", "Instalace", "", "SMTP:" + FSupportAddress);
}

namespace {
std::unique_ptr<TFInstallErrDlg>& ErrDlgInstance() {
  static std::unique_ptr<TFInstallErrDlg> instance;
  return instance;
}
}  // namespace

TFInstallErrDlg& FInstallErrDlg() {
  auto& instance = ErrDlgInstance();
  if (!instance) instance = std::make_unique<TFInstallErrDlg>();
  return *instance;
}

void ResetInstallErrDlg() { ErrDlgInstance().reset(); }

long SendMailMAPI(const std::string& subject, const std::string& body, const std::string& attachmentPath,
                  const std::string& originatorName, const std::string& originatorAddress,
                  const std::string& recipientName, const std::string& recipientAddress) {
  platform::MailMessage m{subject, body, attachmentPath, originatorName, originatorAddress, recipientName,
                          recipientAddress};
  return platform::SendSimpleMail(m, FInstallErrDlg().Handle());
}

void HandleUnhandledError(const std::string& message, const std::string& supportAddress) {
  try {
    InstallLog().Add(message);
  } catch (...) {
  }
  try {
    InstallLog().SaveError();
  } catch (...) {
  }
  try {
    FInstallErrDlg().SetSupportAddress(supportAddress);
    FInstallErrDlg().ShowModal();
  } catch (...) {
  }
  Application().Terminate();
}
