#include <optional>

#include "platform/Mail.h"

namespace platform {

std::string MapiLibraryName = "MAPI32.DLL";

namespace {
std::optional<MailMessage> lastMail;
}

// There is no Simple MAPI here: the message is kept in memory, as a mail program would take it.
long SendSimpleMail(const MailMessage& message, void*) {
  if (MapiLibraryName != "MAPI32.DLL") return -1;
  lastMail = message;
  return 0;
}

const MailMessage* LastMailSent() { return lastMail ? &*lastMail : nullptr; }

}  // namespace platform
