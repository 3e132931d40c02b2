// Real windows for the control layer. Each control's Win32 side is a window and a handful of
// message sends; what the user does comes back as Notify... calls on the control, and every
// decision stays in ui/Controls.cpp.
#include "ui/win32/Win32Backend.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <tuple>
#include <vector>

#include "platform/win32/Wide.h"
#include "support/Application.h"

using platform::win32::Utf8;
using platform::win32::Wide;

namespace ui::win32 {

namespace {

const wchar_t* const kControlProp = L"VelSetup.Control";
const wchar_t* const kContainerClass = L"VelSetupContainer";
const wchar_t* const kLabelClass = L"VelSetupLabel";
const wchar_t* const kImageClass = L"VelSetupImage";
const wchar_t* const kBevelClass = L"VelSetupBevel";
const UINT_PTR kSubclassId = 0x56454C;
const UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later
// Readable from other processes (the test driver): the control's name and how its text is drawn
// ("face;pixel height;weight;wrap"), each as a global atom.
const wchar_t* const kNameProp = L"VelSetup.Name";
const wchar_t* const kFontProp = L"VelSetup.Font";

void SetAtomProp(HWND hwnd, const wchar_t* prop, const std::wstring& value) {
  if (ATOM old = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd, prop)))) GlobalDeleteAtom(old);
  if (value.empty() || value.size() > 255) return;
  if (ATOM atom = GlobalAddAtomW(value.c_str()))
    SetPropW(hwnd, prop, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void RemoveAtomProps(HWND hwnd) {
  for (const wchar_t* prop : {kNameProp, kFontProp})
    if (ATOM old = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd, prop)))) GlobalDeleteAtom(old);
}

// An exception thrown inside a window procedure must not unwind through the system's frames:
// it is kept here and thrown again once the message call has returned to our code.
std::exception_ptr pendingException;

void RethrowPending() {
  if (pendingException) {
    std::exception_ptr e = pendingException;
    pendingException = nullptr;
    std::rethrow_exception(e);
  }
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

// Everything above this file is laid out at 96 dots per inch; the windows are made at the
// program's scale, kept as a dpi value. It is the monitor's dpi (the manifest declares per-monitor
// awareness, so Windows scales nothing itself) unless the main window would not fit the monitor's
// work area at that scale: then it is the largest scale at which it fits.
int dpi = 96;
int monitorDpi = 96;
int S(int v) { return MulDiv(v, dpi, 96); }
int U(int v) { return MulDiv(v, 96, dpi); }
// A measured text size back in layout units, rounded up: laid out again at the scale, the text
// must get at least its measured room.
int UpText(int v) { return (v * 96 + dpi - 1) / dpi; }

// Functions of Windows 10 that the program uses where they exist (Windows 7 lacks them).
template <class Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The dpi of the monitor a window is on (the system dpi before Windows 10).
int WindowDpi(HWND hwnd) {
  static auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (hwnd && getDpiForWindow)
    if (UINT d = getDpiForWindow(hwnd)) return static_cast<int>(d);
  HDC screen = GetDC(nullptr);
  int d = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return d > 0 ? d : 96;
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

// Frame and caption of a window style in pixels at a monitor's dpi.
SIZE FrameSize(DWORD style, DWORD exStyle, int atDpi) {
  static auto adjustForDpi = User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT r{0, 0, 0, 0};
  if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(atDpi)))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

std::wstring WindowText(HWND hwnd) {
  int len = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), len + 1);
  text.resize(static_cast<size_t>(len));
  return text;
}

TControl* ControlOf(HWND hwnd) { return hwnd ? static_cast<TControl*>(GetPropW(hwnd, kControlProp)) : nullptr; }

HFONT FontHandle(const TFont& font) {
  static std::map<std::tuple<std::string, int, bool>, HFONT> cache;
  auto key = std::make_tuple(font.Name, S(font.Height), font.Bold);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  HFONT f = CreateFontW(-S(font.Height), 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, Wide(font.Name).c_str());
  cache[key] = f;
  return f;
}

HBRUSH Brush(TColor color) {
  static std::map<TColor, HBRUSH> cache;
  auto it = cache.find(color);
  if (it != cache.end()) return it->second;
  HBRUSH b = CreateSolidBrush(Rgb(color));
  cache[color] = b;
  return b;
}

// A memory device context for measuring text.
HDC MeasureDC() {
  static HDC dc = CreateCompatibleDC(nullptr);
  return dc;
}

// A 32-bit top-down copy of a bitmap, made smaller by averaging the source pixels each target
// pixel covers (a box filter: sharp, no stretching blur).
HBITMAP ShrinkPicture(HBITMAP source, int width, int height) {
  BITMAP info{};
  GetObjectW(source, sizeof info, &info);
  const int sw = info.bmWidth, sh = info.bmHeight;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = sw;
  bi.bmiHeader.biHeight = -sh;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> src(static_cast<size_t>(sw) * sh * 4);
  HDC screen = GetDC(nullptr);
  int got = GetDIBits(screen, source, 0, static_cast<UINT>(sh), src.data(), &bi, DIB_RGB_COLORS);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  void* bits = nullptr;
  HBITMAP result = got ? CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  ReleaseDC(nullptr, screen);
  if (!result) return nullptr;
  auto* dst = static_cast<unsigned char*>(bits);
  const double fx = static_cast<double>(sw) / width, fy = static_cast<double>(sh) / height;
  for (int y = 0; y < height; ++y) {
    const double y0 = y * fy, y1 = y0 + fy;
    for (int x = 0; x < width; ++x) {
      const double x0 = x * fx, x1 = x0 + fx;
      double sum[3] = {0, 0, 0}, area = 0;
      for (int sy = static_cast<int>(y0); sy < sh && sy < y1; ++sy) {
        const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < sw && sx < x1; ++sx) {
          const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
          const unsigned char* p = &src[(static_cast<size_t>(sy) * sw + sx) * 4];
          for (int c = 0; c < 3; ++c) sum[c] += w * p[c];
          area += w;
        }
      }
      unsigned char* q = &dst[(static_cast<size_t>(y) * width + x) * 4];
      for (int c = 0; c < 3; ++c) q[c] = static_cast<unsigned char>(std::lround(area > 0 ? sum[c] / area : 0));
      q[3] = 0;
    }
  }
  return result;
}

