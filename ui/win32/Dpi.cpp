#include "ui/win32/Dpi.h"

#include <algorithm>
#include <vector>

#include "ui/Controls.h"
#include "ui/win32/FormPeer.h"
#include "ui/win32/Gdi.h"
#include "ui/win32/Peer.h"

namespace ui::win32 {

namespace {

int dpi = 96;
int monitorDpi = 96;
bool dpiChangeSeen = false;

// Functions of Windows 10 that the program uses where they exist (Windows 7 lacks them).
template <class Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The work area (the screen without the taskbar) of the monitor a window is on.
RECT WorkArea(HWND hwnd) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd, hwnd ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY), &info))
    area = info.rcWork;
  else
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

BOOL CALLBACK CollectForm(HWND h, LPARAM param) {
  if (auto* form = dynamic_cast<TForm*>(ControlOf(h))) reinterpret_cast<std::vector<TForm*>*>(param)->push_back(form);
  return TRUE;
}

std::vector<TForm*> ProgramForms() {
  std::vector<TForm*> forms;
  EnumThreadWindows(GetCurrentThreadId(), CollectForm, reinterpret_cast<LPARAM>(&forms));
  return forms;
}

// Brings every scale-dependent property of a control and its children to the current scale.
void Rescaled(TControl& c) {
  if (TWin32Peer* p = PeerOf(&c); p && p->Hwnd()) p->Rescaled();
  if (auto* w = dynamic_cast<TWinControl*>(&c))
    for (TControl* child : w->Controls()) Rescaled(*child);
}

TSize DesignedClient(TForm& form) {
  auto* peer = dynamic_cast<TFormPeer*>(PeerOf(&form));
  return peer ? peer->DesignedClient() : TSize{form.ClientWidth(), form.ClientHeight()};
}

// Changes the program's scale: every window keeps its layout, drawn at the new scale.
void Rescale(int newDpi) {
  if (newDpi == dpi) return;
  std::vector<TForm*> forms = ProgramForms();
  std::vector<TSize> clients;
  for (TForm* f : forms) clients.push_back(DesignedClient(*f));
  dpi = newDpi;
  for (size_t i = 0; i < forms.size(); ++i) {
    forms[i]->SetClientWidth(clients[i].Width);
    forms[i]->SetClientHeight(clients[i].Height);
    Rescaled(*forms[i]);
    RedrawWindow(static_cast<HWND>(forms[i]->Handle()), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

// The largest scale (as a dpi, at most the monitor's) at which a form of this client size,
// with its frame, fits the work area.
int FittingDpi(const TForm& form, const RECT& work, TSize client) {
  DWORD exStyle = 0;
  DWORD style = FormWindowStyle(form, exStyle);
  SIZE frame = form.BorderStyle() == TBorderStyle::bsNone ? SIZE{0, 0} : FrameSize(style, exStyle, monitorDpi);
  int fit = monitorDpi;
  if (client.Width > 0) fit = std::min(fit, static_cast<int>((work.right - work.left - frame.cx) * 96L / client.Width));
  if (client.Height > 0) fit = std::min(fit, static_cast<int>((work.bottom - work.top - frame.cy) * 96L / client.Height));
  return std::max(fit, 48);  // below half size nothing is readable any more
}

}  // namespace

int ProgramDpi() { return dpi; }
int MonitorDpi() { return monitorDpi; }
int S(int v) { return MulDiv(v, dpi, 96); }
int U(int v) { return MulDiv(v, 96, dpi); }
int UpText(int v) { return (v * 96 + dpi - 1) / dpi; }

int WindowDpi(HWND hwnd) {
  static auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (hwnd && getDpiForWindow)
    if (UINT d = getDpiForWindow(hwnd)) return static_cast<int>(d);
  TWindowDC screen;
  int d = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return d > 0 ? d : 96;
}

SIZE FrameSize(DWORD style, DWORD exStyle, int atDpi) {
  static auto adjustForDpi = User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT r{0, 0, 0, 0};
  if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(atDpi)))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

void InitialiseScale() { dpi = monitorDpi = WindowDpi(nullptr); }

void NoteFormShowing(HWND hwnd) {
  if (!dpiChangeSeen) monitorDpi = WindowDpi(hwnd);
}

void MonitorDpiChanged(int newDpi) {
  dpiChangeSeen = true;
  if (newDpi) monitorDpi = newDpi;
}

void FitToWorkArea(TForm& form, HWND hwnd, bool firstShow) {
  RECT work = WorkArea(hwnd);
  int target = monitorDpi;
  for (TForm* f : ProgramForms())
    if (f == &form || (f->Visible() && f->Handle() && IsWindowVisible(static_cast<HWND>(f->Handle()))))
      if (dynamic_cast<TFormPeer*>(PeerOf(f))) target = std::min(target, FittingDpi(*f, work, DesignedClient(*f)));
  Rescale(target);
  RECT r;
  GetWindowRect(hwnd, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = r.left, y = r.top;
  if (firstShow && form.Position() == TPosition::poScreenCenter) {
    x = work.left + (work.right - work.left - w) / 2;
    y = work.top + (work.bottom - work.top - h) / 2;
  }
  x = std::max<int>(work.left, std::min<int>(x, work.right - w));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  if (x != r.left || y != r.top) SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui::win32
