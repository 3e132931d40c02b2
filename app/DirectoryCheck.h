#pragma once
// The target-directory page's checks: the syntax of the path, the installation already in the
// directory and its version against the kit's, free disk space and the creation of the folder.
// KontrolaVerze runs on every edit and decides whether Next is enabled; KontrolaAdresare runs
// once when Next is pressed and prepares the directory. Both are operations of TFInstall
// (app/Install.h); the rules they share are here.
#include <string>
#include <vector>

// The path pattern: a drive letter, a colon and a backslash, or two backslashes, a server and a
// share followed by a backslash, found anywhere in the (lower-cased) text.
extern const char* const PathPattern;

// Whether the text contains a match of PathPattern (matched ignoring case); false when empty.
bool PathSyntaxValid(const std::string& path);

// Compares two product version texts. Texts of up to four dot-separated decimal numbers
// ("3.0.10.0001") compare by their numbers, so 3.0.9.0001 < 3.0.10.0001; any other text (an
// empty one included) compares ordinally. Numerically equal versions are equal.
// Returns <0, 0 or >0.
int CompareVersionTexts(const std::string& installed, const std::string& kit);

// What a directory holds: an installation of the product when it exists, is not empty and has
// the program file VELMOR.EXE.
class TInfoInstall {
 public:
  explicit TInfoInstall(const std::string& adresar);

  std::string FAdresar;
  bool FExists = false;
  std::string FVersionEXE;  // "major.minor.release.bbbb"; empty without version information
  std::string FVersion;     // the edition's display name; "Velmor" when unknown
};

// The folders of this computer that can never be an installation folder: the Windows folder, the
// Program Files folders, and the folder of the user profiles (itself and every profile's root).
struct TSystemFolders {
  std::vector<std::string> Exact;  // refused themselves, not what lies below them
  std::string Profiles;            // refused itself and its direct subfolders
};
// Read from the system's environment (SystemRoot, windir, ProgramFiles, ProgramFiles(x86),
// ProgramW6432, USERPROFILE, PUBLIC).
TSystemFolders CurrentSystemFolders();

// Whether the path names a drive root (also a network share's root) or one of the system
// folders: an installation there would back up and write among the system's own files.
// Compared ignoring case, separators and a trailing backslash; "." and ".." are resolved.
bool IsSystemFolderTarget(const std::string& path, const TSystemFolders& folders);

// The name of the product's program file in a target directory.
inline constexpr const char* ProductProgramFile = "VELMOR.EXE";

// The folder a free-space query asks about for a path: the network path itself, the root of
// the path's drive ("A:\" when it has none), or on the native build an absolute path itself.
std::string FreeSpaceVolumeOf(const std::string& path);

// Catalogue colours of the version finding.
inline constexpr unsigned FindingGreen = 32768;
inline constexpr unsigned FindingRed = 255;
