// The shell of the Windows builds: ShellExecuteExW, FindExecutableW and shell link objects.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdexcept>

#include "platform/Shell.h"
#include "platform/win32/Wide.h"

namespace platform {

using win32::Utf8;
using win32::Wide;
using win32::WidePath;

namespace {

class Win32Process : public StartedProcess {
 public:
  explicit Win32Process(HANDLE process) : FProcess(process) {}
  ~Win32Process() override {
    if (FProcess) CloseHandle(FProcess);
  }
  std::uint32_t ExitCode() override {
    DWORD code = kStillActive;
    if (!FProcess || !GetExitCodeProcess(FProcess, &code)) return 1;
    return code;
  }

 private:
  HANDLE FProcess;
};

// COM for the calling thread, for the length of one call.
class ComScope {
 public:
  ComScope() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (FInitialized) CoUninitialize();
  }

 private:
  bool FInitialized;
};

template <class T>
class ComPtr {
 public:
  ~ComPtr() {
    if (p) p->Release();
  }
  T* p = nullptr;
};

// The extension of the last name of a path, with its dot; empty when it has none.
std::wstring Extension(const std::wstring& path) {
  size_t dot = path.find_last_of(L".\\/");
  return dot == std::wstring::npos || path[dot] != L'.' ? std::wstring() : path.substr(dot);
}

// The shell takes no extended-length path ("\\?\C:\..."): ShellExecuteEx, FindExecutable and a
// shell link see at most MAX_PATH - 1 characters. A longer path is given in its short (8.3) form,
// which names the same file, when the volume keeps short names; otherwise it is given as it is
// and the shell refuses it, which the callers report. The shell picks the program for a document
// by its extension, so a file whose short name cuts the extension (".html" to ".HTM") is given
// as it is too, unless only a folder is meant. Anything else (an address, a relative name) is
// given as it is.
std::wstring ShellPath(std::string_view utf8Path, bool folder = false) {
  std::wstring path = Wide(utf8Path);
  if (path.size() < MAX_PATH) return path;
  std::wstring extended = WidePath(utf8Path);
  DWORD n = GetShortPathNameW(extended.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring shortPath(n, L'\0');
  n = GetShortPathNameW(extended.c_str(), shortPath.data(), n);
  if (n == 0 || n >= shortPath.size()) return path;
  shortPath.resize(n);
  std::wstring plain = Wide(WithoutExtendedLengthPrefix(Utf8(shortPath)));
  if (!folder && _wcsicmp(Extension(plain).c_str(), Extension(path).c_str()) != 0) return path;
  return plain.size() < MAX_PATH ? plain : path;
}

// Hands the request to the shell with the given mask; info receives what the shell gives back.
bool ExecuteRequest(const ShellRequest& request, ULONG mask, SHELLEXECUTEINFOW& info) {
  std::wstring verb = Wide(request.verb);
  std::wstring file = ShellPath(request.file);
  std::wstring params = Wide(request.parameters);
  info = SHELLEXECUTEINFOW{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  info.hwnd = static_cast<HWND>(request.owner);
  info.lpVerb = verb.empty() ? nullptr : verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = params.empty() ? nullptr : params.c_str();
  info.nShow = request.hidden ? SW_HIDE : SW_SHOWNORMAL;
  return !file.empty() && ShellExecuteExW(&info);
}

}  // namespace

std::unique_ptr<StartedProcess> ShellStart(const ShellRequest& request) {
  SHELLEXECUTEINFOW info;
  // No shell error box: the callers report a failed start in their own words.
  if (!ExecuteRequest(request, SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI, info)) return nullptr;
  // A document opened by a running program (DDE) gives no process; it counts as finished.
  if (!info.hProcess) {
    class Finished : public StartedProcess {
      std::uint32_t ExitCode() override { return 0; }
    };
    return std::make_unique<Finished>();
  }
  return std::make_unique<Win32Process>(info.hProcess);
}

void SleepMilliseconds(int ms) { Sleep(static_cast<DWORD>(ms)); }

namespace {
std::vector<ShellRequest> openRequests;
}

bool ShellOpen(const ShellRequest& request) {
  openRequests.push_back(request);
  SHELLEXECUTEINFOW info;
  // The handler may be a program started through DDE: let the call finish its conversation.
  return ExecuteRequest(request, SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC, info);
}

const std::vector<ShellRequest>& ShellOpenRequests() { return openRequests; }
void ClearShellOpenRequests() { openRequests.clear(); }

std::string ProgramForFile(std::string_view file) {
  if (file.empty()) return {};
  std::wstring wfile = ShellPath(file);
  wchar_t result[MAX_PATH + 1] = {};
  // The documented buffer is MAX_PATH characters; a larger one does no harm.
  HINSTANCE h = FindExecutableW(wfile.c_str(), nullptr, result);
  if (reinterpret_cast<INT_PTR>(h) <= 32) return {};
  // A program is its own program: named as the caller named it, not in the short form.
  if (wfile != Wide(file) && _wcsicmp(result, wfile.c_str()) == 0) return std::string(file);
  return Utf8(result);
}

bool SaveShellLink(std::string_view linkFile, const ShellLink& link) {
  ComScope com;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink.p))))
    throw std::runtime_error("Cannot create the shell link object");
  ComPtr<IPersistFile> persist;
  if (FAILED(shellLink.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist.p))))
    throw std::runtime_error("The shell link object has no IPersistFile");
  shellLink.p->SetPath(ShellPath(link.target).c_str());
  shellLink.p->SetArguments(Wide(link.arguments).c_str());
  shellLink.p->SetWorkingDirectory(ShellPath(link.workingDirectory, true).c_str());
  shellLink.p->SetDescription(Wide(link.description).c_str());
  return SUCCEEDED(persist.p->Save(WidePath(linkFile).c_str(), FALSE));
}

std::optional<ShellLink> LoadShellLink(std::string_view linkFile) {
  ComScope com;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink.p))))
    return std::nullopt;
  ComPtr<IPersistFile> persist;
  if (FAILED(shellLink.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist.p))) ||
      FAILED(persist.p->Load(WidePath(linkFile).c_str(), STGM_READ)))
    return std::nullopt;
  ShellLink link;
  wchar_t buf[INFOTIPSIZE + MAX_PATH];
  if (SUCCEEDED(shellLink.p->GetPath(buf, MAX_PATH, nullptr, 0))) link.target = Utf8(buf);
  if (SUCCEEDED(shellLink.p->GetArguments(buf, INFOTIPSIZE))) link.arguments = Utf8(buf);
  if (SUCCEEDED(shellLink.p->GetWorkingDirectory(buf, MAX_PATH))) link.workingDirectory = Utf8(buf);
  if (SUCCEEDED(shellLink.p->GetDescription(buf, INFOTIPSIZE))) link.description = Utf8(buf);
  return link;
}

}  // namespace platform
