#pragma once
// The control layer: forms and controls with the properties and events the installer's
// windows are described with. Every decision (layout, which radio button is checked, what
// a click does, which button a key presses) is made here; a backend (ui/Backend.h) only
// mirrors the properties onto real windows, or keeps them in memory for tests.
// This file: the control and its alignment, containers and the simple controls.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Types.h"

namespace ui {

class TControl;
class TWinControl;
class TForm;
class TRadioButton;
class TTabSheet;

using TControlEvent = std::function<void(TControl* sender)>;
using TKeyEvent = std::function<void(TControl* sender, int& key, TShiftState shift)>;
using TCloseEvent = std::function<void(TControl* sender, TCloseAction& action)>;

enum class TControlKind : unsigned char {
  Form, Panel, GroupBox, Label, Button, Edit, Memo, ComboBox, ListBox, CheckBox, RadioButton,
  RadioGroup, ProgressBar, PageControl, TabSheet, Image, Bevel
};

// The backend's side of one control (a window on Windows; nothing much in tests). The control
// reports each property it changed by name; a peer brings up to date what its kind shows and
// leaves the rest.
class IControlPeer {
 public:
  using TChange = void (IControlPeer::*)();
  virtual ~IControlPeer() = default;
  // Carries out one report; a backend may wrap it (the Win32 one marks the window as being
  // changed by the program, so its notifications are not taken for the user's).
  virtual void Apply(TChange change) { (this->*change)(); }

  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  virtual void ColorChanged() {}
  virtual void HintChanged() {}
  virtual void TabOrderChanged() {}
  virtual void StyleChanged() {}
  virtual void PictureChanged() {}
  virtual void ItemsChanged() {}
  virtual void ItemIndexChanged() {}
  virtual void CheckedChanged() {}
  virtual void PositionChanged() {}
  virtual void ReadOnlyChanged() {}
  virtual void ActivePageChanged() {}
  virtual void IconChanged() {}
  virtual void BorderStyleChanged() {}

  virtual void SetFocus() = 0;
  virtual void Repaint() = 0;
  // The platform handle (an HWND on Windows), nullptr where there is none.
  virtual void* Handle() const = 0;
};

struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;  // 0: no limit
  int MaxHeight = 0;
};

class TControl {
 public:
  explicit TControl(TWinControl* parent, std::string name);
  virtual ~TControl();
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  virtual TControlKind Kind() const = 0;
  const std::string& Name() const { return FName; }

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* parent);
  // The form the control sits on (the control itself for a form).
  TForm* ParentForm();

  // Position relative to the parent's client area; for a form, the outer size on the screen.
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }

  TSizeConstraints& Constraints() { return FConstraints; }
  // Re-applies the constraints to the current size.
  void ApplyConstraints() { SetBounds(FLeft, FTop, FWidth, FHeight); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  bool AlignWithMargins() const { return FAlignWithMargins; }
  void SetAlignWithMargins(bool on);
  const TMargins& Margins() const { return FMargins; }
  void SetMargins(const TMargins& margins);

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent up to a visible form.
  bool Showing() const;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  // Caption and Text are the same property, as on the platform's windows.
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& text) { SetText(text); }
  virtual std::string Text() const { return FText; }
  virtual void SetText(const std::string& text);

  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font);
  void SetFontName(const std::string& name);
  void SetFontHeight(int height);
  void SetFontBold(bool bold);
  void SetFontColor(TColor color);

  // The background; clDefault takes the parent's.
  TColor Color() const { return FColor; }
  TColor EffectiveColor() const;
  void SetColor(TColor color);

  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool on) { FTabStop = on; }

  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint);

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }

  // What a user's click does: the control's own reaction, then OnClick.
  virtual void Click();
  // Whether the control can take the keyboard focus now.
  virtual bool CanFocus() const;
  void SetFocus();
  bool Focused() const;
  void Repaint();

  TControlEvent OnClick;
  TKeyEvent OnKeyDown;

  // Backend side. Peer() is nullptr until the control's window exists.
  IControlPeer* Peer() const { return FPeer.get(); }
  void* Handle() const { return FPeer ? FPeer->Handle() : nullptr; }
  virtual void HandleNeeded();
  virtual void DestroyHandle();
  bool HandleAllocated() const { return FPeer != nullptr; }

  // The platform (or a test standing in for the user) reports a change the user made.
  // The value is taken over without being pushed back to the window.
  virtual void NotifyResized(int width, int height);

 protected:
  // Reports a changed property to the backend (&IControlPeer::TextChanged...).
  void Changed(IControlPeer::TChange what);
  // A size-dependent property changed: recompute the size when the control sizes itself.
  virtual void AdjustSize() {}
  void RequestParentRealign();

  std::string FName;
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TSizeConstraints FConstraints;
  TAlign FAlign = TAlign::alNone;
  bool FAlignWithMargins = false;
  TMargins FMargins;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FText;
  TFont FFont;
  TColor FColor = clDefault;
  int FTabOrder = -1;
  bool FTabStop = false;
  std::string FHint;
  TCursor FCursor = crDefault;
  std::unique_ptr<IControlPeer> FPeer;

  friend class TWinControl;
  friend class TPageControl;
};

