#pragma once
// The form: a top-level window, its keyboard routing, modal loop and placement.
#include <string>

#include "ui/Control.h"

namespace ui {

enum class TPosition : unsigned char { poDesigned, poScreenCenter, poOwnerFormCenter, poMainFormCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(std::string name, TForm* owner = nullptr);
  ~TForm() override;
  TControlKind Kind() const override { return TControlKind::Form; }

  TForm* Owner() const { return FOwner; }

  // The platform's window class name (for finding the window from outside).
  const std::string& WindowClassName() const { return FWindowClassName; }
  void SetWindowClassName(const std::string& name) { FWindowClassName = name; }

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  bool MinimizeBox() const { return FMinimizeBox; }
  void SetMinimizeBox(bool on);
  bool MaximizeBox() const { return FMaximizeBox; }
  void SetMaximizeBox(bool on);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition p) { FPosition = p; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool on) { FKeyPreview = on; }
  // Resource name of the window's icon.
  const std::string& Icon() const { return FIcon; }
  void SetIcon(const std::string& resourceName);

  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientWidth(int w);
  void SetClientHeight(int h);
  TRect AlignRect() const override;

  // Shows the form without waiting.
  void ShowForm();
  // Shows the form and runs the modal loop until ModalResult is set; returns it.
  TModalResult ShowModal();
  bool Modal() const { return FModal; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult r) { FModalResult = r; }
  // What the close box does: OnClose decides; a modal form ends with mrCancel.
  void Close();

  // The control with the keyboard focus when the form is active.
  TControl* ActiveControl() const;
  void SetActiveControl(TControl* control);
  // The first control in tab order that can take the focus.
  TControl* FirstFocusable();

  // Keyboard routing: the form sees a key first when KeyPreview is on (OnKeyDown may clear
  // it), then the focused control; Enter and Space press the focused button, Enter the
  // default button otherwise, Escape closes a modal form. Returns true when the key was used.
  bool DispatchKey(int key, TShiftState shift);
  // The part of DispatchKey after the preview (Enter, Space, Escape and the control's own
  // OnKeyDown); the Win32 backend calls it for the dialog keys the platform routes to the form.
  bool HandleDialogKey(int key, TShiftState shift);
  // Only the preview step (the platform does the rest itself); returns the key left over.
  int PreviewKey(int key, TShiftState shift);

  // Places the form as Position says; runs when the form is shown.
  void ApplyPosition();
  // The form became the active window.
  void Activate();

  TControlEvent OnShow;
  TControlEvent OnActivate;
  TControlEvent OnHide;
  TControlEvent OnResize;
  TCloseEvent OnClose;

  void NotifyResized(int width, int height) override;
  // The platform's close box was pressed.
  void NotifyCloseRequested() { Close(); }
  // The platform moved the keyboard focus to a control of this form.
  void NotifyFocused(TControl* control) { FActiveControl = control; }

 private:
  TForm* FOwner;
  std::string FWindowClassName;
  TBorderStyle FBorderStyle = TBorderStyle::bsSizeable;
  bool FMinimizeBox = true;
  bool FMaximizeBox = true;
  TPosition FPosition = TPosition::poDesigned;
  bool FKeyPreview = false;
  std::string FIcon;
  bool FModal = false;
  TModalResult FModalResult = mrNone;
  TControl* FActiveControl = nullptr;
  friend class TControl;
};

// Runs the main window: shows it and processes input until it closes.
void RunApplication(TForm& mainForm);
// The application's main window (the wizard): forms placed poMainFormCenter are centred on it.
void SetMainForm(TForm* form);
TForm* MainForm();

}  // namespace ui