// The picture for the current scale. The resources hold each picture drawn for 100, 150 and
// 200 % (NAME, NAME_150, NAME_200); the exact one is used as it is, otherwise the nearest
// larger one is made smaller. A picture is never enlarged: above 200 % the 200 % one is drawn.
HBITMAP LoadPicture(const std::string& name) {
  if (name.empty()) return nullptr;
  static std::map<std::pair<std::string, int>, HBITMAP> cache;
  auto key = std::make_pair(name, dpi);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  struct Drawn {
    int percent;
    const char* suffix;
  } drawn[] = {{100, ""}, {150, "_150"}, {200, "_200"}};
  const int want = MulDiv(dpi, 100, 96);
  HBITMAP bmp = nullptr;
  int percent = 0;
  for (const Drawn& d : drawn) {
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageW(Instance(), Wide(name + d.suffix).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!b) continue;
    if (bmp) DeleteObject(bmp);
    bmp = b;
    percent = d.percent;
    if (d.percent >= want) break;
  }
  if (bmp && percent != want) {
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    int w = MulDiv(info.bmWidth, want, percent), h = MulDiv(info.bmHeight, want, percent);
    if (percent > want) {
      if (HBITMAP small = ShrinkPicture(bmp, w, h)) {
        DeleteObject(bmp);
        bmp = small;
      }
    }
  }
  cache[key] = bmp;
  return bmp;
}

