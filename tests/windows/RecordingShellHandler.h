#pragma once
// A shell handler of a test's own under HKEY_CLASSES_ROOT: its open command runs the stand-in
// program, which writes what the shell handed it to a record file. Every key it made is removed
// when it goes, a failed assertion included.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Wide.h"

namespace testing_support {

class RecordingShellHandler {
 public:
  RecordingShellHandler(const std::wstring& progId, const std::string& standIn, const std::string& record) {
    using platform::win32::Wide;
    FMade.push_back(progId);
    FRegistered = SetValue(progId + L"\\shell\\open\\command", nullptr,
                           L"\"" + Wide(standIn) + L"\" /RECORD=\"" + Wide(record) + L"\" \"%1\"");
  }
  ~RecordingShellHandler() {
    for (const std::wstring& key : FMade) RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  }
  RecordingShellHandler(const RecordingShellHandler&) = delete;
  RecordingShellHandler& operator=(const RecordingShellHandler&) = delete;

  bool Registered() const { return FRegistered; }
  // A string value under HKEY_CLASSES_ROOT (name null: the key's default value); a key outside the
  // handler's own, such as a file extension, is removed with it too.
  bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
      return false;
    if (key != FMade.front() && key.rfind(FMade.front() + L"\\", 0) != 0) FMade.push_back(key);
    LONG set = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return set == ERROR_SUCCESS;
  }

 private:
  bool FRegistered = false;
  std::vector<std::wstring> FMade;  // the handler's own key first
};

}  // namespace testing_support
