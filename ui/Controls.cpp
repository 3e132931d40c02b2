#include "ui/Controls.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"

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

void TControl::Changed(TProp what) {
  if (!FPeer && FParent && FParent->HandleAllocated()) HandleNeeded();
  if (FPeer) FPeer->Sync(what);
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
  Changed(TProp::Bounds);
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
  Changed(TProp::Visible);
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
  Changed(TProp::Enabled);
}

void TControl::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  Changed(TProp::Text);
  AdjustSize();
}

void TControl::SetFont(const TFont& font) {
  if (font == FFont) return;
  FFont = font;
  Changed(TProp::Font);
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
  Changed(TProp::Color);
}

void TControl::SetTabOrder(int order) {
  FTabOrder = order;
  Changed(TProp::TabOrder);
}

void TControl::SetHint(const std::string& hint) {
  FHint = hint;
  Changed(TProp::Hint);
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
  Changed(TProp::Style);
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment a) {
  FAlignment = a;
  Changed(TProp::Style);
}

void TLabel::SetLayout(TTextLayout l) {
  FLayout = l;
  Changed(TProp::Style);
}

void TLabel::SetTransparent(bool on) {
  FTransparent = on;
  Changed(TProp::Style);
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
  Changed(TProp::Picture);
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
  Changed(TProp::Checked);
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
  Changed(TProp::Checked);
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
  Changed(TProp::Text);
  if (OnChange) OnChange(this);
}

void TEdit::SetReadOnly(bool on) {
  FReadOnly = on;
  Changed(TProp::ReadOnly);
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
  Changed(TProp::Style);
}

void TMemo::SetScrollBars(bool on) {
  FScrollBars = on;
  Changed(TProp::Style);
}

TComboBox::TComboBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 145;
  FHeight = 21;
  FTabStop = true;
}

void TComboBox::SetStyle(TComboStyle style) {
  FStyle = style;
  Changed(TProp::Style);
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  FItems = items;
  FItemIndex = -1;
  if (FStyle == TComboStyle::csDropDownList) FText.clear();
  Changed(TProp::Items);
}

void TComboBox::AddItem(const std::string& item) {
  FItems.push_back(item);
  Changed(TProp::Items);
}

void TComboBox::Clear() {
  FItems.clear();
  FItemIndex = -1;
  FText.clear();
  Changed(TProp::Items);
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
  FItemIndex = index;
  FText = index >= 0 ? FItems[static_cast<size_t>(index)] : (FStyle == TComboStyle::csDropDownList ? "" : FText);
  Changed(TProp::ItemIndex);
}

void TComboBox::SetText(const std::string& text) {
  auto it = std::find(FItems.begin(), FItems.end(), text);
  if (it != FItems.end()) {
    SetItemIndex(static_cast<int>(it - FItems.begin()));
    return;
  }
  if (FStyle == TComboStyle::csDropDownList) return;  // a list-only box holds only its items
  FItemIndex = -1;
  FText = text;
  Changed(TProp::Text);
}

void TComboBox::NotifySelected(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) return;
  FItemIndex = index;
  if (index >= 0) FText = FItems[static_cast<size_t>(index)];
  if (OnChange) OnChange(this);
}

void TComboBox::NotifyTextEdited(const std::string& text) {
  if (FStyle == TComboStyle::csDropDownList) return;
  FText = text;
  auto it = std::find(FItems.begin(), FItems.end(), text);
  FItemIndex = it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
  if (OnChange) OnChange(this);
}

TListBox::TListBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
}

void TListBox::SetItems(const std::vector<std::string>& items) {
  FItems = items;
  FItemIndex = -1;
  Changed(TProp::Items);
}

void TListBox::AddItem(const std::string& item) {
  FItems.push_back(item);
  Changed(TProp::Items);
}

void TListBox::Clear() { SetItems({}); }

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
  FItemIndex = index;
  Changed(TProp::ItemIndex);
}

