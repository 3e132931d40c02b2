#include "support/MessageForm.h"

#include <cmath>

#include "support/Catalogue.h"
#include "ui/Application.h"

using namespace ui;

namespace {
constexpr TColor kMessageGrey = 15658734;  // red, green and blue all 238
constexpr int kPictureColumn = 80;
}  // namespace

TFMessage::TFMessage() : TForm("FMessage") {
  SetWindowClassName("TFMessage");
  SetBorderStyle(TBorderStyle::bsDialog);
  SetMinimizeBox(false);
  SetMaximizeBox(false);
  SetPosition(TPosition::poScreenCenter);
  SetColor(kMessageGrey);
  SetCaption(" ");
  SetClientWidth(561);
  SetClientHeight(247);

  for (TPanel* frame : {&Panel5, &Panel6}) frame->SetWidth(5);
  Panel5.SetAlign(TAlign::alLeft);
  Panel6.SetLeft(556);
  Panel6.SetAlign(TAlign::alRight);
  Panel4.SetHeight(5);
  Panel4.SetAlign(TAlign::alBottom);
  Panel3.SetAlign(TAlign::alClient);
  Panel3.SetColor(clWhite);

  Panel1.SetHeight(58);
  Panel1.SetTop(1000);
  Panel1.SetAlign(TAlign::alBottom);
  Panel1.SetColor(kMessageGrey);
  const TFont buttonFont{"Segoe UI", 19, false, clBlack};
  OKBtn.SetBounds(159, 12, 120, 40);
  CancelBtn.SetBounds(293, 12, 120, 40);
  for (TButton* b : {&OKBtn, &CancelBtn}) b->SetFont(buttonFont);
  OKBtn.SetTabOrder(0);
  CancelBtn.SetTabOrder(1);
  OKBtn.OnClick = [this](TControl*) { SetModalResult(mrOk); };
  CancelBtn.OnClick = [this](TControl*) { SetModalResult(mrCancel); };

  pnlObr.SetWidth(kPictureColumn);
  pnlObr.SetAlign(TAlign::alLeft);
  for (TImage* img : {&imgOK, &imgError, &ImgWarning, &imgQuest, &imgInfo, &ImgHourGlass}) {
    img->SetBounds(8, 8, 64, 64);
    img->SetStretch(true);
  }
  pnlZprava.SetAlign(TAlign::alClient);
  Panel2.SetAlign(TAlign::alClient);

  const TMargins textMargins{7, 10, 7, 3};
  lblNadpis.SetAutoSize(false);
  lblNadpis.SetHeight(45);
  lblNadpis.SetAlign(TAlign::alTop);
  lbZprava.SetAutoSize(false);
  lbZprava.SetTop(45);
  for (TLabel* l : {&lblNadpis, &lbZprava}) {
    l->SetAlignWithMargins(true);
    l->SetMargins(textMargins);
    l->SetWordWrap(true);
    l->SetLayout(TTextLayout::tlCenter);
  }
  lblNadpis.SetFont({"Segoe UI", 19, true, clBlack});
  lbZprava.SetFont({"Segoe UI", 19, false, clBlack});

  OnActivate = [this](TControl*) { FormActivate(); };
  FormCreate();
}

void TFMessage::FormCreate() {
  pnlObr.Hide();
  lbZprava.SetAlign(TAlign::alClient);
  lbZprava.Hide();
  CancelBtn.Hide();
  for (TImage* img : {&imgOK, &imgError, &ImgWarning, &imgQuest, &imgInfo, &ImgHourGlass}) img->Hide();
  OKBtn.SetCaption("&OK");
}

void TFMessage::FormActivate() {
  if (Panel1.Visible()) {
    if (CancelBtn.Visible())
      CancelBtn.SetFocus();
    else
      OKBtn.SetFocus();
  } else {
    SetFocus();
  }
}