// A control that holds other controls.
class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;

  const std::vector<TControl*>& Controls() const { return FControls; }
  // Creates a child that this control owns (for controls made at run time).
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto owned = std::make_unique<T>(this, std::forward<Args>(args)...);
    T& ref = *owned;
    FOwned.push_back(std::move(owned));
    return ref;
  }
  // Releases a child made by Add.
  void RemoveOwned(TControl& child);

  // Space inside the control that aligned children stay out of.
  const TMargins& Padding() const { return FPadding; }
  void SetPadding(const TMargins& padding);

  // The area aligned children share, in client coordinates.
  virtual TRect AlignRect() const;
  // Places every aligned child; runs by itself whenever something it depends on changes.
  virtual void Realign();

  void SetBounds(int left, int top, int width, int height) override;
  void HandleNeeded() override;
  void DestroyHandle() override;
  // Children in tab order: by TabOrder, then by creation.
  std::vector<TControl*> TabOrderedControls() const;
  // The first control of that name among the children and theirs, depth first; nullptr if none.
  TControl* FindControl(std::string_view name) const;

 protected:
  std::vector<TControl*> FControls;
  std::vector<std::unique_ptr<TControl>> FOwned;
  TMargins FPadding{0, 0, 0, 0};
  int FRealignLock = 0;

  friend class TControl;
};

class TPanel : public TWinControl {
 public:
  TPanel(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Panel; }
};

class TGroupBox : public TWinControl {
 public:
  TGroupBox(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::GroupBox; }
  TRect AlignRect() const override;
};

class TLabel : public TControl {
 public:
  TLabel(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Label; }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool on);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool on);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout l);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool on);
  void SetText(const std::string& text) override;
  bool CanFocus() const override { return false; }

 protected:
  void AdjustSize() override;

 private:
  bool FAutoSize = true;
  bool FWordWrap = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TTextLayout FLayout = TTextLayout::tlTop;
  bool FTransparent = true;
};

class TButton : public TControl {
 public:
  TButton(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Button; }
  // Set on the form when the button is clicked (mrNone: nothing).
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult r) { FModalResult = r; }
  // Enter presses the default button when the focus is on no other button.
  bool Default() const { return FDefault; }
  void SetDefault(bool on) { FDefault = on; }
  // Resource name of a small picture drawn left of the caption ("" for none).
  const std::string& Glyph() const { return FGlyph; }
  void SetGlyph(const std::string& resourceName);
  void Click() override;

 private:
  TModalResult FModalResult = mrNone;
  bool FDefault = false;
  std::string FGlyph;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::CheckBox; }
  bool Checked() const { return FChecked; }
  // Changing the state fires OnClick, as a click does.
  void SetChecked(bool on);
  void Click() override;

 private:
  bool FChecked = false;
};

class TRadioButton : public TControl {
 public:
  TRadioButton(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::RadioButton; }
  bool Checked() const { return FChecked; }
  // Checking one radio button unchecks the others of the same parent and fires OnClick.
  void SetChecked(bool on);
  void Click() override;

 private:
  bool FChecked = false;
};

class TEdit : public TControl {
 public:
  TEdit(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Edit; }
  // Every change of the text, by the user or the program, fires OnChange.
  void SetText(const std::string& text) override;
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool on);
  // The platform reports what the user typed.
  void NotifyTextEdited(const std::string& text);
  TControlEvent OnChange;

 protected:
  bool FReadOnly = false;
};

class TMemo : public TEdit {
 public:
  TMemo(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Memo; }
  // Lines joined by CR LF, as the window holds them.
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  void AddLine(const std::string& line);
  void Clear() { SetText(""); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool on);
  bool ScrollBars() const { return FScrollBars; }
  void SetScrollBars(bool on);

 private:
  bool FWordWrap = true;
  bool FScrollBars = false;
};

class TProgressBar : public TControl {
 public:
  TProgressBar(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::ProgressBar; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetMin(int v);
  void SetMax(int v);
  // Kept within Min..Max.
  void SetPosition(int v);
  void StepBy(int delta) { SetPosition(FPosition + delta); }
  bool CanFocus() const override { return false; }

 private:
  int FMin = 0, FMax = 100, FPosition = 0;
};

// A line drawn as a sunken edge (the separators of the heading band and the button strip).
class TBevel : public TControl {
 public:
  TBevel(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Bevel; }
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape s);
  bool CanFocus() const override { return false; }

 private:
  TBevelShape FShape = TBevelShape::bsTopLine;
};

// A picture from the program's resources.
class TImage : public TControl {
 public:
  TImage(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::Image; }
  const std::string& Picture() const { return FPicture; }
  void SetPicture(const std::string& resourceName);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool on);
  bool Center() const { return FCenter; }
  void SetCenter(bool on);
  bool CanFocus() const override { return false; }

 private:
  std::string FPicture;
  bool FStretch = false;
  bool FCenter = false;
};

// The screen: its size and the mouse cursor shown over the program's windows.
class TScreen {
 public:
  int Width() const;
  int Height() const;
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

 private:
  TCursor FCursor = crDefault;
};
TScreen& Screen();

// Text measurement in a font, through the backend: one line, and a word-wrapped block
// within maxWidth (the right edge reached and the height, like the platform's calculate-only
// text drawing with word breaks).
TSize TextExtent(const std::string& text, const TFont& font);
inline int TextWidth(const std::string& text, const TFont& font) { return TextExtent(text, font).Width; }
TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth);

// Word-wraps text into lines no wider than maxWidth (a word longer than that stays whole
// on its own line), measuring with the given function. Line breaks in the text are kept.
std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& widthOf);
}  // namespace ui
