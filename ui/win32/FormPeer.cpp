#include "ui/win32/FormPeer.h"

#include <algorithm>

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {
const UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later
}

DWORD FormWindowStyle(const TForm& form, DWORD& exStyle) {
  exStyle = WS_EX_CONTROLPARENT;
  DWORD style = WS_CLIPCHILDREN;
  switch (form.BorderStyle()) {
    case TBorderStyle::bsNone: style |= WS_POPUP; break;
    case TBorderStyle::bsSizeable: style |= WS_OVERLAPPEDWINDOW; break;
    case TBorderStyle::bsSingle: style |= WS_CAPTION | WS_SYSMENU | WS_BORDER; break;
    case TBorderStyle::bsDialog:
      style |= WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (form.BorderStyle() != TBorderStyle::bsDialog && form.BorderStyle() != TBorderStyle::bsNone) {
    if (!form.MinimizeBox()) style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
    else style |= WS_MINIMIZEBOX;
    if (!form.MaximizeBox()) style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    else style |= WS_MAXIMIZEBOX;
  }
  return style;
}

std::wstring TFormPeer::ClassName() const {
  std::wstring wide = Wide(FForm.WindowClassName().empty() ? "TForm" : FForm.WindowClassName());
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), wide.c_str(), &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = wide.c_str();
    RegisterClassExW(&wc);
  }
  return wide;
}

DWORD TFormPeer::Style() const {
  DWORD exStyle = 0;
  return FormWindowStyle(FForm, exStyle);
}

DWORD TFormPeer::ExStyle() const {
  DWORD exStyle = 0;
  FormWindowStyle(FForm, exStyle);
  return exStyle;
}

HWND TFormPeer::ParentWindow() const {
  return FForm.Owner() ? static_cast<HWND>(FForm.Owner()->Handle()) : nullptr;
}

void TFormPeer::BoundsChanged() {
  // The client size the program asked for, kept apart from what pixel round trips make of it.
  FDesignedClient = {FForm.ClientWidth(), FForm.ClientHeight()};
  TWin32Peer::BoundsChanged();
}

void TFormPeer::VisibleChanged() {
  if (FForm.Visible() && !IsWindowVisible(Hwnd())) {
    NoteFormShowing(Hwnd());
    FitToWorkArea(FForm, Hwnd(), true);
  }
  ShowWindow(Hwnd(), FForm.Visible() ? SW_SHOW : SW_HIDE);
}

void TFormPeer::IconChanged() {
  const std::string& name = FForm.Icon();
  if (name.empty()) return;
  std::wstring w = Wide(name);
  // Shared icons belong to the system: nothing to free.
  HANDLE big = LoadImageW(GetModuleHandleW(nullptr), w.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                          GetSystemMetrics(SM_CYICON), LR_SHARED);
  HANDLE small = LoadImageW(GetModuleHandleW(nullptr), w.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                            GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  if (big) Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (small) Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void TFormPeer::BorderStyleChanged() {
  DWORD exStyle = 0;
  DWORD style = FormWindowStyle(FForm, exStyle);
  if (FForm.Visible()) style |= WS_VISIBLE;
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TFormPeer::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CLOSE:
      FForm.NotifyCloseRequested();
      return true;
    case WM_GETMINMAXINFO: {
      // The system would cut a window taller than the screen down before the program has
      // picked the scale at which it fits; the fitting is done here (FitToWorkArea).
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, S(FForm.Width()));
      info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, S(FForm.Height()));
      return true;
    }
    case WM_SIZE: {
      RECT r;
      GetWindowRect(Hwnd(), &r);
      if (wParam != SIZE_MINIMIZED) FForm.NotifyResized(U(r.right - r.left), U(r.bottom - r.top));
      return true;
    }
    case kWmDpiChanged:
      // Moved to a monitor of another dpi: the new scale (within that monitor's work
      // area). The suggested rectangle is not used: the fitting size is ours to decide.
      MonitorDpiChanged(LOWORD(wParam));
      FitToWorkArea(FForm, Hwnd(), false);
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE)
        if (TControl* active = FForm.ActiveControl(); active && active->Handle() && active->CanFocus()) {
          ::SetFocus(static_cast<HWND>(active->Handle()));
          return true;
        }
      return false;
    case WM_COMMAND:
      // Enter and Escape that the dialog manager routes to the form itself.
      if (lParam == 0 || !ControlOf(reinterpret_cast<HWND>(lParam))) {
        if (LOWORD(wParam) == IDOK) FForm.HandleDialogKey(vkReturn, 0);
        if (LOWORD(wParam) == IDCANCEL) FForm.HandleDialogKey(vkEscape, 0);
        return true;
      }
      return false;
  }
  return false;
}

}  // namespace ui::win32
