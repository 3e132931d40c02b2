#include "support/ScriptedMessages.h"

#include "ui/Application.h"
#include "ui/Controls.h"

TScriptedMessages::TScriptedMessages() : FPrevious(&MessagePresenter()) { SetMessagePresenter(this); }

TScriptedMessages::~TScriptedMessages() {
  if (&MessagePresenter() == this) SetMessagePresenter(FPrevious);
}

std::vector<std::string> TScriptedMessages::Texts() const {
  std::vector<std::string> texts;
  for (const auto& m : FShown) texts.push_back(m.Text);
  return texts;
}

void TScriptedMessages::Clear() {
  FAnswers.clear();
  FShown.clear();
  FWait.reset();
  FUpdates.clear();
}

bool TScriptedMessages::ShowMessageForm(const std::string& text, const std::string& title,
                                        const std::string& caption, TMessageKind kind, int cursor,
                                        const TNotifyEvent& runProc) {
  // The same visible side effects as the real window: the cursor reset, pending input run.
  ui::Screen().SetCursor(ui::crDefault);
  FShown.push_back({kind, text, title, caption});
  bool result = true;
  if (kind == mkQuestion || kind == mkRetryCancel) {
    result = DefaultAnswer;
    if (!FAnswers.empty()) {
      result = FAnswers.front();
      FAnswers.pop_front();
    }
  }
  if (kind == mkWait) FWait = TShownMessage{kind, text, title, caption};
  try {
    if ((kind == mkWait || kind == mkRunProc) && runProc) runProc(nullptr);
  } catch (...) {
    if (cursor != 0) ui::Screen().SetCursor(cursor);
    throw;
  }
  if (cursor != 0) ui::Screen().SetCursor(cursor);
  Application().ProcessMessages();
  return result;
}

void TScriptedMessages::UpdateWait(const std::string& text, const std::string& title) {
  if (!FWait) return;
  FWait->Text = text;
  FWait->Title = title;
  FUpdates.emplace_back(text, title);
}

void TScriptedMessages::CloseWait() { FWait.reset(); }
