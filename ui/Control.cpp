#include "ui/Control.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"
#include "ui/Form.h"
#include "ui/PageControl.h"

namespace ui {

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TWinControl* parent, std::string name) : FName(std::move(name)) {
  if (parent) {
    FParent = parent;
    parent->FControls.push_back(this);
  }
}

TControl::~TControl() {
  Backend().ControlDestroyed(*this);
  for (TControl* p = FParent; p; p = p->FParent)
    if (p->Kind() == TControlKind::Form) {
      auto* form = static_cast<TForm*>(p);
      if (form->FActiveControl == this) form->FActiveControl = nullptr;
    }
  FPeer.reset();
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (FAlign != TAlign::alNone && FVisible) FParent->Realign();
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  DestroyHandle();
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    FParent->Realign();
  }
  FParent = parent;
  if (parent) {
    parent->FControls.push_back(this);
    if (parent->HandleAllocated()) HandleNeeded();
    RequestParentRealign();
  }
}

TForm* TControl::ParentForm() {
  for (TControl* c = this; c; c = c->FParent)
    if (c->Kind() == TControlKind::Form) return static_cast<TForm*>(c);
  return nullptr;
}

void TControl::Changed(IControlPeer::TChange what) {
  if (!FPeer && FParent && FParent->HandleAllocated()) HandleNeeded();
  if (FPeer) FPeer->Apply(what);
}

void TControl::RequestParentRealign() {
  if (FParent && FParent->FRealignLock == 0 && (FAlign != TAlign::alNone || FParent->Kind() == TControlKind::PageControl))
    FParent->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (FConstraints.MaxWidth > 0) width = std::min(width, FConstraints.MaxWidth);
  if (FConstraints.MaxHeight > 0) height = std::min(height, FConstraints.MaxHeight);
  width = std::max(width, FConstraints.MinWidth);
  height = std::max(height, FConstraints.MinHeight);
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Changed(&IControlPeer::BoundsChanged);
  RequestParentRealign();
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::SetAlignWithMargins(bool on) {
  FAlignWithMargins = on;
  RequestParentRealign();
}

void TControl::SetMargins(const TMargins& margins) {
  FMargins = margins;
  RequestParentRealign();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Changed(&IControlPeer::VisibleChanged);
  if (FParent && FAlign != TAlign::alNone) FParent->Realign();
  if (!visible) {
    // A hidden control cannot keep the focus; the form forgets it.
    if (TForm* form = ParentForm(); form && form != this && form->FActiveControl) {
      for (TControl* c = form->FActiveControl; c; c = c->FParent)
        if (c == this) {
          form->FActiveControl = nullptr;
          break;
        }
    }
  }
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (!c->FVisible) return false;
    if (c->Kind() == TControlKind::Form) return true;
  }
  return false;
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Changed(&IControlPeer::EnabledChanged);
}

void TControl::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  Changed(&IControlPeer::TextChanged);
  AdjustSize();
}

void TControl::SetFont(const TFont& font) {
  if (font == FFont) return;
  FFont = font;
  Changed(&IControlPeer::FontChanged);
  AdjustSize();
}

void TControl::SetFontName(const std::string& name) {
  TFont f = FFont;
  f.Name = name;
  SetFont(f);
}

void TControl::SetFontHeight(int height) {
  TFont f = FFont;
  f.Height = height;
  SetFont(f);
}

void TControl::SetFontBold(bool bold) {
  TFont f = FFont;
  f.Bold = bold;
  SetFont(f);
}

void TControl::SetFontColor(TColor color) {
  TFont f = FFont;
  f.Color = color;
  SetFont(f);
}

TColor TControl::EffectiveColor() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (c->FColor != clDefault) return c->FColor;
  return clWhite;
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed(&IControlPeer::ColorChanged);
}

void TControl::SetTabOrder(int order) {
  FTabOrder = order;
  Changed(&IControlPeer::TabOrderChanged);
}

