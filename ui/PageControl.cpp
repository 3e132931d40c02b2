#include "ui/PageControl.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Backend.h"

namespace ui {

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
  Changed(&IControlPeer::ActivePageChanged);
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount()) return;
  SetActivePage(&Pages(index));
}

void TPageControl::SetTabHeight(int h) {
  FTabHeight = h;
  Changed(&IControlPeer::StyleChanged);
  Realign();
}

void TPageControl::SetTabWidth(int w) {
  FTabWidth = w;
  Changed(&IControlPeer::StyleChanged);
  Realign();
}

void TPageControl::SetStyle(TTabStyle s) {
  FStyle = s;
  Changed(&IControlPeer::StyleChanged);
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

}  // namespace ui
