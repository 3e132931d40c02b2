#pragma once
// Runs installer code that would show message boxes or only log its reasons, and hands those
// texts to the command instead, so velkit can print why something failed.
#include <string>

#include "support/InstallLog.h"
#include "support/MessageDialog.h"

namespace velkit {

// Takes the first error box of what runs while it is in place instead of showing it.
class CapturingPresenter : public TMessagePresenter {
 public:
  std::string errorText;
  bool ShowMessageForm(const std::string& text, const std::string&, const std::string&, TMessageKind kind, int,
                       const TNotifyEvent&) override {
    if (kind == mkError && errorText.empty()) errorText = text;
    return false;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}
};

struct PresenterScope {
  CapturingPresenter presenter;
  PresenterScope() { SetMessagePresenter(&presenter); }
  ~PresenterScope() { SetMessagePresenter(nullptr); }
};

// The text of the last error line of the log ("<stamp> !!! text !!!"); empty when there is none.
inline std::string LastLoggedError() {
  const auto& lines = InstallLog().Log();
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    size_t open = it->find(" !!! ");
    if (open == std::string::npos) continue;
    std::string text = it->substr(open + 5);
    if (text.size() >= 4 && text.compare(text.size() - 4, 4, " !!!") == 0) text.resize(text.size() - 4);
    return text;
  }
  return "";
}

}  // namespace velkit
