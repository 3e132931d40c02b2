#pragma once
// What the control layer needs from a windowing system. Two implementations: ui/win32 (real
// windows, Windows builds only) and ui/headless (everything in memory, all builds).
#include <memory>
#include <string>

#include "ui/Controls.h"

namespace ui {

class TBackend {
 public:
  virtual ~TBackend() = default;

  virtual std::unique_ptr<IControlPeer> CreatePeer(TControl& control) = 0;
  // A control is going away: forget any reference to it (focus, capture...).
  virtual void ControlDestroyed(TControl& control) = 0;

  virtual TSize TextExtent(const std::string& text, const TFont& font) = 0;
  // Calculate-only drawing of text with word breaks within a rectangle 0,0,maxWidth,0:
  // the rectangle's resulting right edge and height.
  virtual TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) = 0;
  virtual TSize ScreenSize() = 0;
  virtual void SetCursor(TCursor cursor) = 0;

  // Outer size minus client size of a form with its border style.
  virtual TSize NonClientSize(const TForm& form) = 0;
  // The rectangle the platform's page control gives its pages (before the tab-less rule).
  virtual TRect PlatformPageRect(const TPageControl& control) = 0;

  virtual TControl* FocusedControl() = 0;
  virtual void FocusChanged(TControl* control) = 0;

  // Shows the form and processes input until its ModalResult is set or it is hidden.
  virtual void RunModal(TForm& form) = 0;
  // Processes input until the main form is closed.
  virtual void RunMainLoop(TForm& mainForm) = 0;
  // Lets pending input run once (what Application().ProcessMessages() does).
  virtual void ProcessMessages() = 0;

  // The file-save dialog: true with the chosen file's UTF-8 path, false when cancelled.
  virtual bool SaveFileDialog(TForm* owner, std::string& fileName) = 0;
  // The folder browser: title above the tree, the tree rooted at root (a drive "C:" or a share
  // "\\server\share"; empty: the whole computer), initial preselected when not empty; file-system
  // folders only, with a button to make a new folder. True with the chosen folder.
  virtual bool BrowseForFolder(TForm* owner, const std::string& title, const std::string& root,
                               const std::string& initial, std::string& folder) = 0;
  // The platform's plain message box with an OK button (not the installer's message window).
  virtual void PlainMessageBox(TForm* owner, const std::string& text) = 0;
};

// The backend in use. The headless one is installed until a program installs another.
TBackend& Backend();
// Installs a backend (not owned; nullptr goes back to the headless one) and makes it the
// application's message pump.
void SetBackend(TBackend* backend);

}  // namespace ui
