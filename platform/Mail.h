#pragma once
// The user's mail program through Simple MAPI: a message handed to it opens pre-filled.
#include <string>

namespace platform {

struct MailMessage {
  std::string Subject, Body, AttachmentPath;
  std::string OriginatorName, OriginatorAddress;
  std::string RecipientName, RecipientAddress;
};

// The library file name of the mail interface, loaded from the system folder only.
extern std::string MapiLibraryName;

// Hands the message to MAPISendMail with the log-on user interface and the compose dialog.
// Returns -1 when the library cannot be loaded, 1 when it has no MAPISendMail, otherwise the
// mail program's own result. parentWindow is the owner window's handle (or nullptr).
long SendSimpleMail(const MailMessage& message, void* parentWindow);

// Builds without a mail interface keep the last message handed over (tests read it).
const MailMessage* LastMailSent();

}  // namespace platform
