#pragma once
// Entry names of ZIP archives as the installer sees them: UTF-8, folders separated by a backslash.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// The stored bytes of a name to the installer's form. Names without the UTF-8 flag are in the
// system's OEM code page; '/' (and a stray '\') become '\'.
std::string EntryNameFromStored(std::string_view stored, bool utf8Flag);

// The installer's form to the stored bytes: OEM when every character fits the OEM code page,
// else UTF-8 (then utf8Flag is set and the archive must carry the UTF-8 flag). '\' becomes '/'.
std::string StoredFromEntryName(std::string_view name, bool& utf8Flag);

// The folder names and the file name of an entry, when writing it below a base folder stays
// inside that folder. Empty result for a name that could leave it or address a device: an
// absolute path, a drive ("C:"), a "\\server\" name, a ".." component (also ".. " and "...",
// which Windows trims to ".."), a colon (alternate data streams) or a reserved device name.
// "." components and doubled separators are dropped.
std::optional<std::vector<std::string>> SafeEntryComponents(std::string_view name);

// Why an entry name is refused by SafeEntryComponents, as the end of a sentence that starts with
// the entry ("climbs out of its folder with \"..\"", "is named after the Windows device
// \"COM1\""); empty for a safe name, whose components then go to *components when given.
std::string UnsafeEntryNameReason(std::string_view name, std::vector<std::string>* components = nullptr);

// A name Windows gives to a device in every folder, whatever its extension: CON, PRN, AUX,
// NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM/LPT with a superscript 1, 2 or 3.
bool IsReservedDeviceName(std::string_view component);

// True when an entry name matches a mask. "*" and "*.*" match every name, also names without a
// dot; a mask without a folder is compared with the file name only (so it matches in every
// folder); '*' and '?' are wildcards; letters compare ignoring case.
bool EntryMatchesMask(std::string_view entryName, std::string_view mask);

}  // namespace engine