namespace {

// Sizes the window to its texts: the message area's width is the measure, a title wider
// than 700 pixels wraps, and the window stays within the screen.
void SizeMessageForm(TFMessage& f, const std::string& text, const std::string& title) {
  const int margin = 50;
  const int w0 = f.Panel2.Width();
  f.SetHeight(0);
  f.SetWidth(0);
  if (!text.empty()) {
    TSize r = WrappedTextExtent(f.lbZprava.Caption(), f.lbZprava.Font(), w0);
    f.SetHeight(TextExtent("X", f.lbZprava.Font()).Height + r.Height + 20);
    f.SetWidth(r.Width + 30);
  }
  if (!f.lblNadpis.Caption().empty()) {
    int right = w0;
    int titleWidth = TextWidth(f.lblNadpis.Caption(), f.lblNadpis.Font()) + margin;
    if (titleWidth > w0) {
      right = titleWidth;
      if (right > 700) {
        right = 700;
        f.SetWidth(f.Panel1.Width() + 700);
      }
    }
    TSize r = WrappedTextExtent(f.lblNadpis.Caption(), f.lblNadpis.Font(), right);
    f.SetHeight(f.Height() + TextExtent("X", f.lblNadpis.Font()).Height + r.Height + f.lblNadpis.Margins().Top +
                f.lblNadpis.Margins().Bottom);
    if (f.Width() < right + 30) f.SetWidth(right + margin);
  } else {
    f.lblNadpis.Hide();
  }
  f.SetHeight(f.Height() + 30 + f.Panel1.Height());
  f.SetWidth(static_cast<int>(std::lround(f.Width() * 1.05)));
  f.Constraints() = {f.OKBtn.Width() + f.CancelBtn.Width() + 100, f.imgOK.Height(), Screen().Width() - 50,
                     Screen().Height() - 50};
  f.ApplyConstraints();
  int x = (f.Panel1.Width() - f.OKBtn.Width() - (f.CancelBtn.Visible() ? f.CancelBtn.Width() + 22 : 0)) / 2;
  f.OKBtn.SetLeft(x);
  if (f.CancelBtn.Visible()) f.CancelBtn.SetLeft(f.OKBtn.Left() + f.OKBtn.Width() + 22);
}

}  // namespace

bool TMessageFormPresenter::ShowMessageForm(const std::string& text, const std::string& title,
                                            const std::string& caption, TMessageKind kind, int cursor,
                                            const TNotifyEvent& runProc) {
  bool result = true;
  auto form = std::make_unique<TFMessage>();
  FShowing = form.get();
  // Whatever happens once the window exists: the cursor, the window's fate, pending input.
  auto finish = [&] {
    FShowing = nullptr;
    if (cursor != 0) Screen().SetCursor(cursor);
    if (kind == mkWait) {
      FWait = std::move(form);
    } else {
      form.reset();
    }
    Application().ProcessMessages();
  };
  try {
    TFMessage& f = *form;
    Screen().SetCursor(crDefault);
    f.lbZprava.SetCaption(text);
    f.lbZprava.SetVisible(!text.empty());
    f.lblNadpis.SetCaption(title);
    f.lblNadpis.SetVisible(!title.empty());
    switch (kind) {
      case mkQuestion:
        f.SetCaption(Msg(msgQuestion));
        f.OKBtn.SetCaption(Msg(msgYes));
        f.OKBtn.SetModalResult(mrOk);
        f.CancelBtn.Show();
        f.CancelBtn.SetCaption(Msg(msgNo));
        f.lbZprava.SetCaption(f.lbZprava.Caption() + " ? ");
        f.imgQuest.Show();
        break;
      case mkRetryCancel:
        f.SetCaption(Msg(msgWarning));
        f.OKBtn.SetCaption(Msg(msgRetry));
        f.OKBtn.SetModalResult(mrOk);
        f.CancelBtn.Show();
        f.CancelBtn.SetCaption(Msg(msgCancel));
        f.ImgWarning.Show();
        break;
      case mkWarning: f.SetCaption(Msg(msgWarning)); break;
      case mkInfo: f.SetCaption(Msg(msgInfo)); break;
      case mkError: f.SetCaption(Msg(msgError)); break;
      case mkInformation: f.SetCaption(Msg(msgInformation)); break;
      case mkPlain:
        f.pnlObr.Hide();
        f.SetWidth(f.Width() - f.pnlObr.Width());
        break;
      case mkRunProc:
      case mkWait:
        f.SetCaption(caption);
        f.SetOnRunProc(runProc);
        f.Panel1.Hide();
        f.SetBorderStyle(TBorderStyle::bsSingle);
        break;
    }
    SizeMessageForm(f, text, title);
    if (kind <= mkPlain || kind == mkRetryCancel) {
      result = f.ShowModal() == mrOk;
    } else {
      f.ShowForm();
      f.Repaint();
      if (f.OnRunProc()) f.OnRunProc()(nullptr);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return result;
}

void TMessageFormPresenter::UpdateWait(const std::string& text, const std::string& title) {
  if (!FWait) return;
  FWait->lblNadpis.SetCaption(title);
  FWait->lbZprava.SetCaption(text);
  FWait->lbZprava.Repaint();
}

void TMessageFormPresenter::CloseWait() {
  if (!FWait) return;
  FWait->Close();
  FWait.reset();
}

TMessageFormPresenter& MessageFormPresenter() {
  static TMessageFormPresenter presenter;
  return presenter;
}

void UseMessageForm() { SetMessagePresenter(&MessageFormPresenter()); }