void TControl::SetHint(const std::string& hint) {
  FHint = hint;
  Changed(&IControlPeer::HintChanged);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

bool TControl::CanFocus() const {
  if (!Showing()) return false;
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

void TControl::SetFocus() {
  TForm* form = ParentForm();
  if (form && form != this) form->FActiveControl = this;
  if (!CanFocus()) return;
  if (FPeer) FPeer->SetFocus();
  Backend().FocusChanged(this);
}

bool TControl::Focused() const { return Backend().FocusedControl() == this; }

void TControl::Repaint() {
  if (FPeer) FPeer->Repaint();
}

void TControl::HandleNeeded() {
  if (!FPeer) FPeer = Backend().CreatePeer(*this);
}

void TControl::DestroyHandle() { FPeer.reset(); }

void TControl::NotifyResized(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::~TWinControl() {
  FOwned.clear();
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
}

void TWinControl::RemoveOwned(TControl& child) {
  for (auto it = FOwned.begin(); it != FOwned.end(); ++it)
    if (it->get() == &child) {
      FOwned.erase(it);
      return;
    }
}

void TWinControl::SetPadding(const TMargins& padding) {
  FPadding = padding;
  Realign();
}

TRect TWinControl::AlignRect() const {
  return {FPadding.Left, FPadding.Top, ClientWidth() - FPadding.Right, ClientHeight() - FPadding.Bottom};
}

void TWinControl::Realign() {
  ++FRealignLock;
  TRect r = AlignRect();
  auto margins = [](const TControl* c) { return c->FAlignWithMargins ? c->FMargins : TMargins{0, 0, 0, 0}; };
  auto pick = [&](TAlign a) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->FAlign == a && c->FVisible) list.push_back(c);
    return list;
  };
  // Controls stack in the order of their current position, as they were placed.
  auto tops = pick(TAlign::alTop);
  std::stable_sort(tops.begin(), tops.end(), [](auto* a, auto* b) { return a->FTop < b->FTop; });
  for (TControl* c : tops) {
    TMargins m = margins(c);
    c->SetBounds(r.Left + m.Left, r.Top + m.Top, r.Width() - m.Left - m.Right, c->FHeight);
    r.Top += c->FHeight + m.Top + m.Bottom;
  }
  auto bottoms = pick(TAlign::alBottom);
  std::stable_sort(bottoms.begin(), bottoms.end(), [](auto* a, auto* b) { return a->FTop > b->FTop; });
  for (TControl* c : bottoms) {
    TMargins m = margins(c);
    c->SetBounds(r.Left + m.Left, r.Bottom - m.Bottom - c->FHeight, r.Width() - m.Left - m.Right, c->FHeight);
    r.Bottom -= c->FHeight + m.Top + m.Bottom;
  }
  auto lefts = pick(TAlign::alLeft);
  std::stable_sort(lefts.begin(), lefts.end(), [](auto* a, auto* b) { return a->FLeft < b->FLeft; });
  for (TControl* c : lefts) {
    TMargins m = margins(c);
    c->SetBounds(r.Left + m.Left, r.Top + m.Top, c->FWidth, r.Height() - m.Top - m.Bottom);
    r.Left += c->FWidth + m.Left + m.Right;
  }
  auto rights = pick(TAlign::alRight);
  std::stable_sort(rights.begin(), rights.end(), [](auto* a, auto* b) { return a->FLeft > b->FLeft; });
  for (TControl* c : rights) {
    TMargins m = margins(c);
    c->SetBounds(r.Right - m.Right - c->FWidth, r.Top + m.Top, c->FWidth, r.Height() - m.Top - m.Bottom);
    r.Right -= c->FWidth + m.Left + m.Right;
  }
  for (TControl* c : pick(TAlign::alClient)) {
    TMargins m = margins(c);
    c->SetBounds(r.Left + m.Left, r.Top + m.Top, r.Width() - m.Left - m.Right, r.Height() - m.Top - m.Bottom);
  }
  --FRealignLock;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  int oldW = FWidth, oldH = FHeight;
  TControl::SetBounds(left, top, width, height);
  if (FWidth != oldW || FHeight != oldH) Realign();
}

void TWinControl::HandleNeeded() {
  TControl::HandleNeeded();
  for (TControl* c : TabOrderedControls()) c->HandleNeeded();
}

void TWinControl::DestroyHandle() {
  for (TControl* c : FControls) c->DestroyHandle();
  TControl::DestroyHandle();
}

std::vector<TControl*> TWinControl::TabOrderedControls() const {
  std::vector<TControl*> list = FControls;
  std::stable_sort(list.begin(), list.end(), [](TControl* a, TControl* b) {
    int ka = a->FTabOrder < 0 ? 1 << 30 : a->FTabOrder;
    int kb = b->FTabOrder < 0 ? 1 << 30 : b->FTabOrder;
    return ka < kb;
  });
  return list;
}

TControl* TWinControl::FindControl(std::string_view name) const {
  for (TControl* c : FControls) {
    if (c->Name() == name) return c;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TControl* found = w->FindControl(name)) return found;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Simple controls

TPanel::TPanel(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
  FWidth = 185;
  FHeight = 41;
}

TGroupBox::TGroupBox(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
  FWidth = 185;
  FHeight = 105;
}

TRect TGroupBox::AlignRect() const {
  int top = TextExtent("X", FFont).Height + 2;
  return {2 + FPadding.Left, top + FPadding.Top, ClientWidth() - 2 - FPadding.Right,
          ClientHeight() - 2 - FPadding.Bottom};
}

TLabel::TLabel(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 0;
  FHeight = TextExtent("X", FFont).Height;
}

void TLabel::SetAutoSize(bool on) {
  FAutoSize = on;
  AdjustSize();
}

void TLabel::SetWordWrap(bool on) {
  FWordWrap = on;
  Changed(&IControlPeer::StyleChanged);
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment a) {
  FAlignment = a;
  Changed(&IControlPeer::StyleChanged);
}

void TLabel::SetLayout(TTextLayout l) {
  FLayout = l;
  Changed(&IControlPeer::StyleChanged);
}

void TLabel::SetTransparent(bool on) {
  FTransparent = on;
  Changed(&IControlPeer::StyleChanged);
}

void TLabel::SetText(const std::string& text) { TControl::SetText(text); }

void TLabel::AdjustSize() {
  if (!FAutoSize || FAlign == TAlign::alClient) return;
  TSize s = FWordWrap ? WrappedTextExtent(FText, FFont, FWidth) : TextExtent(FText, FFont);
  if (FText.empty()) s.Height = TextExtent("X", FFont).Height;
  int w = FWordWrap || FAlign == TAlign::alTop || FAlign == TAlign::alBottom ? FWidth : s.Width;
  int h = FAlign == TAlign::alLeft || FAlign == TAlign::alRight ? FHeight : s.Height;
  // A right-aligned label grows to the left, as its text is anchored at the right.
  int left = FAlignment == TAlignment::taRightJustify && !FWordWrap ? FLeft + FWidth - w : FLeft;
  SetBounds(left, FTop, w, h);
}

TButton::TButton(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
}

void TButton::SetGlyph(const std::string& resourceName) {
  FGlyph = resourceName;
  Changed(&IControlPeer::PictureChanged);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TForm* form = ParentForm()) form->SetModalResult(FModalResult);
  TControl::Click();
}

TCheckBox::TCheckBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 97;
  FHeight = 17;
  FTabStop = true;
}

