#include "ui/Form.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"
#include "ui/PageControl.h"

namespace ui {

// ---------------------------------------------------------------------------------------------
// TForm

TForm::TForm(std::string name, TForm* owner) : TWinControl(nullptr, std::move(name)), FOwner(owner) {
  FVisible = false;
  FColor = clWhite;
  FWidth = 320;
  FHeight = 240;
  FWindowClassName = "TForm";
}

TForm::~TForm() {
  // A main form that is gone is no main form: nothing may center over it afterwards.
  if (MainForm() == this) SetMainForm(nullptr);
  // Children declared after the form's own members are gone by now; release the window last.
  FOwned.clear();
  DestroyHandle();
}

void TForm::SetBorderStyle(TBorderStyle style) {
  int cw = ClientWidth(), ch = ClientHeight();
  FBorderStyle = style;
  Changed(&IControlPeer::BorderStyleChanged);
  // The client area keeps its size; the frame around it changes.
  SetClientWidth(cw);
  SetClientHeight(ch);
}

void TForm::SetMinimizeBox(bool on) {
  FMinimizeBox = on;
  Changed(&IControlPeer::BorderStyleChanged);
}

void TForm::SetMaximizeBox(bool on) {
  FMaximizeBox = on;
  Changed(&IControlPeer::BorderStyleChanged);
}

void TForm::SetIcon(const std::string& resourceName) {
  FIcon = resourceName;
  Changed(&IControlPeer::IconChanged);
}

int TForm::ClientWidth() const { return std::max(0, FWidth - Backend().NonClientSize(*this).Width); }
int TForm::ClientHeight() const { return std::max(0, FHeight - Backend().NonClientSize(*this).Height); }
void TForm::SetClientWidth(int w) { SetWidth(w + Backend().NonClientSize(*this).Width); }
void TForm::SetClientHeight(int h) { SetHeight(h + Backend().NonClientSize(*this).Height); }

TRect TForm::AlignRect() const {
  return {FPadding.Left, FPadding.Top, ClientWidth() - FPadding.Right, ClientHeight() - FPadding.Bottom};
}

void TForm::ApplyPosition() {
  TRect area{0, 0, Screen().Width(), Screen().Height()};
  if (FPosition == TPosition::poOwnerFormCenter || FPosition == TPosition::poMainFormCenter) {
    TForm* over = FOwner;
    if (FPosition == TPosition::poMainFormCenter && !(over && over->Visible())) over = MainForm();
    if (over && over != this && over->Visible()) area = over->BoundsRect();
  } else if (FPosition != TPosition::poScreenCenter) {
    return;
  }
  SetBounds(area.Left + (area.Width() - FWidth) / 2, area.Top + (area.Height() - FHeight) / 2, FWidth, FHeight);
}

void TForm::ShowForm() {
  HandleNeeded();
  if (!FVisible) {
    ApplyPosition();
    if (OnShow) OnShow(this);
    SetVisible(true);
  }
  Activate();
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
  TControl* target = FActiveControl;
  if (!target || !target->CanFocus()) target = FirstFocusable();
  if (target)
    target->SetFocus();
  else
    SetFocus();
}

TModalResult TForm::ShowModal() {
  struct ModalScope {
    TForm& form;
    explicit ModalScope(TForm& f) : form(f) {
      form.FModal = true;
      form.FModalResult = mrNone;
    }
    ~ModalScope() {
      form.FModal = false;
      if (form.FVisible) {
        form.SetVisible(false);
        if (form.OnHide) form.OnHide(&form);
      }
    }
  } scope(*this);
  Backend().RunModal(*this);
  if (FModalResult == mrNone) FModalResult = mrCancel;
  return FModalResult;
}

void TForm::Close() {
  TCloseAction action = TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (FModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  if (FVisible) {
    SetVisible(false);
    if (OnHide) OnHide(this);
  }
}

TControl* TForm::ActiveControl() const { return FActiveControl; }

void TForm::SetActiveControl(TControl* control) {
  if (control && control->CanFocus())
    control->SetFocus();
  else
    FActiveControl = control;
}

TControl* TForm::FirstFocusable() {
  std::function<TControl*(TWinControl*)> walk = [&](TWinControl* parent) -> TControl* {
    for (TControl* c : parent->TabOrderedControls()) {
      if (!c->CanFocus()) continue;
      switch (c->Kind()) {
        case TControlKind::Button: case TControlKind::Edit: case TControlKind::Memo:
        case TControlKind::ComboBox: case TControlKind::ListBox: case TControlKind::CheckBox:
          return c;
        case TControlKind::RadioButton:
          if (static_cast<TRadioButton*>(c)->Checked()) return c;
          break;
        default:
          break;
      }
      if (c->Kind() == TControlKind::Panel || c->Kind() == TControlKind::GroupBox ||
          c->Kind() == TControlKind::RadioGroup || c->Kind() == TControlKind::PageControl ||
          c->Kind() == TControlKind::TabSheet)
        if (TControl* found = walk(static_cast<TWinControl*>(c))) return found;
    }
    return nullptr;
  };
  return walk(this);
}

int TForm::PreviewKey(int key, TShiftState shift) {
  if (FKeyPreview && OnKeyDown) OnKeyDown(this, key, shift);
  return key;
}

bool TForm::DispatchKey(int key, TShiftState shift) {
  key = PreviewKey(key, shift);
  if (key == 0) return true;
  return HandleDialogKey(key, shift);
}

bool TForm::HandleDialogKey(int key, TShiftState shift) {
  TControl* focused = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
  if (focused && focused->OnKeyDown) {
    focused->OnKeyDown(focused, key, shift);
    if (key == 0) return true;
  }
  if (shift != 0) return false;
  bool pressable = focused && (focused->Kind() == TControlKind::Button || focused->Kind() == TControlKind::CheckBox ||
                               focused->Kind() == TControlKind::RadioButton);
  if ((key == vkReturn && focused && focused->Kind() == TControlKind::Button) || (key == vkSpace && pressable)) {
    focused->Click();
    return true;
  }
  if (key == vkReturn) {
    std::function<TButton*(TWinControl*)> findDefault = [&](TWinControl* parent) -> TButton* {
      for (TControl* c : parent->Controls()) {
        if (c->Kind() == TControlKind::Button && static_cast<TButton*>(c)->Default() && c->CanFocus())
          return static_cast<TButton*>(c);
        if (auto* w = dynamic_cast<TWinControl*>(c))
          if (TButton* b = findDefault(w)) return b;
      }
      return nullptr;
    };
    if (TButton* b = findDefault(this)) {
      b->Click();
      return true;
    }
    return false;
  }
  if (key == vkEscape && FModal) {
    Close();
    return true;
  }
  return false;
}

void TForm::NotifyResized(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  Realign();
  if (OnResize) OnResize(this);
}

namespace {
TForm* mainFormInstance = nullptr;
}  // namespace

void SetMainForm(TForm* form) { mainFormInstance = form; }
TForm* MainForm() { return mainFormInstance; }

void RunApplication(TForm& mainForm) {
  SetMainForm(&mainForm);
  mainForm.ShowForm();
  Backend().RunMainLoop(mainForm);
}

}  // namespace ui