void TListBox::NotifySelected(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) return;
  FItemIndex = index;
  TControl::Click();
}

// ---------------------------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
  FWidth = 185;
  FHeight = 105;
  FTabStop = true;
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  FItems = items;
  if (FItemIndex >= static_cast<int>(FItems.size())) FItemIndex = static_cast<int>(FItems.size()) - 1;
  RebuildButtons();
}

void TRadioGroup::AddItem(const std::string& item) {
  FItems.push_back(item);
  RebuildButtons();
}

void TRadioGroup::SetItem(int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(FItems.size())) return;
  FItems[static_cast<size_t>(index)] = text;
  FButtons[static_cast<size_t>(index)]->SetText(text);
}

void TRadioGroup::RebuildButtons() {
  FUpdating = true;
  FButtons.resize(std::min(FButtons.size(), FItems.size()));
  while (FButtons.size() < FItems.size()) {
    auto button = std::make_unique<TRadioButton>(this, FName + "_" + std::to_string(FButtons.size()));
    TRadioButton* self = button.get();
    int index = static_cast<int>(FButtons.size());
    button->OnClick = [this, index, self](TControl*) {
      if (FUpdating || !self->Checked()) return;
      FItemIndex = index;
      TControl::Click();
    };
    FButtons.push_back(std::move(button));
  }
  for (size_t i = 0; i < FButtons.size(); ++i) {
    FButtons[i]->SetFont(FFont);
    FButtons[i]->SetText(FItems[i]);
    FButtons[i]->SetEnabled(FEnabled);
    FButtons[i]->SetChecked(static_cast<int>(i) == FItemIndex);
    if (HandleAllocated()) FButtons[i]->HandleNeeded();
  }
  FUpdating = false;
  Realign();
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
  if (index == FItemIndex) return;
  FUpdating = true;
  if (index >= 0)
    FButtons[static_cast<size_t>(index)]->SetChecked(true);
  else if (FItemIndex >= 0)
    FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
  FUpdating = false;
  FItemIndex = index;
  TControl::Click();
}

void TRadioGroup::SetColumns(int columns) {
  FColumns = std::max(1, columns);
  Realign();
}

TRect TRadioGroup::AlignRect() const {
  int top = TextExtent("X", FFont).Height + 2;
  return {2, top, ClientWidth() - 2, ClientHeight() - 2};
}

void TRadioGroup::Realign() {
  TWinControl::Realign();
  if (FButtons.empty()) return;
  // One column after the other, the rows sharing the height below the caption evenly.
  ++FRealignLock;
  int count = static_cast<int>(FButtons.size());
  int perColumn = (count + FColumns - 1) / FColumns;
  int textHeight = TextExtent("X", FFont).Height;
  int buttonWidth = (FWidth - 10) / FColumns;
  int space = FHeight - textHeight - 5;
  int buttonHeight = std::max(space / perColumn, 1);
  int topMargin = textHeight + 1 + (space % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    int col = i / perColumn, row = i % perColumn;
    FButtons[static_cast<size_t>(i)]->SetBounds(col * buttonWidth + 8, row * buttonHeight + topMargin, buttonWidth - 8,
                                                buttonHeight);
  }
  --FRealignLock;
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
  Changed(TProp::Position);
}

void TProgressBar::SetMax(int v) {
  FMax = v;
  if (FMin > FMax) FMin = FMax;
  FPosition = std::clamp(FPosition, FMin, FMax);
  Changed(TProp::Position);
}

void TProgressBar::SetPosition(int v) {
  v = std::clamp(v, FMin, FMax);
  if (v == FPosition) return;
  FPosition = v;
  Changed(TProp::Position);
}

TBevel::TBevel(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 50;
  FHeight = 2;
}

void TBevel::SetShape(TBevelShape s) {
  FShape = s;
  Changed(TProp::Style);
}

TImage::TImage(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 105;
  FHeight = 105;
}

void TImage::SetPicture(const std::string& resourceName) {
  FPicture = resourceName;
  Changed(TProp::Picture);
}

