#pragma once
// The headless backend: controls keep their properties in memory, nothing is drawn, and
// "process pending messages" runs the actions a test queued. Text is measured by a fixed
// approximation of a proportional font, so sizing algorithms give repeatable results.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace ui::headless {

class THeadlessBackend : public TBackend {
 public:
  std::unique_ptr<IControlPeer> CreatePeer(TControl& control) override;
  void ControlDestroyed(TControl& control) override;
  TSize TextExtent(const std::string& text, const TFont& font) override;
  TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) override;
  TSize ScreenSize() override { return FScreen; }
  void SetCursor(TCursor cursor) override { FCursor = cursor; }
  TSize NonClientSize(const TForm& form) override;
  TRect PlatformPageRect(const TPageControl& control) override;
  TControl* FocusedControl() override { return FFocused; }
  void FocusChanged(TControl* control) override { FFocused = control; }
  void RunModal(TForm& form) override;
  void RunMainLoop(TForm& mainForm) override;
  void ProcessMessages() override;
  bool SaveFileDialog(TForm* owner, std::string& fileName) override;
  bool BrowseForFolder(TForm* owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) override;
  void PlainMessageBox(TForm* owner, const std::string& text) override;

  // Test controls.
  void QueueAction(std::function<void()> action) { FActions.push_back(std::move(action)); }
  size_t PendingActions() const { return FActions.size(); }
  void SetScreenSize(TSize size) { FScreen = size; }
  TCursor PlatformCursor() const { return FCursor; }
  // The next save dialog returns this file name (std::nullopt: the user cancels).
  void QueueSaveDialogAnswer(std::optional<std::string> fileName) { FSaveAnswers.push_back(std::move(fileName)); }
  int SaveDialogsShown() const { return FSaveDialogs; }
  // The next folder browser returns this folder (std::nullopt: the user cancels).
  void QueueFolderAnswer(std::optional<std::string> folder) { FFolderAnswers.push_back(std::move(folder)); }
  // What each folder browser was opened with: title, root, initial folder.
  struct FolderRequest {
    std::string Title, Root, Initial;
    bool operator==(const FolderRequest&) const = default;
  };
  const std::vector<FolderRequest>& FolderRequests() const { return FFolderRequests; }
  // The texts of the plain message boxes shown, in order.
  const std::vector<std::string>& PlainMessages() const { return FPlainMessages; }
  // How often a control was repainted at once (Repaint, not a property change).
  int RepaintCount(const TControl& control) const;
  // Forgets queued actions and answers and restores the screen and cursor.
  void Reset();

 private:
  friend class HeadlessPeer;
  std::deque<std::function<void()>> FActions;
  std::deque<std::optional<std::string>> FSaveAnswers;
  int FSaveDialogs = 0;
  std::deque<std::optional<std::string>> FFolderAnswers;
  std::vector<FolderRequest> FFolderRequests;
  std::vector<std::string> FPlainMessages;
  TSize FScreen{1280, 1024};
  TCursor FCursor = crDefault;
  TControl* FFocused = nullptr;
  std::map<const TControl*, int> FRepaints;
};

THeadlessBackend& Instance();

// Queues an action that a later "process pending messages" (or a modal loop) runs; each
// ProcessMessages call runs at most one, a modal loop as many as it needs.
void QueueAction(std::function<void()> action);

// What a user can do: a click or key only reaches a control that is showing and enabled.
bool UserClick(TControl& control);
bool PressKey(TForm& form, int key, TShiftState shift = 0);

}  // namespace ui::headless
