#pragma once
// The installer's own message window, TFMessage, and the presenter that shows every
// message, question and wait notice in it (support/MessageDialog.h routes to it).
#include <memory>

#include "support/MessageDialog.h"
#include "ui/Controls.h"

class TFMessage : public ui::TForm {
 public:
  TFMessage();

  // Called with no sender by ShowMessageForm for the run-procedure and wait kinds.
  const TNotifyEvent& OnRunProc() const { return FOnRunProc; }
  void SetOnRunProc(TNotifyEvent e) { FOnRunProc = std::move(e); }

  ui::TPanel Panel5{this, "Panel5"};
  ui::TPanel Panel6{this, "Panel6"};
  ui::TPanel Panel4{this, "Panel4"};
  ui::TPanel Panel3{this, "Panel3"};
  ui::TPanel Panel1{&Panel3, "Panel1"};
  ui::TButton OKBtn{&Panel1, "OKBtn"};
  ui::TButton CancelBtn{&Panel1, "CancelBtn"};
  ui::TPanel pnlObr{&Panel3, "pnlObr"};
  ui::TImage imgOK{&pnlObr, "imgOK"};
  ui::TImage imgError{&pnlObr, "imgError"};
  ui::TImage ImgWarning{&pnlObr, "ImgWarning"};
  ui::TImage imgQuest{&pnlObr, "imgQuest"};
  ui::TImage imgInfo{&pnlObr, "imgInfo"};
  ui::TImage ImgHourGlass{&pnlObr, "ImgHourGlass"};
  ui::TPanel pnlZprava{&Panel3, "pnlZprava"};
  ui::TPanel Panel2{&pnlZprava, "Panel2"};
  ui::TLabel lblNadpis{&Panel2, "lblNadpis"};
  ui::TLabel lbZprava{&Panel2, "lbZprava"};

 private:
  void FormCreate();
  void FormActivate();
  TNotifyEvent FOnRunProc;
};

// Shows messages in TFMessage windows. One program-wide instance.
class TMessageFormPresenter : public TMessagePresenter {
 public:
  bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                       TMessageKind kind, int cursor, const TNotifyEvent& runProc) override;
  void UpdateWait(const std::string& text, const std::string& title) override;
  void CloseWait() override;

  // The window the general operation is showing now (nullptr between messages).
  TFMessage* Showing() const { return FShowing; }
  // The wait window, nullptr when none is open.
  TFMessage* WaitForm() const { return FWait.get(); }

 private:
  TFMessage* FShowing = nullptr;
  std::unique_ptr<TFMessage> FWait;
};

TMessageFormPresenter& MessageFormPresenter();
// Makes the message window the presenter of every message.
void UseMessageForm();
