#pragma once
// Controls that choose among items: combo box, list box and radio group.
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class TComboBox : public TControl {
 public:
  TComboBox(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::ComboBox; }
  TComboStyle Style() const { return FStyle; }
  void SetStyle(TComboStyle style);
  const std::vector<std::string>& Items() const { return FItems; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& item);
  void Clear();
  int ItemIndex() const { return FItemIndex; }
  // Selecting by program changes the text but fires no OnChange.
  void SetItemIndex(int index);
  void SetText(const std::string& text) override;
  // The user picked an item / typed a text: OnChange fires.
  void NotifySelected(int index);
  void NotifyTextEdited(const std::string& text);
  TControlEvent OnChange;

 private:
  TComboStyle FStyle = TComboStyle::csDropDown;
  std::vector<std::string> FItems;
  int FItemIndex = -1;
};

class TListBox : public TControl {
 public:
  TListBox(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::ListBox; }
  const std::vector<std::string>& Items() const { return FItems; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& item);
  void Clear();
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  // The user picked an item: OnClick fires.
  void NotifySelected(int index);

 private:
  std::vector<std::string> FItems;
  int FItemIndex = -1;
};

// A group box with one radio button per item; exactly the ItemIndex-th one is checked.
class TRadioGroup : public TWinControl {
 public:
  TRadioGroup(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::RadioGroup; }
  const std::vector<std::string>& Items() const { return FItems; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& item);
  // Renames one item, keeping the selection.
  void SetItem(int index, const std::string& text);
  void Clear() { SetItems({}); }
  int ItemIndex() const { return FItemIndex; }
  // A change of the selection, by the user or the program, fires OnClick.
  void SetItemIndex(int index);
  int Columns() const { return FColumns; }
  void SetColumns(int columns);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TRadioButton& Buttons(int index) { return *FButtons.at(static_cast<size_t>(index)); }
  TRect AlignRect() const override;
  void Realign() override;

 private:
  void RebuildButtons();
  std::vector<std::string> FItems;
  std::vector<std::unique_ptr<TRadioButton>> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};

}  // namespace ui
