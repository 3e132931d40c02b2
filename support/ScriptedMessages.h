#pragma once
// A message presenter for headless tests: it records every message the program shows and
// answers questions from a script. While it lives it is the program's presenter.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "support/MessageDialog.h"

struct TShownMessage {
  TMessageKind Kind;
  std::string Text;
  std::string Title;
  std::string Caption;
  bool operator==(const TShownMessage&) const = default;
};

class TScriptedMessages : public TMessagePresenter {
 public:
  TScriptedMessages();
  ~TScriptedMessages() override;
  TScriptedMessages(const TScriptedMessages&) = delete;
  TScriptedMessages& operator=(const TScriptedMessages&) = delete;

  // The answers of the next questions, in order (true: Yes). With none left, DefaultAnswer.
  void Answer(bool yes) { FAnswers.push_back(yes); }
  void Answer(std::initializer_list<bool> answers) { FAnswers.insert(FAnswers.end(), answers); }
  bool DefaultAnswer = false;
  size_t UnusedAnswers() const { return FAnswers.size(); }

  // Every message in the order shown (wait windows included), and the texts only.
  const std::vector<TShownMessage>& Shown() const { return FShown; }
  std::vector<std::string> Texts() const;
  // The open wait window's current text and title, if one is open.
  std::optional<TShownMessage> Wait() const { return FWait; }
  // Every UpdateWait that reached an open wait window, as (text, title).
  const std::vector<std::pair<std::string, std::string>>& WaitUpdates() const { return FUpdates; }
  void Clear();

  bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                       TMessageKind kind, int cursor, const TNotifyEvent& runProc) override;
  void UpdateWait(const std::string& text, const std::string& title) override;
  void CloseWait() override;

 private:
  TMessagePresenter* FPrevious;
  std::deque<bool> FAnswers;
  std::vector<TShownMessage> FShown;
  std::optional<TShownMessage> FWait;
  std::vector<std::pair<std::string, std::string>> FUpdates;
};
