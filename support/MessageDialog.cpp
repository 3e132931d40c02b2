#include "support/MessageDialog.h"

#include "support/InstallLog.h"
#include "ui/Application.h"

namespace {
class SilentPresenter : public TMessagePresenter {
 public:
  bool ShowMessageForm(const std::string&, const std::string&, const std::string&, TMessageKind kind, int,
                       const TNotifyEvent&) override {
    return kind != mkQuestion && kind != mkRetryCancel;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}
};

SilentPresenter silentPresenter;
TMessagePresenter* currentPresenter = &silentPresenter;
}  // namespace

void SetMessagePresenter(TMessagePresenter* presenter) {
  currentPresenter = presenter ? presenter : &silentPresenter;
}

TMessagePresenter& MessagePresenter() { return *currentPresenter; }

bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                     TMessageKind kind, int cursor, const TNotifyEvent& runProc) {
  // Once the program is ending (its window was closed) nothing comes up any more: a step that
  // is winding down writes to the log, a question gets No.
  if (Application().Terminated()) {
    if (kind != mkWait) InstallLog().Add("Not shown, the program is ending: " + text);
    return kind != mkQuestion;
  }
  return currentPresenter->ShowMessageForm(text, title, caption, kind, cursor, runProc);
}

bool ShowQuestion(const std::string& text, const std::string& title) {
  return ShowMessageForm(text, title, "", mkQuestion);
}

bool ShowRetryCancel(const std::string& text, const std::string& title) {
  return ShowMessageForm(text, title, "", mkRetryCancel);
}

void ShowError(const std::string& text, const std::string& title) {
  InstallLog().AddError(text);
  ShowMessageForm(text, title, "", mkError);
}

void ShowInfo(const std::string& text, const std::string& title) {
  ShowMessageForm(text, title, "", mkInformation);
}

void ShowWait(const std::string& text, const std::string& title, const std::string& caption) {
  CloseWait();
  ShowMessageForm(text, title, caption, mkWait);
}

void UpdateWait(const std::string& text, const std::string& title) { currentPresenter->UpdateWait(text, title); }

void CloseWait() { currentPresenter->CloseWait(); }