void TCheckBox::SetChecked(bool on) {
  if (on == FChecked) return;
  FChecked = on;
  Changed(&IControlPeer::CheckedChanged);
  TControl::Click();
}

void TCheckBox::Click() { SetChecked(!FChecked); }

TRadioButton::TRadioButton(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 113;
  FHeight = 17;
}

void TRadioButton::SetChecked(bool on) {
  if (on == FChecked) return;
  FChecked = on;
  FTabStop = on;
  Changed(&IControlPeer::CheckedChanged);
  if (!on) return;
  if (FParent)
    for (TControl* c : FParent->Controls())
      if (c != this && c->Kind() == TControlKind::RadioButton) static_cast<TRadioButton*>(c)->SetChecked(false);
  TControl::Click();
}

void TRadioButton::Click() { SetChecked(true); }

TEdit::TEdit(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 121;
  FHeight = 21;
  FTabStop = true;
}

void TEdit::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  Changed(&IControlPeer::TextChanged);
  if (OnChange) OnChange(this);
}

void TEdit::SetReadOnly(bool on) {
  FReadOnly = on;
  Changed(&IControlPeer::ReadOnlyChanged);
}

void TEdit::NotifyTextEdited(const std::string& text) {
  if (text == FText) return;
  FText = text;
  if (OnChange) OnChange(this);
}