void DrawPicture(HDC dc, HBITMAP bmp, RECT dest, bool stretch, bool center) {
  BITMAP info{};
  GetObjectW(bmp, sizeof info, &info);
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  int w = info.bmWidth, h = info.bmHeight;
  if (stretch) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, mem, 0, 0, w, h, SRCCOPY);
  } else {
    int x = dest.left, y = dest.top;
    if (center) {
      x += (dest.right - dest.left - w) / 2;
      y += (dest.bottom - dest.top - h) / 2;
    }
    BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StandardSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

class Win32Peer;
Win32Peer* PeerOf(TControl* c);
void FitToWorkArea(TForm& form, HWND hwnd, bool firstShow);
bool dpiChangeSeen = false;

DWORD FormStyle(const TForm& form, DWORD& exStyle) {
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


// ---------------------------------------------------------------------------------------------

class Win32Peer : public IControlPeer {
 public:
  explicit Win32Peer(TControl& control) : FControl(control) { Create(); }
  ~Win32Peer() override {
    if (FHwnd) {
      HWND h = FHwnd;
      FHwnd = nullptr;
      RemovePropW(h, kControlProp);
      DestroyWindow(h);
    }
  }

  void* Handle() const override { return FHwnd; }
  HWND Hwnd() const { return FHwnd; }
  TControl& Control() { return FControl; }
  bool Syncing() const { return FSyncing; }
  void Forget() { FHwnd = nullptr; }
  bool RawPageRect() const { return FRawPageRect; }
  // A form's client size in layout units, as the program last set it.
  TSize DesignedClient() const { return FDesignedClient; }

  RECT PlatformPageRect() {
    RECT r{};
    GetClientRect(FHwnd, &r);
    FRawPageRect = true;
    SendMessageW(FHwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    FRawPageRect = false;
    return r;
  }

  void SetFocus() override {
    if (FHwnd) ::SetFocus(FHwnd);
  }

  void Repaint() override {
    if (!FHwnd) return;
    InvalidateRect(FHwnd, nullptr, TRUE);
    UpdateWindow(FHwnd);
  }

  void Sync(TProp what) override {
    if (!FHwnd) return;
    FSyncing = true;
    try {
      Apply(what);
    } catch (...) {
      FSyncing = false;
      throw;
    }
    FSyncing = false;
    RethrowPending();
  }

 private:
  TControlKind Kind() const { return FControl.Kind(); }

  HWND ParentHwnd() const {
    if (Kind() == TControlKind::Form) {
      TForm* owner = static_cast<TForm&>(FControl).Owner();
      return owner ? static_cast<HWND>(owner->Handle()) : nullptr;
    }
    return FControl.Parent() ? static_cast<HWND>(FControl.Parent()->Handle()) : nullptr;
  }


  void Create() {
    DWORD style = 0, exStyle = 0;
    std::wstring className;
    TControlKind kind = Kind();
    bool child = kind != TControlKind::Form;
    if (child) style = WS_CHILD | WS_CLIPSIBLINGS | (FControl.Visible() ? WS_VISIBLE : 0);
    if (FControl.TabStop()) style |= WS_TABSTOP;
    switch (kind) {
      case TControlKind::Form: {
        auto& form = static_cast<TForm&>(FControl);
        className = RegisterFormClass(form.WindowClassName());
        style = FormStyle(form, exStyle);
        break;
      }
      case TControlKind::Panel: case TControlKind::GroupBox: case TControlKind::RadioGroup:
      case TControlKind::TabSheet:
        className = kContainerClass;
        style |= WS_CLIPCHILDREN;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
      case TControlKind::Label: className = kLabelClass; break;
      case TControlKind::Image: className = kImageClass; break;
      case TControlKind::Bevel: className = kBevelClass; break;
      case TControlKind::Button: className = L"BUTTON"; style |= BS_OWNERDRAW; break;
      case TControlKind::CheckBox: className = L"BUTTON"; style |= BS_CHECKBOX; break;
      case TControlKind::RadioButton: className = L"BUTTON"; style |= BS_RADIOBUTTON; break;
      case TControlKind::Edit:
        className = L"EDIT";
        style |= ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::Memo: {
        auto& memo = static_cast<TMemo&>(FControl);
        className = L"EDIT";
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | (memo.ScrollBars() ? WS_VSCROLL : 0) |
                 (memo.WordWrap() ? 0 : ES_AUTOHSCROLL | (memo.ScrollBars() ? WS_HSCROLL : 0));
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      }
      case TControlKind::ComboBox:
        className = L"COMBOBOX";
        style |= WS_VSCROLL | CBS_AUTOHSCROLL |
                 (static_cast<TComboBox&>(FControl).Style() == TComboStyle::csDropDownList ? CBS_DROPDOWNLIST
                                                                                            : CBS_DROPDOWN);
        break;
      case TControlKind::ListBox:
        className = L"LISTBOX";
        style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ProgressBar: className = PROGRESS_CLASSW; break;
      case TControlKind::PageControl:
        className = WC_TABCONTROLW;
        style |= WS_CLIPCHILDREN | TCS_FIXEDWIDTH | TabStyle();
        exStyle |= WS_EX_CONTROLPARENT;
        break;
    }
    HWND parent = ParentHwnd();
    if (child && !parent) return;  // a control without a parent window has no window itself
    FHwnd = CreateWindowExW(exStyle, className.c_str(), L"", style, 0, 0, 0, 0, parent, nullptr, Instance(), nullptr);
    if (!FHwnd) return;
    SetPropW(FHwnd, kControlProp, &FControl);
    SetAtomProp(FHwnd, kNameProp, Wide(FControl.Name()));
    if (className == L"BUTTON" || className == L"EDIT" || className == L"COMBOBOX" || className == L"LISTBOX" ||
        className == PROGRESS_CLASSW || className == WC_TABCONTROLW)
      SetWindowSubclass(FHwnd, StandardSubclassProc, kSubclassId, 0);
    FSyncing = true;
    for (TProp p : {TProp::Font, TProp::Text, TProp::Items, TProp::ItemIndex, TProp::Checked, TProp::Position,
                    TProp::ReadOnly, TProp::Enabled, TProp::Style, TProp::Icon, TProp::Bounds})
      Apply(p);
    if (kind == TControlKind::TabSheet) AddTab();
    if (kind == TControlKind::PageControl) Apply(TProp::ActivePage);
    FSyncing = false;
  }

  DWORD TabStyle() const {
    switch (static_cast<TPageControl&>(FControl).Style()) {
      case TTabStyle::tsButtons: return TCS_BUTTONS;
      case TTabStyle::tsFlatButtons: return TCS_BUTTONS | TCS_FLATBUTTONS;
      default: return TCS_TABS;
    }
  }

  void AddTab() {
    HWND tabs = ParentHwnd();
    auto& sheet = static_cast<TTabSheet&>(FControl);
    std::wstring caption = Wide(sheet.Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(sheet.PageIndex()), reinterpret_cast<LPARAM>(&item));
  }

  void Apply(TProp what) {
    TControlKind kind = Kind();
    switch (what) {
      case TProp::Bounds: {
        if (kind == TControlKind::Form) {
          // The client size the program asked for, kept apart from what pixel round trips make of it.
          auto& form = static_cast<TForm&>(FControl);
          FDesignedClient = {form.ClientWidth(), form.ClientHeight()};
        }
        int l = S(FControl.Left()), t = S(FControl.Top()), w = S(FControl.Width()), h = S(FControl.Height());
        if (kind == TControlKind::ComboBox) h = S(FControl.Height() + 220);  // room for the drop-down list
        SetWindowPos(FHwnd, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      case TProp::Visible:
        if (kind == TControlKind::Form) {
          if (FControl.Visible() && !IsWindowVisible(FHwnd)) {
            if (!dpiChangeSeen) monitorDpi = WindowDpi(FHwnd);
            FitToWorkArea(static_cast<TForm&>(FControl), FHwnd, true);
          }
          ShowWindow(FHwnd, FControl.Visible() ? SW_SHOW : SW_HIDE);
        } else {
          ShowWindow(FHwnd, FControl.Visible() ? SW_SHOWNA : SW_HIDE);
        }
        break;
      case TProp::Enabled: EnableWindow(FHwnd, FControl.Enabled()); break;
      case TProp::Text:
        if (kind == TControlKind::TabSheet) {
          std::wstring caption = Wide(FControl.Caption());
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = caption.data();
          SendMessageW(ParentHwnd(), TCM_SETITEMW, static_cast<WPARAM>(static_cast<TTabSheet&>(FControl).PageIndex()),
                       reinterpret_cast<LPARAM>(&item));
        } else if (kind == TControlKind::ComboBox &&
                   static_cast<TComboBox&>(FControl).Style() == TComboStyle::csDropDownList) {
          Apply(TProp::ItemIndex);
        } else {
          SetWindowTextW(FHwnd, Wide(FControl.Text()).c_str());
        }
        InvalidateRect(FHwnd, nullptr, TRUE);
        break;
      case TProp::Font:
        SendMessageW(FHwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(FControl.Font())), TRUE);
        SetAtomProp(FHwnd, kFontProp, FontDescription());
        InvalidateRect(FHwnd, nullptr, TRUE);
        break;
      case TProp::Color: case TProp::Style: case TProp::Picture: case TProp::Hint:
        if (kind == TControlKind::Label) SetAtomProp(FHwnd, kFontProp, FontDescription());
        if (kind == TControlKind::PageControl) {
          auto& pc = static_cast<TPageControl&>(FControl);
          LONG_PTR s = GetWindowLongPtrW(FHwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(TCS_BUTTONS | TCS_FLATBUTTONS);
          SetWindowLongPtrW(FHwnd, GWL_STYLE, s | static_cast<LONG_PTR>(TabStyle()));
          SendMessageW(FHwnd, TCM_SETITEMSIZE, 0,
                       MAKELPARAM(S(std::max(pc.TabWidth(), 1)), S(pc.TabHeight() > 0 ? pc.TabHeight() : 18)));
        }
        InvalidateRect(FHwnd, nullptr, TRUE);
        break;
      case TProp::Items:
        if (kind == TControlKind::ComboBox || kind == TControlKind::ListBox) {
          bool combo = kind == TControlKind::ComboBox;
          SendMessageW(FHwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
          const auto& items = combo ? static_cast<TComboBox&>(FControl).Items() : static_cast<TListBox&>(FControl).Items();
          for (const auto& item : items)
            SendMessageW(FHwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
          Apply(TProp::ItemIndex);
        }
        break;
      case TProp::ItemIndex:
        if (kind == TControlKind::ComboBox) {
          auto& cmb = static_cast<TComboBox&>(FControl);
          SendMessageW(FHwnd, CB_SETCURSEL, static_cast<WPARAM>(cmb.ItemIndex()), 0);
          if (cmb.ItemIndex() < 0 && cmb.Style() == TComboStyle::csDropDown)
            SetWindowTextW(FHwnd, Wide(cmb.Text()).c_str());
        } else if (kind == TControlKind::ListBox) {
          SendMessageW(FHwnd, LB_SETCURSEL, static_cast<WPARAM>(static_cast<TListBox&>(FControl).ItemIndex()), 0);
        }
        break;
      case TProp::Checked:
        if (kind == TControlKind::CheckBox || kind == TControlKind::RadioButton) {
          bool on = kind == TControlKind::CheckBox ? static_cast<TCheckBox&>(FControl).Checked()
                                                   : static_cast<TRadioButton&>(FControl).Checked();
          SendMessageW(FHwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
          if (kind == TControlKind::RadioButton) {
            LONG_PTR s = GetWindowLongPtrW(FHwnd, GWL_STYLE);
            SetWindowLongPtrW(FHwnd, GWL_STYLE, on ? s | WS_TABSTOP : s & ~static_cast<LONG_PTR>(WS_TABSTOP));
          }
        }
        break;
      case TProp::Position:
        if (kind == TControlKind::ProgressBar) {
          auto& bar = static_cast<TProgressBar&>(FControl);
          SendMessageW(FHwnd, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()), bar.Max());
          SendMessageW(FHwnd, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
        }
        break;
      case TProp::ReadOnly:
        if (kind == TControlKind::Edit || kind == TControlKind::Memo)
          SendMessageW(FHwnd, EM_SETREADONLY, static_cast<TEdit&>(FControl).ReadOnly(), 0);
        break;
      case TProp::ActivePage:
        if (kind == TControlKind::PageControl) {
          auto& pc = static_cast<TPageControl&>(FControl);
          SendMessageW(FHwnd, TCM_SETCURSEL, static_cast<WPARAM>(pc.ActivePageIndex()), 0);
        }
        break;
      case TProp::Icon:
        if (kind == TControlKind::Form) {
          const std::string& name = static_cast<TForm&>(FControl).Icon();
          if (name.empty()) break;
          std::wstring w = Wide(name);
          HANDLE big = LoadImageW(Instance(), w.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                  GetSystemMetrics(SM_CYICON), LR_SHARED);
          HANDLE small = LoadImageW(Instance(), w.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED);
          if (big) SendMessageW(FHwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
          if (small) SendMessageW(FHwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        }
        break;
      case TProp::TabOrder: break;
      case TProp::BorderStyle:
        if (kind == TControlKind::Form) {
          DWORD exStyle = 0;
          DWORD style = FormStyle(static_cast<TForm&>(FControl), exStyle);
          if (FControl.Visible()) style |= WS_VISIBLE;
          SetWindowLongPtrW(FHwnd, GWL_STYLE, static_cast<LONG_PTR>(style));
          SetWindowLongPtrW(FHwnd, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
          SetWindowPos(FHwnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        break;
    }
  }

  // How the control's text is drawn, for the test driver: "face;pixel height;weight;wrap".
  std::wstring FontDescription() const {
    const TFont& f = FControl.Font();
    bool wrap = Kind() == TControlKind::Label && static_cast<TLabel&>(FControl).WordWrap();
    return Wide(f.Name) + L";" + std::to_wstring(S(f.Height)) + L";" + (f.Bold ? L"700" : L"400") +
           (wrap ? L";wrap" : L";");
  }

 public:
  static std::wstring RegisterFormClass(const std::string& name) {
    std::wstring wide = Wide(name.empty() ? "TForm" : name);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(Instance(), wide.c_str(), &existing)) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = ControlWndProc;
      wc.hInstance = Instance();
      wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      wc.lpszClassName = wide.c_str();
      RegisterClassExW(&wc);
    }
    return wide;
  }


 private:
  TControl& FControl;
  HWND FHwnd = nullptr;
  bool FSyncing = false;
  bool FRawPageRect = false;
  TSize FDesignedClient{0, 0};
};


Win32Peer* PeerOf(TControl* c) { return c ? static_cast<Win32Peer*>(c->Peer()) : nullptr; }

// ---------------------------------------------------------------------------------------------
// Scale

BOOL CALLBACK CollectForm(HWND h, LPARAM param) {
  TControl* c = ControlOf(h);
  if (c && c->Kind() == TControlKind::Form) reinterpret_cast<std::vector<TForm*>*>(param)->push_back(static_cast<TForm*>(c));
  return TRUE;
}

std::vector<TForm*> ProgramForms() {
  std::vector<TForm*> forms;
  EnumThreadWindows(GetCurrentThreadId(), CollectForm, reinterpret_cast<LPARAM>(&forms));
  return forms;
}

// Brings every scale-dependent property of a control and its children to the current scale.
void Rescaled(TControl& c) {
  if (Win32Peer* p = PeerOf(&c); p && p->Hwnd()) {
    p->Sync(TProp::Font);
    p->Sync(TProp::Style);
    p->Sync(TProp::Bounds);
  }
  if (c.Kind() == TControlKind::Label) {
    auto& label = static_cast<TLabel&>(c);
    label.SetAutoSize(label.AutoSize());  // measures its text again at the new scale
  }
  if (auto* w = dynamic_cast<TWinControl*>(&c))
    for (TControl* child : w->Controls()) Rescaled(*child);
}

// Changes the program's scale: every window keeps its layout, drawn at the new scale.
void Rescale(int newDpi) {
  if (newDpi == dpi) return;
  std::vector<TForm*> forms = ProgramForms();
  std::vector<std::pair<int, int>> clients;
  for (TForm* f : forms) {
    TSize c = PeerOf(f) ? PeerOf(f)->DesignedClient() : TSize{f->ClientWidth(), f->ClientHeight()};
    clients.emplace_back(c.Width, c.Height);
  }
  dpi = newDpi;
  for (size_t i = 0; i < forms.size(); ++i) {
    forms[i]->SetClientWidth(clients[i].first);
    forms[i]->SetClientHeight(clients[i].second);
    Rescaled(*forms[i]);
    RedrawWindow(static_cast<HWND>(forms[i]->Handle()), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
}

// The largest scale (as a dpi, at most the monitor's) at which a form of this client size,
// with its frame, fits the work area.
int FittingDpi(const TForm& form, const RECT& work, int clientWidth, int clientHeight) {
  DWORD exStyle = 0;
  DWORD style = FormStyle(form, exStyle);
  SIZE frame = form.BorderStyle() == TBorderStyle::bsNone ? SIZE{0, 0} : FrameSize(style, exStyle, monitorDpi);
  int fit = monitorDpi;
  if (clientWidth > 0) fit = std::min(fit, static_cast<int>((work.right - work.left - frame.cx) * 96L / clientWidth));
  if (clientHeight > 0) fit = std::min(fit, static_cast<int>((work.bottom - work.top - frame.cy) * 96L / clientHeight));
  return std::max(fit, 48);  // below half size nothing is readable any more
}

// Picks the scale at which every shown window of the program fits the work area of the
// monitor this one is on, then keeps the window inside that work area (centred when it is
// shown for the first time and wants to be centred).
void FitToWorkArea(TForm& form, HWND hwnd, bool firstShow) {
  RECT work = WorkArea(hwnd);
  int target = monitorDpi;
  for (TForm* f : ProgramForms())
    if (f == &form || (f->Visible() && f->Handle() && IsWindowVisible(static_cast<HWND>(f->Handle()))))
      if (Win32Peer* p = PeerOf(f)) target = std::min(target, FittingDpi(*f, work, p->DesignedClient().Width, p->DesignedClient().Height));
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

// ---------------------------------------------------------------------------------------------
// Painting

void PaintButton(const DRAWITEMSTRUCT& di, TButton& button) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool pressed = di.itemState & ODS_SELECTED;
  bool focused = di.itemState & ODS_FOCUS;
  bool disabled = di.itemState & ODS_DISABLED;
  // The white look: a light face, a thin grey frame, a blue frame on the focused button.
  FillRect(dc, &r, Brush(pressed ? RGBColor(0xE5, 0xE5, 0xE5) : RGBColor(0xFA, 0xFA, 0xFA)));
  HBRUSH frame = Brush(focused ? RGBColor(0x00, 0x78, 0xD7) : RGBColor(0xAD, 0xAD, 0xAD));
  FrameRect(dc, &r, frame);
  if (focused) {
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    FrameRect(dc, &inner, frame);
  }
  HGDIOBJ oldFont = SelectObject(dc, FontHandle(button.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? RGB(0xA0, 0xA0, 0xA0) : Rgb(button.Font().Color));
  RECT text = r;
  if (HBITMAP glyph = LoadPicture(button.Glyph())) {
    BITMAP info{};
    GetObjectW(glyph, sizeof info, &info);
    RECT g{r.left + S(8), r.top + (r.bottom - r.top - info.bmHeight) / 2, 0, 0};
    g.right = g.left + info.bmWidth;
    g.bottom = g.top + info.bmHeight;
    DrawPicture(dc, glyph, g, false, false);
    text.left = g.right + S(10);
    DrawTextW(dc, Wide(button.Caption()).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  } else {
    if (pressed) OffsetRect(&text, 1, 1);
    DrawTextW(dc, Wide(button.Caption()).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  SelectObject(dc, oldFont);
}

void PaintLabel(HWND hwnd, HDC dc, TLabel& label) {
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, Brush(label.EffectiveColor()));
  HGDIOBJ oldFont = SelectObject(dc, FontHandle(label.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.Enabled() ? Rgb(label.Font().Color) : RGB(0xA0, 0xA0, 0xA0));
  UINT flags = DT_NOPREFIX | (label.WordWrap() ? DT_WORDBREAK : 0);
  switch (label.Alignment()) {
    case TAlignment::taCenter: flags |= DT_CENTER; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    default: flags |= DT_LEFT; break;
  }
  std::wstring text = Wide(label.Caption());
  if (label.Layout() != TTextLayout::tlTop) {
    RECT calc = r;
    DrawTextW(dc, text.c_str(), -1, &calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top, space = r.bottom - r.top;
    r.top += label.Layout() == TTextLayout::tlCenter ? (space - h) / 2 : space - h;
  }
  DrawTextW(dc, text.c_str(), -1, &r, flags);
  SelectObject(dc, oldFont);
}

void PaintContainer(HWND hwnd, HDC dc, TControl& control) {
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, Brush(control.EffectiveColor()));
  if (control.Kind() != TControlKind::GroupBox && control.Kind() != TControlKind::RadioGroup) return;
  // A group: an etched frame starting at the middle of the caption, the caption on top of it.
  HGDIOBJ oldFont = SelectObject(dc, FontHandle(control.Font()));
  SIZE ext{};
  std::wstring caption = Wide(control.Caption());
  GetTextExtentPoint32W(dc, L"X", 1, &ext);
  RECT frame = r;
  frame.top += ext.cy / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (!caption.empty()) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, Rgb(control.EffectiveColor()));
    SetTextColor(dc, Rgb(control.Font().Color));
    std::wstring padded = L" " + caption + L" ";
    RECT t{r.left + S(6), r.top, r.right, r.top + ext.cy};
    DrawTextW(dc, padded.c_str(), -1, &t, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

void PaintBevel(HWND hwnd, HDC dc, TBevel& bevel) {
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, Brush(bevel.EffectiveColor()));
  UINT edge = bevel.Shape() == TBevelShape::bsTopLine ? BF_TOP : bevel.Shape() == TBevelShape::bsBottomLine ? BF_BOTTOM : BF_RECT;
  DrawEdge(dc, &r, BDR_SUNKENOUTER, edge);
}

void PaintImage(HWND hwnd, HDC dc, TImage& image) {
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(dc, &r, Brush(image.EffectiveColor()));
  if (HBITMAP bmp = LoadPicture(image.Picture())) DrawPicture(dc, bmp, r, image.Stretch(), image.Center());
}

// ---------------------------------------------------------------------------------------------
// Messages shared by every window that has children: notifications and colours.

bool HandleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      TControl* c = ControlOf(from);
      Win32Peer* peer = PeerOf(c);
      if (!c || !peer || peer->Syncing()) return false;
      WORD code = HIWORD(wParam);
      switch (c->Kind()) {
        case TControlKind::Button: case TControlKind::CheckBox: case TControlKind::RadioButton:
          if (code == BN_CLICKED) c->Click();
          break;
        case TControlKind::Edit: case TControlKind::Memo:
          if (code == EN_CHANGE) static_cast<TEdit*>(c)->NotifyTextEdited(Utf8(WindowText(from)));
          break;
        case TControlKind::ComboBox: {
          auto* cmb = static_cast<TComboBox*>(c);
          if (code == CBN_SELCHANGE)
            cmb->NotifySelected(static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0)));
          else if (code == CBN_EDITCHANGE)
            cmb->NotifyTextEdited(Utf8(WindowText(from)));
          else if (code == CBN_SETFOCUS)
            if (TForm* f = c->ParentForm()) f->NotifyFocused(c);
          break;
        }
        case TControlKind::ListBox:
          if (code == LBN_SELCHANGE)
            static_cast<TListBox*>(c)->NotifySelected(static_cast<int>(SendMessageW(from, LB_GETCURSEL, 0, 0)));
          break;
        default: return false;
      }
      result = 0;
      return true;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      TControl* c = ControlOf(di->hwndItem);
      if (!c || c->Kind() != TControlKind::Button) return false;
      PaintButton(*di, *static_cast<TButton*>(c));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      TControl* c = ControlOf(reinterpret_cast<HWND>(lParam));
      if (!c) return false;
      bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX ||
                   c->Kind() == TControlKind::Edit || c->Kind() == TControlKind::Memo;
      TColor back = field ? clWhite : c->EffectiveColor();
      SetTextColor(dc, c->Enabled() ? Rgb(c->Font().Color) : RGB(0x80, 0x80, 0x80));
      SetBkColor(dc, Rgb(back));
      result = reinterpret_cast<LRESULT>(Brush(back));
      return true;
    }
  }
  return false;
}

TForm* FormOf(HWND hwnd) {
  TControl* c = ControlOf(GetAncestor(hwnd, GA_ROOT));
  return c && c->Kind() == TControlKind::Form ? static_cast<TForm*>(c) : nullptr;
}

void NoteFocus(HWND hwnd) {
  TControl* c = ControlOf(hwnd);
  if (!c) return;
  if (TForm* f = c->ParentForm(); f && f != c) f->NotifyFocused(c);
}

LRESULT ControlWndProcBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(hwnd);
  LRESULT result = 0;
  if (c && HandleParentMessage(msg, wParam, lParam, result)) return result;
  if (!c) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, Brush(c->EffectiveColor()));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      switch (c->Kind()) {
        case TControlKind::Label: PaintLabel(hwnd, dc, *static_cast<TLabel*>(c)); break;
        case TControlKind::Image: PaintImage(hwnd, dc, *static_cast<TImage*>(c)); break;
        case TControlKind::Bevel: PaintBevel(hwnd, dc, *static_cast<TBevel*>(c)); break;
        case TControlKind::Form: break;
        default: PaintContainer(hwnd, dc, *c); break;
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONUP:
      if (c->Kind() == TControlKind::Image || c->Kind() == TControlKind::Label) {
        c->Click();
        return 0;
      }
      break;
    case WM_SETCURSOR: {
      TCursor cursor = Screen().Cursor() != crDefault ? Screen().Cursor() : c->Cursor();
      if (cursor == crHourGlass) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
        return TRUE;
      }
      if (cursor == crHandPoint) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        return TRUE;
      }
      break;
    }
    case WM_NCHITTEST:
      // Labels and pictures let the mouse through unless they react to clicks.
      if ((c->Kind() == TControlKind::Label || c->Kind() == TControlKind::Bevel) && !c->OnClick)
        return HTTRANSPARENT;
      break;
  }
  if (c->Kind() == TControlKind::Form) {
    auto* form = static_cast<TForm*>(c);
    switch (msg) {
      case WM_CLOSE:
        form->NotifyCloseRequested();
        return 0;
      case WM_GETMINMAXINFO: {
        // The system would cut a window taller than the screen down before the program has
        // picked the scale at which it fits; the fitting is done here (FitToWorkArea).
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, S(form->Width()));
        info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, S(form->Height()));
        return 0;
      }
      case WM_SIZE: {
        RECT r;
        GetWindowRect(hwnd, &r);
        if (wParam != SIZE_MINIMIZED) form->NotifyResized(U(r.right - r.left), U(r.bottom - r.top));
        return 0;
      }
      case kWmDpiChanged:
        // Moved to a monitor of another dpi: the new scale (within that monitor's work
        // area). The suggested rectangle is not used: the fitting size is ours to decide.
        dpiChangeSeen = true;
        monitorDpi = LOWORD(wParam) ? LOWORD(wParam) : monitorDpi;
        FitToWorkArea(*form, hwnd, false);
        return 0;
      case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
          if (TControl* active = form->ActiveControl(); active && active->Handle() && active->CanFocus()) {
            ::SetFocus(static_cast<HWND>(active->Handle()));
            return 0;
          }
        break;
      case WM_COMMAND:
        // Enter and Escape that the dialog manager routes to the form itself.
        if (lParam == 0 || !ControlOf(reinterpret_cast<HWND>(lParam))) {
          if (LOWORD(wParam) == IDOK) form->HandleDialogKey(vkReturn, 0);
          if (LOWORD(wParam) == IDCANCEL) form->HandleDialogKey(vkEscape, 0);
          return 0;
        }
        break;
    }
  }
  if (msg == WM_SETFOCUS) NoteFocus(hwnd);
  if (msg == WM_NCDESTROY) {
    if (Win32Peer* p = PeerOf(c); p && p->Hwnd() == hwnd) p->Forget();
    RemovePropW(hwnd, kControlProp);
    RemoveAtomProps(hwnd);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return ControlWndProcBody(hwnd, msg, wParam, lParam);
  } catch (...) {
    if (!pendingException) pendingException = std::current_exception();
    return 0;
  }
}

LRESULT StandardSubclassBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(hwnd);
  LRESULT result = 0;
  if (c && HandleParentMessage(msg, wParam, lParam, result)) return result;
  if (c) switch (msg) {
      case WM_SETFOCUS: NoteFocus(hwnd); break;
      case WM_GETDLGCODE:
        // Owner-drawn buttons still behave as push buttons to the dialog manager, so Enter on
        // a focused button presses it.
        if (c->Kind() == TControlKind::Button)
          return DLGC_BUTTON | (GetFocus() == hwnd ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        break;
      case BM_SETSTYLE:
        if (c->Kind() == TControlKind::Button) {  // keep the owner-drawn style
          InvalidateRect(hwnd, nullptr, TRUE);
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        if (c->Kind() == TControlKind::PageControl) {
          RECT r;
          GetClientRect(hwnd, &r);
          FillRect(reinterpret_cast<HDC>(wParam), &r, Brush(c->EffectiveColor()));
          return 1;
        }
        break;
      case TCM_ADJUSTRECT: {
        LRESULT base = DefSubclassProc(hwnd, msg, wParam, lParam);
        Win32Peer* peer = PeerOf(c);
        if (c->Kind() == TControlKind::PageControl && peer && !peer->RawPageRect() && lParam) {
          auto* rc = reinterpret_cast<RECT*>(lParam);
          RECT client;
          GetClientRect(hwnd, &client);
          TRect page = TablessPageRect({rc->left, rc->top, rc->right, rc->bottom}, client.right, client.bottom);
          *rc = RECT{page.Left, page.Top, page.Right, page.Bottom};
        }
        return base;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, StandardSubclassProc, kSubclassId);
        if (Win32Peer* p = PeerOf(c); p && p->Hwnd() == hwnd) p->Forget();
        RemovePropW(hwnd, kControlProp);
        RemoveAtomProps(hwnd);
        break;
    }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK StandardSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  try {
    return StandardSubclassBody(hwnd, msg, wParam, lParam);
  } catch (...) {
    if (!pendingException) pendingException = std::current_exception();
    return 0;
  }
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  for (const wchar_t* name : {kContainerClass, kLabelClass, kImageClass, kBevelClass}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | (name == kLabelClass ? CS_HREDRAW | CS_VREDRAW : 0);
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
  }
  dpi = monitorDpi = WindowDpi(nullptr);
}

// ---------------------------------------------------------------------------------------------

BOOL CALLBACK DisableOther(HWND h, LPARAM param) {
  auto* d = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(param);
  if (h != d->first && IsWindowVisible(h) && IsWindowEnabled(h)) {
    EnableWindow(h, FALSE);
    d->second->push_back(h);
  }
  return TRUE;
}

class TWin32Backend : public TBackend {
 public:
  std::unique_ptr<IControlPeer> CreatePeer(TControl& control) override {
    RegisterClasses();
    auto peer = std::make_unique<Win32Peer>(control);
    RethrowPending();
    return peer;
  }

  void ControlDestroyed(TControl&) override {}

  TSize TextExtent(const std::string& text, const TFont& font) override {
    HDC dc = MeasureDC();
    HGDIOBJ old = SelectObject(dc, FontHandle(font));
    std::wstring w = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    if (w.empty()) {
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      size.cy = tm.tmHeight;
    }
    SelectObject(dc, old);
    return {UpText(size.cx), UpText(size.cy)};
  }

  TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) override {
    HDC dc = MeasureDC();
    HGDIOBJ old = SelectObject(dc, FontHandle(font));
    RECT r{0, 0, S(maxWidth), 0};
    DrawTextW(dc, Wide(text).c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    return {UpText(r.right), UpText(r.bottom)};
  }

  TSize ScreenSize() override { return {U(GetSystemMetrics(SM_CXSCREEN)), U(GetSystemMetrics(SM_CYSCREEN))}; }

  void SetCursor(TCursor cursor) override {
    LPCWSTR id = cursor == crHourGlass ? reinterpret_cast<LPCWSTR>(IDC_WAIT)
                 : cursor == crHandPoint ? reinterpret_cast<LPCWSTR>(IDC_HAND)
                                         : reinterpret_cast<LPCWSTR>(IDC_ARROW);
    ::SetCursor(LoadCursorW(nullptr, id));
  }

  TSize NonClientSize(const TForm& form) override {
    DWORD exStyle = 0;
    DWORD style = 0;
    switch (form.BorderStyle()) {
      case TBorderStyle::bsNone: return {0, 0};
      case TBorderStyle::bsSizeable: style = WS_OVERLAPPEDWINDOW; break;
      case TBorderStyle::bsSingle: style = WS_CAPTION | WS_SYSMENU | WS_BORDER; break;
      case TBorderStyle::bsDialog:
        style = WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
    }
    SIZE frame = FrameSize(style, exStyle, monitorDpi);
    return {U(frame.cx), U(frame.cy)};
  }

  TRect PlatformPageRect(const TPageControl& control) override {
    if (Win32Peer* peer = PeerOf(const_cast<TPageControl*>(&control)); peer && peer->Hwnd()) {
      RECT r = peer->PlatformPageRect();
      return {U(r.left), U(r.top), U(r.right), U(r.bottom)};
    }
    int row = control.TabHeight() > 0 ? control.TabHeight() : 18;
    return {0, row + 3, control.ClientWidth(), control.ClientHeight()};
  }

  TControl* FocusedControl() override {
    for (HWND h = GetFocus(); h; h = GetParent(h))
      if (TControl* c = ControlOf(h)) return c;
    return nullptr;
  }

  void FocusChanged(TControl*) override {}

  void RunModal(TForm& form) override {
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

  void RunMainLoop(TForm& mainForm) override {
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

  void ProcessMessages() override {
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

  bool SaveFileDialog(TForm* owner, std::string& fileName) override {
    wchar_t buffer[32768] = {};
    std::wstring initial = Wide(fileName);
    if (initial.size() < 32767) std::copy(initial.begin(), initial.end(), buffer);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner ? static_cast<HWND>(owner->Handle()) : nullptr;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = 32768;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&ofn)) return false;
    fileName = Utf8(buffer);
    return true;
  }

  bool BrowseForFolder(TForm* owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) override {
    // The tree starts at the drive or share of the path the user typed.
    PIDLIST_ABSOLUTE rootList = nullptr;
    if (!root.empty()) {
      std::wstring r = Wide(IncludeTrailingBackslash(root));
      if (FAILED(SHParseDisplayName(r.c_str(), nullptr, &rootList, 0, nullptr))) rootList = nullptr;
    }
    std::wstring caption = Wide(title);
    std::wstring start = Wide(initial);
    BROWSEINFOW bi{};
    bi.hwndOwner = owner ? static_cast<HWND>(owner->Handle()) : nullptr;
    bi.pidlRoot = rootList;
    bi.lpszTitle = caption.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    bi.lpfn = PreselectFolder;
    bi.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
    bool ok = false;
    if (chosen) {
      wchar_t path[MAX_PATH * 4] = {};
      if (SHGetPathFromIDListEx(chosen, path, MAX_PATH * 4, GPFIDL_DEFAULT)) {
        folder = Utf8(path);
        ok = true;
      }
      CoTaskMemFree(chosen);
    }
    if (rootList) CoTaskMemFree(rootList);
    if (SUCCEEDED(com)) CoUninitialize();
    return ok;
  }

  void PlainMessageBox(TForm* owner, const std::string& text) override {
    MessageBoxW(owner ? static_cast<HWND>(owner->Handle()) : nullptr, Wide(text).c_str(), L"VelSetup",
                MB_OK | MB_TASKMODAL);
  }

  // The browser's callback: the folder in data is preselected when the browser opens.
  static int CALLBACK PreselectFolder(HWND wnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
  }

  static std::string IncludeTrailingBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
  }

  static void Dispatch(MSG& msg) {
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
};

}  // namespace

TBackend& Win32Backend() {
  static TWin32Backend backend;
  return backend;
}

void UseWin32Backend() {
  RegisterClasses();
  SetBackend(&Win32Backend());
}

TControl* ControlFromHandle(void* hwnd) {
  for (HWND h = static_cast<HWND>(hwnd); h; h = GetParent(h))
    if (TControl* c = ControlOf(h)) return c;
  return nullptr;
}

}  // namespace ui::win32
