#pragma once
// Finishing an installation on the last wizard page: the shortcuts, the start of the product,
// and the maker's support links, every one opened through the shell.
#include <string>

#include "setup/PackageRecords.h"

// "Velmor Kest" for the smaller edition's types, "Velmor Tarpel" for the larger's, "Velmor"
// for anything else.
std::string ProductDisplayName(TTypeInstall type);

struct TCompletionChoice {
  bool Plocha = true;     // desktop shortcut
  bool StartMenu = true;  // Start-menu shortcut in "Dromak Solutions"
  bool RunVelmor = true;  // start the product
};

// The Start-menu folder of the product's shortcuts.
extern const char* const StartMenuFolder;

// The completion step: shortcuts to adrInstall + "Velmor.EXE" (named and described by the
// display name, the target's folder as working directory) as chosen, then the product started
// without waiting, elevated when User Account Control is on. A failed start is logged only.
void RunCompletion(const std::string& adrInstall, TTypeInstall type, const TCompletionChoice& choice);

// The support links of the completion page and the logos: the shell is asked to open them.
// A new mail to the hotline ("mailto: " + address), shown hidden.
void OpenHotlineMail(const std::string& address);
// A web address of a support row, shown hidden.
void OpenSupportAddress(const std::string& address);
// The maker's web address behind the logos, with the wizard as owner, shown normally.
void OpenMakerWeb(void* owner, const std::string& address);
