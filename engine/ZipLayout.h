#pragma once
// The layout check of an archive before anything is read from it: the central directory must
// account for every byte of the file, entry after entry, with no entry sharing data with another
// and each local header naming its entry as the directory does. libzip reads the directory and
// trusts it; a forged or damaged directory (a name changed after writing, two records over the
// same data, an end record zeroed so that the archive seems empty) is refused here instead.
#include <string>

namespace engine {

// Empty when the layout is sound; otherwise why it is not, as a sentence without the archive's
// name ("the entries \"a\" and \"b\" share the same data"). A file that cannot be read gives
// its reason too.
std::string ArchiveLayoutProblem(const std::string& fileName);
// The problem of a file that has no end record at all: no ZIP archive, rather than a damaged one.
extern const char* const kNoEndRecord;

}  // namespace engine
