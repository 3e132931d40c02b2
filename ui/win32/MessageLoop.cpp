#include "ui/win32/MessageLoop.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "ui/Application.h"
#include "ui/win32/Peer.h"

namespace ui::win32 {

namespace {

TShiftState CurrentShift() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

TForm* FormOf(HWND hwnd) { return dynamic_cast<TForm*>(ControlOf(GetAncestor(hwnd, GA_ROOT))); }

// A key goes to the form's preview first, then to the dialog manager (Tab, Enter, Escape,
// arrows between radio buttons), then to the window it is for.
void Dispatch(MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (TForm* form = FormOf(msg.hwnd)) {
      int key = form->PreviewKey(static_cast<int>(msg.wParam), CurrentShift());
      RethrowPending();
      if (key == 0) return;
      if (root && IsDialogMessageW(root, &msg)) {
        RethrowPending();
        return;
      }
    }
  } else if (msg.message == WM_KEYUP || msg.message == WM_CHAR) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && FormOf(msg.hwnd) && IsDialogMessageW(root, &msg)) {
      RethrowPending();
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  RethrowPending();
}

BOOL CALLBACK DisableOther(HWND h, LPARAM param) {
  auto* d = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(param);
  if (h != d->first && IsWindowVisible(h) && IsWindowEnabled(h)) {
    EnableWindow(h, FALSE);
    d->second->push_back(h);
  }
  return TRUE;
}

}  // namespace

void RunModalLoop(TForm& form) {
  // Every other window of the program waits while the modal one is open.
  struct Disabled {
    std::vector<HWND> windows;
    ~Disabled() {
      for (HWND h : windows) EnableWindow(h, TRUE);
    }
  } disabled;
  form.HandleNeeded();
  HWND self = static_cast<HWND>(form.Handle());
  std::pair<HWND, std::vector<HWND>*> data(self, &disabled.windows);
  EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&data));
  form.ShowForm();
  while (form.ModalResult() == mrNone && form.Visible()) {
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      Application().Terminate();
      break;
    }
    Dispatch(msg);
  }
  // Give the other windows back before the modal one disappears, so the owner is activated.
  for (HWND h : disabled.windows) EnableWindow(h, TRUE);
  disabled.windows.clear();
}

void RunMainMessageLoop(TForm& mainForm) {
  while (mainForm.Visible() && !Application().Terminated()) {
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      Application().Terminate();
      break;
    }
    Dispatch(msg);
  }
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Application().Terminate();
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    Dispatch(msg);
  }
}

}  // namespace ui::win32
