#include <windows.h>
#include <mapi.h>

#include <vector>

#include "platform/Mail.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"

namespace platform {

std::string MapiLibraryName = "MAPI32.DLL";

long SendSimpleMail(const MailMessage& m, void* parentWindow) {
  // Every text handed over is an ANSI string that lives until the call returns.
  std::string subject = AnsiFromUtf8(m.Subject), body = AnsiFromUtf8(m.Body);
  std::string originatorName = AnsiFromUtf8(m.OriginatorName.empty() ? m.OriginatorAddress : m.OriginatorName);
  std::string originatorAddress = AnsiFromUtf8(m.OriginatorAddress);
  std::string recipientName = AnsiFromUtf8(m.RecipientName.empty() ? m.RecipientAddress : m.RecipientName);
  std::string recipientAddress = AnsiFromUtf8(m.RecipientAddress);
  std::string attachment = AnsiFromUtf8(m.AttachmentPath);

  MapiMessage message{};
  if (!m.Subject.empty()) message.lpszSubject = subject.data();
  if (!m.Body.empty()) message.lpszNoteText = body.data();
  MapiRecipDesc originator{};
  if (!m.OriginatorAddress.empty()) {
    originator.ulRecipClass = MAPI_ORIG;
    originator.lpszName = originatorName.data();
    originator.lpszAddress = originatorAddress.data();
    message.lpOriginator = &originator;
  }
  MapiRecipDesc recipient{};
  if (!m.RecipientAddress.empty()) {
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = recipientName.data();
    recipient.lpszAddress = recipientAddress.data();
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
  }
  MapiFileDesc file{};
  if (!m.AttachmentPath.empty()) {
    file.nPosition = 0xFFFFFFFF;
    file.lpszPathName = attachment.data();
    message.nFileCount = 1;
    message.lpFiles = &file;
  }

  // Only the system folder's copy: a library of that name beside the installer (a Downloads
  // folder) must never be loaded.
  wchar_t system[MAX_PATH] = {};
  UINT len = GetSystemDirectoryW(system, MAX_PATH);
  if (len == 0 || len >= MAX_PATH) return -1;
  std::wstring path = std::wstring(system) + L"\\" + win32::Wide(MapiLibraryName);
  HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) return -1;
  long result = 1;
  auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
  if (send)
    result = static_cast<long>(send(0, reinterpret_cast<ULONG_PTR>(parentWindow), &message,
                                    MAPI_LOGON_UI | MAPI_DIALOG, 0));
  FreeLibrary(library);
  return result;
}

const MailMessage* LastMailSent() { return nullptr; }

}  // namespace platform
