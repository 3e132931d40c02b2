// VelDriver: drives the real VelSetup.exe windows from another process, as a user would, for the
// end-to-end tests. Never shipped. Commands and their syntax: tests/e2e/README.md.
//   VelDriver.exe --script FILE      (FILE "-" reads the commands from standard input)
//   VelDriver.exe COMMAND ARGS...    (one command)
// Exit code 0 when every command passed, 1 at the first failure (reported with the script line
// and what the window showed), 2 for a bad command line or script.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

DWORD timeoutMs = 10000;
HWND current = nullptr;  // the window the commands act on
std::wstring currentClass = L"TFInstall";

// The script's "end": every command before it passed.
struct EndOfScript {};
// A "when" line of another case.
struct Skipped {};

struct Failure {
  std::wstring message;
};

[[noreturn]] void Fail(const std::wstring& message) { throw Failure{message}; }

std::wstring Narrow(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// Output as UTF-8 lines, whatever the console's code page.
void Say(const std::wstring& line) {
  std::string s = Utf8(line) + "\n";
  fwrite(s.data(), 1, s.size(), stdout);
  fflush(stdout);
}

// --- Reading windows of the other process -----------------------------------------------------

std::wstring ClassOf(HWND h) {
  wchar_t name[256] = {};
  GetClassNameW(h, name, 256);
  return name;
}

std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return L"";
  std::wstring text(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, &got);
  text.resize(got);
  return text;
}

std::wstring AtomProp(HWND h, const wchar_t* prop) {
  auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(h, prop)));
  if (!atom) return L"";
  wchar_t name[256] = {};
  UINT n = GlobalGetAtomNameW(atom, name, 256);
  return std::wstring(name, n);
}

std::wstring NameOf(HWND h) { return AtomProp(h, L"VelSetup.Name"); }

RECT ScreenRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::wstring RectText(const RECT& r) {
  wchar_t buf[96];
  swprintf(buf, 96, L"%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return buf;
}

bool IsButtonClass(HWND h) { return _wcsicmp(ClassOf(h).c_str(), L"Button") == 0; }
LONG_PTR StyleOf(HWND h) { return GetWindowLongPtrW(h, GWL_STYLE); }
int ButtonType(HWND h) { return static_cast<int>(StyleOf(h) & BS_TYPEMASK); }

std::wstring KindOf(HWND h) {
  std::wstring cls = ClassOf(h);
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    switch (ButtonType(h)) {
      case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return L"radio";
      case BS_CHECKBOX: case BS_AUTOCHECKBOX: return L"check";
      default: return L"button";
    }
  }
  if (_wcsicmp(cls.c_str(), L"Edit") == 0) return L"edit";
  if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) return L"combo";
  if (cls == L"VelSetupLabel") return L"label";
  if (cls == L"VelSetupImage") return L"image";
  return cls;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> Descendants(HWND root) {
  std::vector<HWND> all;
  EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&all));
  return all;
}

struct WindowSearch {
  std::wstring cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  if (IsWindowVisible(h) && ClassOf(h) == s->cls) s->found.push_back(h);
  return TRUE;
}

