#pragma once
// The Win32 side of a control: a window and a handful of message sends. The base keeps what every
// control has (bounds, visibility, enabling, font, text); a peer per kind adds its own sends and
// the notifications its window reports. Every decision stays in the control layer above.
#include <windows.h>

#include <string>

#include "ui/Controls.h"

namespace ui::win32 {

class TWin32Peer : public IControlPeer {
 public:
  explicit TWin32Peer(TControl& control) : FControl(control) {}
  ~TWin32Peer() override;
  TWin32Peer(const TWin32Peer&) = delete;
  TWin32Peer& operator=(const TWin32Peer&) = delete;

  // Makes the window and brings every property onto it (after construction: it calls the kind's
  // own overrides).
  void Create();

  void* Handle() const override { return FHwnd; }
  HWND Hwnd() const { return FHwnd; }
  TControl& Control() const { return FControl; }
  // The window is being destroyed by the system.
  void Forget() { FHwnd = nullptr; }
  // True while the program itself is changing the window (its notifications are not the user's).
  bool Syncing() const { return FSyncing > 0; }

  void Apply(TChange change) override;
  void SetFocus() override;
  void Repaint() override;

  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void TextChanged() override;
  void FontChanged() override;
  void ColorChanged() override { Invalidate(); }
  void HintChanged() override { Invalidate(); }
  void StyleChanged() override { Invalidate(); }
  void PictureChanged() override { Invalidate(); }

  // What the window reports. A WM_COMMAND notification from this control: true when the
  // control kind takes notifications (whatever the code), false lets the parent go on.
  virtual bool Command(WORD) { return false; }
  // WM_DRAWITEM of an owner-drawn control.
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
  // An edit field has a white background whatever the parent's colour.
  virtual bool IsField() const { return false; }
  // Painting of the program's own window classes (WM_PAINT; the background is already filled).
  virtual void Paint(HDC, const RECT&) {}
  // The kind's own handling of a window message; true when it is done with it.
  virtual bool Message(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  // The program's scale changed: font, style and bounds again.
  virtual void Rescaled();

 protected:
  // The window to make: its class, styles and parent.
  virtual std::wstring ClassName() const = 0;
  virtual DWORD Style() const;
  virtual DWORD ExStyle() const { return 0; }
  virtual HWND ParentWindow() const;
  // True for the system's control classes, which are subclassed to reach the program.
  virtual bool StandardClass() const { return true; }
  // Runs once the window and its properties exist.
  virtual void Created() {}
  // Whether the text is drawn with word breaks (published for the test driver).
  virtual bool WrapsText() const { return false; }

  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SetText(const std::string& text) const;
  void Invalidate() const;
  // Publishes how the text is drawn, for the test driver: "face;pixel height;weight;wrap".
  void PublishFont() const;

 private:
  TControl& FControl;
  HWND FHwnd = nullptr;
  int FSyncing = 0;
};

// The peer of a control made by this backend; nullptr when the control has no window.
TWin32Peer* PeerOf(TControl* control);
// The control a window belongs to (not its parents), nullptr if none.
TControl* ControlOf(HWND hwnd);
// The window's end, whoever brings it: its peer forgets it and its marks are taken off.
void WindowDestroyed(HWND hwnd);
// The window's text as UTF-8.
std::string WindowTextOf(HWND hwnd);

// The window procedure of the program's own window classes and the subclass procedure of the
// system's control classes.
LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StandardSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
// The program's own window classes (for containers, labels, pictures and bevels).
extern const wchar_t* const kContainerClass;
extern const wchar_t* const kLabelClass;
extern const wchar_t* const kImageClass;
extern const wchar_t* const kBevelClass;
void RegisterClasses();

// An exception thrown inside a window procedure must not unwind through the system's frames:
// it is kept and thrown again once the message call has returned to the program's code.
void KeepException();
void RethrowPending();

}  // namespace ui::win32
