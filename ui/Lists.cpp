#include "ui/Lists.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"

namespace ui {

TComboBox::TComboBox(TWinControl* parent, std::string name) : TControl(parent, std::move(name)) {
  FWidth = 145;
  FHeight = 21;
  FTabStop = true;
}

void TComboBox::SetStyle(TComboStyle style) {
  FStyle = style;
  Changed(&IControlPeer::StyleChanged);
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  FItems = items;
  FItemIndex = -1;
  if (FStyle == TComboStyle::csDropDownList) FText.clear();
  Changed(&IControlPeer::ItemsChanged);
}

void TComboBox::AddItem(const std::string& item) {
  FItems.push_back(item);
  Changed(&IControlPeer::ItemsChanged);
}

void TComboBox::Clear() {
  FItems.clear();
  FItemIndex = -1;
  FText.clear();
  Changed(&IControlPeer::ItemsChanged);
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
  FItemIndex = index;
  FText = index >= 0 ? FItems[static_cast<size_t>(index)] : (FStyle == TComboStyle::csDropDownList ? "" : FText);
  Changed(&IControlPeer::ItemIndexChanged);
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
  Changed(&IControlPeer::TextChanged);
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
  Changed(&IControlPeer::ItemsChanged);
}

void TListBox::AddItem(const std::string& item) {
  FItems.push_back(item);
  Changed(&IControlPeer::ItemsChanged);
}

void TListBox::Clear() { SetItems({}); }

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
  FItemIndex = index;
  Changed(&IControlPeer::ItemIndexChanged);
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

}  // namespace ui