void TImage::SetStretch(bool on) {
  FStretch = on;
  Changed(TProp::Picture);
}

void TImage::SetCenter(bool on) {
  FCenter = on;
  Changed(TProp::Picture);
}

// ---------------------------------------------------------------------------------------------
// TPageControl, TTabSheet

TRect TablessPageRect(const TRect& platformRect, int clientWidth, int clientHeight) {
  return {0, platformRect.Top - 7, clientWidth, clientHeight};
}

TTabSheet::TTabSheet(TWinControl* pageControl, std::string name) : TWinControl(pageControl, std::move(name)) {
  if (!pageControl || pageControl->Kind() != TControlKind::PageControl)
    throw std::logic_error("A tab sheet belongs on a page control: " + FName);
  static_cast<TPageControl*>(pageControl)->PageAdded(this);
}

TTabSheet::~TTabSheet() {
  if (FParent) static_cast<TPageControl*>(FParent)->PageRemoved(this);
}

int TTabSheet::PageIndex() const {
  if (!FParent) return -1;
  int i = 0;
  for (TControl* c : FParent->Controls()) {
    if (c == this) return i;
    if (c->Kind() == TControlKind::TabSheet) ++i;
  }
  return -1;
}

TPageControl::TPageControl(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
}

int TPageControl::PageCount() const {
  int n = 0;
  for (TControl* c : FControls)
    if (c->Kind() == TControlKind::TabSheet) ++n;
  return n;
}

TTabSheet& TPageControl::Pages(int index) const {
  int i = 0;
  for (TControl* c : FControls)
    if (c->Kind() == TControlKind::TabSheet && i++ == index) return *static_cast<TTabSheet*>(c);
  throw std::out_of_range("No page " + std::to_string(index) + " in " + FName);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->Parent() != this) return;
  FActivePage = page;
  for (TControl* c : FControls)
    if (c->Kind() == TControlKind::TabSheet) c->SetVisible(c == page);
  Changed(TProp::ActivePage);
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  SetActivePage(&Pages(index));
}

void TPageControl::SetTabHeight(int h) {
  FTabHeight = h;
  Changed(TProp::Style);
  Realign();
}

void TPageControl::SetTabWidth(int w) {
  FTabWidth = w;
  Changed(TProp::Style);
  Realign();
}

void TPageControl::SetStyle(TTabStyle s) {
  FStyle = s;
  Changed(TProp::Style);
  Realign();
}

TRect TPageControl::PageRect() const {
  return TablessPageRect(Backend().PlatformPageRect(*this), ClientWidth(), ClientHeight());
}

void TPageControl::Realign() {
  ++FRealignLock;
  TRect r = PageRect();
  for (TControl* c : FControls)
    if (c->Kind() == TControlKind::TabSheet) c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  --FRealignLock;
}

void TPageControl::PageAdded(TTabSheet* page) {
  page->FVisible = FActivePage == nullptr;
  if (!FActivePage) FActivePage = page;
  TRect r = PageRect();
  page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::PageRemoved(TTabSheet* page) {
  if (FActivePage == page) FActivePage = nullptr;
}

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
  // Children declared after the form's own members are gone by now; release the window last.
  FOwned.clear();
  DestroyHandle();
}

void TForm::SetBorderStyle(TBorderStyle style) {
  int cw = ClientWidth(), ch = ClientHeight();
  FBorderStyle = style;
  Changed(TProp::BorderStyle);
  // The client area keeps its size; the frame around it changes.
  SetClientWidth(cw);
  SetClientHeight(ch);
}

void TForm::SetMinimizeBox(bool on) {
  FMinimizeBox = on;
  Changed(TProp::BorderStyle);
}

void TForm::SetMaximizeBox(bool on) {
  FMaximizeBox = on;
  Changed(TProp::BorderStyle);
}

void TForm::SetIcon(const std::string& resourceName) {
  FIcon = resourceName;
  Changed(TProp::Icon);
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
