#include "ui/win32/Dialogs.h"

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/win32/Wide.h"
#include "ui/Controls.h"

using platform::win32::Utf8;
using platform::win32::Wide;

namespace ui::win32 {

namespace {

HWND OwnerWindow(TForm* owner) { return owner ? static_cast<HWND>(owner->Handle()) : nullptr; }

std::string IncludeTrailingBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

// The browser's callback: the folder in data is preselected when the browser opens.
int CALLBACK PreselectFolder(HWND wnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

// An item list of the shell's, freed with CoTaskMemFree.
class TItemList {
 public:
  explicit TItemList(PIDLIST_ABSOLUTE list = nullptr) : FList(list) {}
  ~TItemList() {
    if (FList) CoTaskMemFree(FList);
  }
  TItemList(const TItemList&) = delete;
  TItemList& operator=(const TItemList&) = delete;
  PIDLIST_ABSOLUTE Get() const { return FList; }
  PIDLIST_ABSOLUTE* Put() { return &FList; }

 private:
  PIDLIST_ABSOLUTE FList;
};

}  // namespace

bool ShowSaveFileDialog(TForm* owner, std::string& fileName) {
  std::wstring buffer(32768, L'\0');
  std::wstring initial = Wide(fileName);
  if (initial.size() < 32767) std::copy(initial.begin(), initial.end(), buffer.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow(owner);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = 32768;
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&ofn)) return false;
  fileName = Utf8(buffer.c_str());
  return true;
}

bool ShowFolderBrowser(TForm* owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) {
  // The tree starts at the drive or share of the path the user typed.
  TItemList rootList;
  if (!root.empty()) {
    std::wstring r = Wide(IncludeTrailingBackslash(root));
    if (FAILED(SHParseDisplayName(r.c_str(), nullptr, rootList.Put(), 0, nullptr))) *rootList.Put() = nullptr;
  }
  std::wstring caption = Wide(title);
  std::wstring start = Wide(initial);
  BROWSEINFOW bi{};
  bi.hwndOwner = OwnerWindow(owner);
  bi.pidlRoot = rootList.Get();
  bi.lpszTitle = caption.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  bi.lpfn = PreselectFolder;
  bi.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  bool ok = false;
  {
    TItemList chosen(SHBrowseForFolderW(&bi));
    if (chosen.Get()) {
      wchar_t path[MAX_PATH * 4] = {};
      if (SHGetPathFromIDListEx(chosen.Get(), path, MAX_PATH * 4, GPFIDL_DEFAULT)) {
        folder = Utf8(path);
        ok = true;
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return ok;
}

void ShowPlainMessageBox(TForm* owner, const std::string& text) {
  MessageBoxW(OwnerWindow(owner), Wide(text).c_str(), L"VelSetup", MB_OK | MB_TASKMODAL);
}

}  // namespace ui::win32