TMemo::TMemo(TWinControl* parent, std::string name) : TEdit(parent, std::move(name)) {
  FWidth = 185;
  FHeight = 89;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  if (FText.empty()) return lines;
  size_t start = 0;
  while (true) {
    size_t nl = FText.find('\n', start);
    std::string line = FText.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (nl == std::string::npos) {
      if (!line.empty()) lines.push_back(line);
      break;
    }
    lines.push_back(line);
    start = nl + 1;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  SetText(text);
}

void TMemo::AddLine(const std::string& line) { SetText(FText + line + "\r\n"); }

void TMemo::SetWordWrap(bool on) {
  FWordWrap = on;
  Changed(&IControlPeer::StyleChanged);
}

void TMemo::SetScrollBars(bool on) {
  FScrollBars = on;
  Changed(&IControlPeer::StyleChanged);
}

// ---------------------------------------------------------------------------------------------
// TProgressBar, TBevel, TImage

TProgressBar::TProgressBar(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 150;
  FHeight = 17;
}

void TProgressBar::SetMin(int v) {
  FMin = v;
  if (FMax < FMin) FMax = FMin;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Changed(&IControlPeer::PositionChanged);
}

void TProgressBar::SetMax(int v) {
  FMax = v;
  if (FMin > FMax) FMin = FMax;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Changed(&IControlPeer::PositionChanged);
}

void TProgressBar::SetPosition(int v) {
  v = std::clamp(v, FMin, FMax);
  if (v == FPosition) return;
  FPosition = v;
  Changed(&IControlPeer::PositionChanged);
}

TBevel::TBevel(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 50;
  FHeight = 2;
}

void TBevel::SetShape(TBevelShape s) {
  FShape = s;
  Changed(&IControlPeer::StyleChanged);
}

TImage::TImage(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 105;
  FHeight = 105;
}

void TImage::SetPicture(const std::string& resourceName) {
  FPicture = resourceName;
  Changed(&IControlPeer::PictureChanged);
}

void TImage::SetStretch(bool on) {
  FStretch = on;
  Changed(&IControlPeer::PictureChanged);
}

void TImage::SetCenter(bool on) {
  FCenter = on;
  Changed(&IControlPeer::PictureChanged);
}

// ---------------------------------------------------------------------------------------------
// Screen, measurement, application

int TScreen::Width() const { return Backend().ScreenSize().Width; }
int TScreen::Height() const { return Backend().ScreenSize().Height; }
void TScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  Backend().SetCursor(cursor);
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

TSize TextExtent(const std::string& text, const TFont& font) { return Backend().TextExtent(text, font); }

TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) {
  return Backend().WrappedTextExtent(text, font, maxWidth);
}

std::vector<std::string> WrapText(const std::string& text, int maxWidth,
                                  const std::function<int(const std::string&)>& widthOf) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string paragraph = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    std::erase(paragraph, '\r');
    std::string line;
    size_t pos = 0;
    bool any = false;
    while (pos <= paragraph.size()) {
      size_t sp = paragraph.find(' ', pos);
      std::string word = paragraph.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
      std::string candidate = any ? line + " " + word : word;
      if (any && widthOf(candidate) > maxWidth) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
      any = true;
      if (sp == std::string::npos) break;
      pos = sp + 1;
    }
    lines.push_back(line);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}
}  // namespace ui
