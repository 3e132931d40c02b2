#pragma once
// The error report: what the user sees when an error escaped every handler. The log viewer,
// saving the log, sending it to support through the mail program, and the sequence that
// ends the program.
#include <memory>
#include <string>
#include <utility>

#include "ui/Controls.h"

// The installation log viewer.
class TFInstalllogView : public ui::TForm {
 public:
  explicit TFInstalllogView(ui::TForm* owner);

  ui::TPanel Panel1{this, "Panel1"};
  ui::TButton BitBtn1{&Panel1, "BitBtn1"};
  ui::TMemo Memo1{this, "Memo1"};

 private:
  void FormShow();
  void FormResize();
};

class TFInstallErrDlg : public ui::TForm {
 public:
  TFInstallErrDlg();
  ~TFInstallErrDlg() override;

  ui::TPanel Panel2{this, "Panel2"};
  ui::TButton btnViewLog{&Panel2, "btnViewLog"};
  ui::TButton btnPrintLog{&Panel2, "btnPrintLog"};
  ui::TButton btnSendLog{&Panel2, "btnSendLog"};
  ui::TButton btnSaveLog{&Panel2, "btnSaveLog"};
  ui::TButton btnOK{&Panel2, "btnOK"};
  ui::TPanel Panel1{this, "Panel1"};
  ui::TPanel Panel3{&Panel1, "Panel3"};
  ui::TLabel lblTextZpravy{&Panel3, "lblTextZpravy"};
  ui::TLabel lblPozn{&Panel3, "lblPozn"};
  ui::TMemo mmoEmailText{&Panel1, "mmoEmailText"};

  TFInstalllogView& LogView() { return *FLogView; }

  // The mailbox "Send log on email" writes to (the definition's TechSupport); empty: the button
  // is disabled and sends nothing.
  void SetSupportAddress(std::string address) { FSupportAddress = std::move(address); }
  const std::string& SupportAddress() const { return FSupportAddress; }

  void btnViewLogClick();
  void btnSaveLogClick();
  void btnSendLogClick();

 private:
  void FormCreate();
  void FormShow();
  std::unique_ptr<TFInstalllogView> FLogView;
  std::string FSupportAddress;
};

// The program-wide error report dialog, made on first use (start-up makes it early).
TFInstallErrDlg& FInstallErrDlg();
// Tests: forget the dialog so the next use makes a fresh one.
void ResetInstallErrDlg();

// The whole log as one text: every line followed by CR LF.
std::string InstallLogText();

// Prepares a mail in the user's mail program (Simple MAPI, MAPI32.DLL of the system folder).
// -1: no mail library; 1: the library has no MAPISendMail; otherwise the mail program's result.
long SendMailMAPI(const std::string& subject, const std::string& body, const std::string& attachmentPath,
                  const std::string& originatorName, const std::string& originatorAddress,
                  const std::string& recipientName, const std::string& recipientAddress);

// The end of the program after an error nothing caught: the message into the log, the error
// copy of the log written, the report shown (its log goes by mail to supportAddress, the
// definition's TechSupport, when that is not empty), and the application asked to terminate in
// every case. Never throws.
void HandleUnhandledError(const std::string& message, const std::string& supportAddress);