// Visible top-level windows of a class.
std::vector<HWND> TopWindows(const std::wstring& cls) {
  WindowSearch s{cls, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Text as a user reads it: the "&" that marks an access key is not shown.
std::wstring Shown(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// A target names a control by its name (edDir, btnNext) or by its text ("Next"); "~part"
// matches a text that contains part. Names are tried first.
bool Matches(HWND h, const std::wstring& target) {
  if (target.size() > 1 && target[0] == L'~') return Shown(TextOf(h)).find(target.substr(1)) != std::wstring::npos;
  return NameOf(h) == target || Shown(TextOf(h)) == target;
}

std::wstring Describe(HWND h) {
  std::wstring d = KindOf(h);
  std::wstring name = NameOf(h);
  if (!name.empty()) d += L" " + name;
  std::wstring text = TextOf(h);
  if (!text.empty()) d += L" \"" + text + L"\"";
  d += L" at " + RectText(ScreenRect(h));
  if (!IsWindowEnabled(h)) d += L" (disabled)";
  return d;
}

HWND Current() {
  if (!current || !IsWindow(current)) {
    std::vector<HWND> found = TopWindows(currentClass);
    if (found.empty()) Fail(L"no visible window of class " + currentClass);
    current = found.front();
  }
  return current;
}

// The visible controls of a window that match, best first: a name match before a text match.
std::vector<HWND> Find(HWND root, const std::wstring& target, const std::function<bool(HWND)>& accept = nullptr) {
  std::vector<HWND> byName, byText;
  for (HWND h : Descendants(root)) {
    if (!IsWindowVisible(h) || (accept && !accept(h))) continue;
    if (NameOf(h) == target)
      byName.push_back(h);
    else if (Matches(h, target))
      byText.push_back(h);
  }
  byName.insert(byName.end(), byText.begin(), byText.end());
  return byName;
}

std::wstring VisibleSummary(HWND root) {
  std::wstring s;
  for (HWND h : Descendants(root)) {
    if (!IsWindowVisible(h)) continue;
    std::wstring kind = KindOf(h);
    if (kind == L"VelSetupContainer" || kind == L"VelSetupBevel" || kind == L"SysTabControl32") continue;
    if (TextOf(h).empty() && NameOf(h).empty()) continue;
    s += L"\n    " + Describe(h);
  }
  return s.empty() ? L" (nothing)" : s;
}

// Waits until found() gives a window or the timeout passes.
HWND WaitFor(const std::function<HWND()>& found, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = found()) return h;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(50);
  }
}

HWND One(HWND root, const std::wstring& target, const std::function<bool(HWND)>& accept, const wchar_t* what) {
  HWND h = WaitFor(
      [&]() -> HWND {
        auto found = Find(root, target, accept);
        return found.empty() ? nullptr : found.front();
      },
      timeoutMs);
  if (!h) Fail(std::wstring(L"no visible ") + what + L" \"" + target + L"\"; the window shows:" + VisibleSummary(root));
  return h;
}

// Sends and waits a little: a handler that opens a modal window must not hold the driver.
void Send(HWND h, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(h, msg, w, l, SMTO_NORMAL, 1000, &result);
}

void Press(HWND button) {
  if (!IsWindowEnabled(button)) Fail(L"cannot press " + Describe(button) + L": it is disabled");
  Send(button, BM_CLICK, 0, 0);
}

// What the Win32 backend listens to: the parent's WM_COMMAND with the control's notification.
void Notify(HWND control, WORD code) {
  Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

// --- Checks of the layout ---------------------------------------------------------------------

RECT WorkAreaOf(HWND h) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(h, h ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// The room a control's text needs, in the font the program drew it with.
struct Need {
  SIZE size{0, 0};
  bool known = false;
};

Need TextNeed(HWND h, const std::wstring& text) {
  Need need;
  std::wstring font = AtomProp(h, L"VelSetup.Font");  // face;pixel height;weight;wrap
  std::vector<std::wstring> parts;
  std::wstringstream ss(font);
  for (std::wstring p; std::getline(ss, p, L';');) parts.push_back(p);
  if (parts.size() < 3) return need;
  HFONT f = CreateFontW(-_wtoi(parts[1].c_str()), 0, 0, 0, _wtoi(parts[2].c_str()), FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        parts[0].c_str());
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f);
  RECT client{};
  GetClientRect(h, &client);
  bool wrap = parts.size() > 3 && parts[3] == L"wrap";
  RECT r{0, 0, wrap ? client.right : 0, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
  need.size = {r.right, r.bottom};
  need.known = true;
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(f);
  return need;
}

// Every visible control with a text shows it whole, and lies inside its parent.
std::vector<std::wstring> TextProblems(HWND root) {
  std::vector<std::wstring> problems;
  for (HWND h : Descendants(root)) {
    if (!IsWindowVisible(h)) continue;
    std::wstring kind = KindOf(h);
    // Controls that show text. Containers may reach past their parents (the tab-less pages reach
    // into the hidden tab row), and so may the logos with them: pictures are centred on white.
    bool shown = kind == L"label" || kind == L"button" || kind == L"radio" || kind == L"check" || kind == L"edit" ||
                 kind == L"combo";
    if (!shown) continue;
    // What of the control can be seen: the client areas of all its parents, one inside the other.
    RECT seen = ScreenRect(root);
    for (HWND p = GetParent(h); p; p = p == root ? nullptr : GetParent(p)) {
      RECT pr{};
      GetClientRect(p, &pr);
      MapWindowPoints(p, nullptr, reinterpret_cast<POINT*>(&pr), 2);
      IntersectRect(&seen, &seen, &pr);
    }
    RECT r = ScreenRect(h);
    if (kind == L"combo") {  // the window includes the room of its drop-down list
      DWORD_PTR item = 0;
      SendMessageTimeoutW(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0, SMTO_ABORTIFHUNG, 1000, &item);
      r.bottom = r.top + static_cast<LONG>(item) + 6;
    }
    if (!Inside(r, seen)) problems.push_back(Describe(h) + L" reaches out of what its parents show, " + RectText(seen));
    std::wstring text = Shown(TextOf(h));
    if (text.empty() || kind == L"edit" || kind == L"combo") continue;
    if (kind != L"label" && kind != L"button" && kind != L"radio" && kind != L"check") continue;
    Need need = TextNeed(h, text);
    if (!need.known) continue;
    RECT c{};
    GetClientRect(h, &c);
    int room = c.right;
    if (kind == L"radio" || kind == L"check") room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
    if (kind == L"button") room -= 4;  // the frame
    if (need.size.cx > room || need.size.cy > c.bottom) {
      wchar_t buf[128];
      swprintf(buf, 128, L" needs %ldx%ld, has %dx%ld", need.size.cx, need.size.cy, room, c.bottom);
      problems.push_back(Describe(h) + L": text cut," + buf);
    }
  }
  return problems;
}

// --- The commands -----------------------------------------------------------------------------

using Args = std::vector<std::wstring>;

void NeedArgs(const Args& a, size_t min, const wchar_t* usage) {
  if (a.size() < min) throw std::invalid_argument(Utf8(std::wstring(L"usage: ") + usage));
}

DWORD TimeoutArg(const Args& a, size_t i) { return a.size() > i ? static_cast<DWORD>(_wtoi(a[i].c_str())) : timeoutMs; }

bool IsPushButton(HWND h) { return IsButtonClass(h) && KindOf(h) == L"button"; }

HWND MessageWindow(DWORD timeout) {
  HWND m = WaitFor(
      []() -> HWND {
        auto found = TopWindows(L"TFMessage");
        return found.empty() ? nullptr : found.front();
      },
      timeout);
  if (!m) Fail(L"no message window (TFMessage) appeared");
  return m;
}

// %NAME% in a path takes a variable the hooks exported (a folder of the run).
std::wstring ExpandedPath(const std::wstring& path) {
  wchar_t expanded[1024] = {};
  DWORD n = ExpandEnvironmentStringsW(path.c_str(), expanded, 1024);
  return n > 0 && n <= 1024 ? std::wstring(expanded) : path;
}

void SaveScreen(const std::wstring& file) {
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  DWORD row = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<size_t>(row) * static_cast<size_t>(h));
  GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER head{};
  head.bfType = 0x4D42;
  head.bfOffBits = sizeof head + sizeof info;
  head.bfSize = head.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* f = _wfopen(file.c_str(), L"wb");
  if (!f) Fail(L"cannot write " + file);
  fwrite(&head, sizeof head, 1, f);
  fwrite(&info, sizeof info, 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  fclose(f);
  Say(L"picture: " + file);
}

void Run(const Args& a) {
  const std::wstring& cmd = a[0];
  if (cmd == L"window") {
    if (a.size() > 1) currentClass = a[1];
    current = WaitFor(
        []() -> HWND {
          auto found = TopWindows(currentClass);
          return found.empty() ? nullptr : found.front();
        },
        TimeoutArg(a, 2));
    if (!current) {
      // The installer may be waiting on a message of its own instead (an error at start).
      std::wstring instead;
      for (HWND m : TopWindows(L"TFMessage")) instead += L"\n  a message window is open; it shows:" + VisibleSummary(m);
      Fail(L"no visible window of class " + currentClass + L" appeared" + instead);
    }
  } else if (cmd == L"timeout") {
    NeedArgs(a, 2, L"timeout MILLISECONDS");
    timeoutMs = static_cast<DWORD>(_wtoi(a[1].c_str()));
  } else if (cmd == L"sleep") {
    NeedArgs(a, 2, L"sleep MILLISECONDS");
    Sleep(static_cast<DWORD>(_wtoi(a[1].c_str())));
  } else if (cmd == L"wait-text") {
    NeedArgs(a, 2, L"wait-text TARGET [TIMEOUT]");
    HWND root = Current();
    if (!WaitFor([&]() -> HWND { auto f = Find(root, a[1]); return f.empty() ? nullptr : f.front(); }, TimeoutArg(a, 2)))
      Fail(L"\"" + a[1] + L"\" did not become visible; the window shows:" + VisibleSummary(root));
  } else if (cmd == L"wait-gone") {
    NeedArgs(a, 2, L"wait-gone TARGET [TIMEOUT]");
    HWND root = Current();
    HWND gone = WaitFor([&]() -> HWND { return Find(root, a[1]).empty() ? root : nullptr; }, TimeoutArg(a, 2));
    if (!gone) Fail(L"\"" + a[1] + L"\" is still visible");
  } else if (cmd == L"click") {
    NeedArgs(a, 2, L"click TARGET");
    Press(One(Current(), a[1], IsPushButton, L"button"));
  } else if (cmd == L"select") {  // a radio button
    NeedArgs(a, 2, L"select TARGET");
    HWND radio = One(Current(), a[1], [](HWND h) { return KindOf(h) == L"radio"; }, L"radio button");
    Press(radio);
    if (SendMessageW(radio, BM_GETCHECK, 0, 0) != BST_CHECKED) Fail(Describe(radio) + L" is not checked after the click");
  } else if (cmd == L"check" || cmd == L"uncheck") {
    NeedArgs(a, 2, L"check|uncheck TARGET");
    HWND box = One(Current(), a[1], [](HWND h) { return KindOf(h) == L"check"; }, L"check box");
    bool want = cmd == L"check";
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != want) Press(box);
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != want) Fail(Describe(box) + L" did not change");
  } else if (cmd == L"type") {
    NeedArgs(a, 3, L"type TARGET TEXT");
    HWND edit = One(Current(), a[1], [](HWND h) { return KindOf(h) == L"edit" || KindOf(h) == L"combo"; }, L"edit");
    if (!IsWindowEnabled(edit)) Fail(L"cannot type into " + Describe(edit) + L": it is disabled");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()), SMTO_NORMAL, 1000, &result);
    Notify(edit, KindOf(edit) == L"combo" ? CBN_EDITCHANGE : EN_CHANGE);
  } else if (cmd == L"choose") {  // an item of a combo box
    NeedArgs(a, 3, L"choose TARGET ITEM");
    HWND combo = One(Current(), a[1], [](HWND h) { return KindOf(h) == L"combo"; }, L"combo box");
    DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
    SendMessageTimeoutW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(a[2].c_str()),
                        SMTO_NORMAL, 1000, &index);
    if (static_cast<LRESULT>(index) == CB_ERR) Fail(Describe(combo) + L" has no item \"" + a[2] + L"\"");
    Send(combo, CB_SETCURSEL, index, 0);
    Notify(combo, CBN_SELCHANGE);
  } else if (cmd == L"answer") {  // a button of the message window
    NeedArgs(a, 2, L"answer BUTTON [TIMEOUT]");
    HWND m = MessageWindow(TimeoutArg(a, 2));
    // Another program's wait window (also a TFMessage, without buttons) may be open beside the
    // message, as when two copies start together: answer the window that has the button.
    HWND asking = WaitFor(
        [&]() -> HWND {
          for (HWND w : TopWindows(L"TFMessage"))
            if (!Find(w, a[1], IsPushButton).empty()) return w;
          return nullptr;
        },
        TimeoutArg(a, 2));
    Press(One(asking ? asking : m, a[1], IsPushButton, L"button of the message window"));
  } else if (cmd == L"expect-message") {
    NeedArgs(a, 2, L"expect-message TEXT [TIMEOUT]");
    // A wait window (also a TFMessage) may come first: wait for the one that says TEXT.
    HWND m = MessageWindow(TimeoutArg(a, 2));
    HWND said = WaitFor(
        [&]() -> HWND {
          for (HWND w : TopWindows(L"TFMessage"))
            if (!Find(w, L"~" + a[1]).empty()) return w;
          return nullptr;
        },
        TimeoutArg(a, 2));
    if (!said) {
      auto open = TopWindows(L"TFMessage");
      Fail(L"no message window says \"" + a[1] + L"\"; it shows:" + VisibleSummary(open.empty() ? m : open.front()));
    }
    m = said;
    Say(L"message: " + VisibleSummary(m));
  } else if (cmd == L"expect-no-message") {
    if (!TopWindows(L"TFMessage").empty()) Fail(L"a message window is open; it shows:" + VisibleSummary(TopWindows(L"TFMessage").front()));
  } else if (cmd == L"expect-visible" || cmd == L"expect-hidden") {
    NeedArgs(a, 2, L"expect-visible|expect-hidden TARGET");
    bool visible = !Find(Current(), a[1]).empty();
    if (visible != (cmd == L"expect-visible"))
      Fail(L"\"" + a[1] + (visible ? L"\" is visible" : L"\" is not visible") + L"; the window shows:" + VisibleSummary(Current()));
  } else if (cmd == L"expect-enabled" || cmd == L"expect-disabled") {
    NeedArgs(a, 2, L"expect-enabled|expect-disabled TARGET");
    HWND h = One(Current(), a[1], nullptr, L"control");
    if ((IsWindowEnabled(h) != FALSE) != (cmd == L"expect-enabled")) Fail(Describe(h) + L" is not " + cmd.substr(7));
  } else if (cmd == L"expect-text") {
    NeedArgs(a, 3, L"expect-text TARGET TEXT");
    HWND h = One(Current(), a[1], nullptr, L"control");
    if (TextOf(h) != a[2]) Fail(Describe(h) + L" does not read \"" + a[2] + L"\"");
  } else if (cmd == L"expect-checked") {
    NeedArgs(a, 2, L"expect-checked TARGET");
    HWND h = One(Current(), a[1], nullptr, L"control");
    if (SendMessageW(h, BM_GETCHECK, 0, 0) != BST_CHECKED) Fail(Describe(h) + L" is not checked");
  } else if (cmd == L"read") {
    NeedArgs(a, 2, L"read TARGET");
    Say(TextOf(One(Current(), a[1], nullptr, L"control")));
  } else if (cmd == L"rect") {
    HWND h = a.size() > 1 ? One(Current(), a[1], nullptr, L"control") : Current();
    RECT client{};
    GetClientRect(h, &client);
    Say(L"rect " + RectText(ScreenRect(h)) + L" client " + std::to_wstring(client.right) + L"x" +
        std::to_wstring(client.bottom));
  } else if (cmd == L"workarea") {
    // The wizard's monitor, or the primary one while there is no wizard window.
    std::vector<HWND> found = TopWindows(currentClass);
    Say(L"workarea " + RectText(WorkAreaOf(found.empty() ? nullptr : found.front())));
  } else if (cmd == L"dump") {
    HWND root = a.size() > 1 ? TopWindows(a[1]).empty() ? nullptr : TopWindows(a[1]).front() : Current();
    if (!root) Fail(L"no visible window of class " + a[1]);
    Say(L"window " + ClassOf(root) + L" \"" + TextOf(root) + L"\" at " + RectText(ScreenRect(root)) + VisibleSummary(root));
  } else if (cmd == L"expect-in-workarea") {
    // The whole window, and so every button on it, lies inside the monitor's work area.
    HWND w = Current();
    RECT work = WorkAreaOf(w), r = ScreenRect(w);
    std::wstring bad;
    if (!Inside(r, work)) bad += L"\n    the window at " + RectText(r);
    for (HWND h : Descendants(w))
      if (IsWindowVisible(h) && IsPushButton(h) && !Inside(ScreenRect(h), work)) bad += L"\n    " + Describe(h);
    if (!bad.empty()) Fail(L"outside the work area " + RectText(work) + L":" + bad);
  } else if (cmd == L"expect-text-fits") {
    auto problems = TextProblems(Current());
    if (!problems.empty()) {
      std::wstring all;
      for (auto& p : problems) all += L"\n    " + p;
      Fail(L"texts that are not shown whole:" + all);
    }
  } else if (cmd == L"expect-client") {  // the window's client size, WIDTH HEIGHT
    NeedArgs(a, 3, L"expect-client WIDTH HEIGHT");
    RECT c{};
    GetClientRect(Current(), &c);
    if (c.right != _wtoi(a[1].c_str()) || c.bottom != _wtoi(a[2].c_str()))
      Fail(L"client area is " + std::to_wstring(c.right) + L"x" + std::to_wstring(c.bottom) + L", not " + a[1] + L"x" + a[2]);
  } else if (cmd == L"dpi-changed") {  // what Windows sends when the window moves to a monitor of this dpi
    NeedArgs(a, 2, L"dpi-changed DPI");
    WORD d = static_cast<WORD>(_wtoi(a[1].c_str()));
    // Waited for to the end: the window lays itself out again before it answers.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Current(), 0x02E0, MAKEWPARAM(d, d), 0, SMTO_NORMAL, timeoutMs, &result))
      Fail(L"the window did not answer WM_DPICHANGED within the timeout");
  } else if (cmd == L"close") {
    PostMessageW(Current(), WM_CLOSE, 0, 0);
  } else if (cmd == L"wait-closed") {
    HWND w = Current();
    if (!WaitFor([&]() -> HWND { return IsWindow(w) ? nullptr : w; }, TimeoutArg(a, 1))) Fail(L"the window is still open");
    current = nullptr;
  } else if (cmd == L"shot") {  // a picture of the whole screen, as a BMP file
    NeedArgs(a, 2, L"shot FILE.bmp");
    SaveScreen(ExpandedPath(a[1]));
  } else if (cmd == L"wait-file") {  // a file another program writes when it has got so far
    NeedArgs(a, 2, L"wait-file PATH [TIMEOUT]");
    std::wstring path = ExpandedPath(a[1]);
    HWND any = GetDesktopWindow();
    if (!WaitFor([&]() -> HWND { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? nullptr : any; },
                 TimeoutArg(a, 2)))
      Fail(L"the file " + path + L" did not appear");
  } else if (cmd == L"expect-windows") {  // how many visible top-level windows of a class there are
    NeedArgs(a, 3, L"expect-windows CLASS COUNT");
    size_t found = TopWindows(a[1]).size();
    if (found != static_cast<size_t>(_wtoi(a[2].c_str())))
      Fail(std::to_wstring(found) + L" visible windows of class " + a[1] + L", not " + a[2]);
  } else if (cmd == L"when") {  // when NAME=VALUE COMMAND ARGS...: the command only in that case of the run
    NeedArgs(a, 3, L"when NAME=VALUE COMMAND ARGS...");
    size_t eq = a[1].find(L'=');
    if (eq == 0 || eq == std::wstring::npos) throw std::invalid_argument("usage: when NAME=VALUE COMMAND ARGS...");
    wchar_t value[512] = {};
    DWORD n = GetEnvironmentVariableW(a[1].substr(0, eq).c_str(), value, 512);
    if (n >= 512 || a[1].substr(eq + 1) != std::wstring(value, n)) throw Skipped{};
    Run(Args(a.begin() + 2, a.end()));
  } else if (cmd == L"end") {
    throw EndOfScript{};
  } else if (cmd == L"say") {
    std::wstring line;
    for (size_t i = 1; i < a.size(); ++i) line += (i > 1 ? L" " : L"") + a[i];
    Say(line);
  } else {
    throw std::invalid_argument("unknown command " + Utf8(cmd));
  }
}

