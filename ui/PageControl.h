#pragma once
// The page control and its pages.
#include <string>

#include "ui/Control.h"

namespace ui {

enum class TTabStyle : unsigned char { tsTabs, tsButtons, tsFlatButtons };

// One page of a page control; only the active page is visible.
class TTabSheet : public TWinControl {
 public:
  TTabSheet(TWinControl* pageControl, std::string name);
  ~TTabSheet() override;
  TControlKind Kind() const override { return TControlKind::TabSheet; }
  int PageIndex() const;
};

// The page control of the wizard: pages switched by the program, no tabs shown. The page
// area covers the whole control (see TablessPageRect).
class TPageControl : public TWinControl {
 public:
  TPageControl(TWinControl* parent, std::string name);
  TControlKind Kind() const override { return TControlKind::PageControl; }

  int PageCount() const;
  TTabSheet& Pages(int index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  int ActivePageIndex() const;
  void SetActivePage(TTabSheet* page);
  void SetActivePageIndex(int index);

  int TabHeight() const { return FTabHeight; }
  int TabWidth() const { return FTabWidth; }
  void SetTabHeight(int h);
  void SetTabWidth(int w);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle s);

  // The rectangle the pages occupy, in the control's client coordinates.
  TRect PageRect() const;
  void Realign() override;
  bool CanFocus() const override { return false; }

  TControlEvent OnChange;

 private:
  friend class TTabSheet;
  void PageAdded(TTabSheet* page);
  void PageRemoved(TTabSheet* page);
  TTabSheet* FActivePage = nullptr;
  int FTabHeight = 0, FTabWidth = 0;
  TTabStyle FStyle = TTabStyle::tsTabs;
};

// The page rectangle of the tab-less page control: whatever the platform's page control
// computes for its tabs, the page covers the control from its left to its right edge and
// down to its bottom edge, and reaches 7 pixels up into the (minimal) tab row.
TRect TablessPageRect(const TRect& platformRect, int clientWidth, int clientHeight);

}  // namespace ui
