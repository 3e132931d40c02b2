#pragma once
// Every message, question and please-wait notice of the installer goes through these
// operations. What actually shows them is a presenter: the wizard installs the real
// message window; headless tests install one that records and answers from a script.
#include <functional>
#include <string>

enum TMessageKind : unsigned char {
  mkQuestion = 0,
  mkWarning = 1,
  mkInfo = 2,
  mkError = 3,
  mkInformation = 4,
  mkPlain = 5,
  mkRunProc = 6,
  mkWait = 7,
  // Retry and Cancel, with the warning's picture: true when the user chose Retry.
  mkRetryCancel = 8,
};

using TNotifyEvent = std::function<void(void* sender)>;

class TMessagePresenter {
 public:
  virtual ~TMessagePresenter() = default;
  // Shows a message of the kind; for a question, true when the user chose Yes.
  virtual bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                               TMessageKind kind, int cursor, const TNotifyEvent& runProc) = 0;
  virtual void UpdateWait(const std::string& text, const std::string& title) = 0;
  virtual void CloseWait() = 0;
};

// Installs the presenter (not owned); nullptr restores the default, which shows nothing and
// answers every question with No.
void SetMessagePresenter(TMessagePresenter* presenter);
TMessagePresenter& MessagePresenter();

bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                     TMessageKind kind, int cursor = 0, const TNotifyEvent& runProc = {});
bool ShowQuestion(const std::string& text, const std::string& title);
// Retry (true) or Cancel (false); the default presenter cancels.
bool ShowRetryCancel(const std::string& text, const std::string& title);
// Records the text in the installation log with AddError, then shows it.
void ShowError(const std::string& text, const std::string& title);
void ShowInfo(const std::string& text, const std::string& title);
void ShowWait(const std::string& text, const std::string& title, const std::string& caption);
void UpdateWait(const std::string& text, const std::string& title);
void CloseWait();