// Splits a script line into words; "double quotes" group words, \" inside them is a quote and
// every other backslash is itself (Windows paths stay readable). # starts a comment line.
Args Split(const std::wstring& line) {
  Args words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && iswspace(line[i])) ++i;
    if (i >= line.size()) break;
    std::wstring w;
    if (line[i] == L'"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == L'\\' && i + 1 < line.size() && line[i + 1] == L'"') {
          w += L'"';
          i += 2;
        } else if (line[i] == L'"') {
          ++i;
          closed = true;
          break;
        } else {
          w += line[i++];
        }
      }
      if (!closed) throw std::invalid_argument("unclosed quote");
    } else {
      while (i < line.size() && !iswspace(line[i])) w += line[i++];
    }
    words.push_back(w);
  }
  return words;
}

int RunLines(const std::vector<std::wstring>& lines, const std::wstring& source) {
  for (size_t n = 0; n < lines.size(); ++n) {
    std::wstring line = lines[n];
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    size_t first = line.find_first_not_of(L" \t");
    if (first == std::wstring::npos || line[first] == L'#') continue;
    std::wstring where = source + L":" + std::to_wstring(n + 1) + L": " + line.substr(first);
    try {
      Args a = Split(line);
      Run(a);
      Say(L"ok   " + where);
    } catch (const Skipped&) {
      Say(L"skip " + where);
    } catch (const EndOfScript&) {
      Say(L"ok   " + where);
      return 0;
    } catch (const Failure& f) {
      Say(L"FAIL " + where + L"\n  " + f.message);
      return 1;
    } catch (const std::invalid_argument& e) {
      Say(L"BAD  " + where + L"\n  " + Narrow(e.what()));
      return 2;
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Rectangles in real pixels, whatever the dpi.
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto setContext = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  if (!setContext || !setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))))  // per-monitor v2
    SetProcessDPIAware();

  if (argc < 2) {
    Say(L"usage: VelDriver.exe --script FILE | VelDriver.exe COMMAND ARGS...  (see tests/e2e/README.md)");
    return 2;
  }
  std::vector<std::wstring> lines;
  std::wstring source = L"command";
  if (std::wstring(argv[1]) == L"--script") {
    if (argc < 3) {
      Say(L"--script needs a file");
      return 2;
    }
    source = argv[2];
    std::string bytes;
    if (source == L"-") {
      std::ostringstream all;
      all << std::cin.rdbuf();
      bytes = all.str();
    } else {
      std::ifstream in(source.c_str(), std::ios::binary);
      if (!in) {
        Say(L"cannot read " + source);
        return 2;
      }
      std::ostringstream all;
      all << in.rdbuf();
      bytes = all.str();
    }
    std::wstringstream text(Narrow(bytes));
    for (std::wstring l; std::getline(text, l);) lines.push_back(l);
  } else {
    // One command: the words are taken as they are, no quoting needed.
    std::wstring line;
    for (int i = 1; i < argc; ++i) {
      std::wstring w = argv[i];
      std::wstring quoted = L"\"";
      for (wchar_t c : w) quoted += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
      line += (i > 1 ? L" " : L"") + quoted + L"\"";
    }
    lines.push_back(line);
  }
  return RunLines(lines, source);
}
