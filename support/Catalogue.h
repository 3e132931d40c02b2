#pragma once
// The installer's four-language message catalogue and the interface language.
//
// Every entry is a fixed array of four UTF-8 texts in the order CZ, EN, DE, SK, indexed by the
// language value. Texts may hold "%s" places for FormatMsg/Format and line breaks written as
// line feed + carriage return ("\n\r") or a lone carriage return; leading and trailing spaces
// belong to the text (the radio and check box captions are indented with them).
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// The interface language, one byte. Values are the index of the text inside every entry.
using TLanguage = std::uint8_t;
inline constexpr TLanguage langCZ = 0;
inline constexpr TLanguage langEN = 1;
inline constexpr TLanguage langDE = 2;
inline constexpr TLanguage langSK = 3;
inline constexpr std::size_t LanguageCount = 4;

using TMessage = std::array<const char*, LanguageCount>;

// The language every text is taken in. Czech when the program starts; never saved.
TLanguage CurrentLanguage();
// Makes a language current; the wizard's SetLanguage is the one caller. A value outside
// 0..3 is refused (false) and leaves the current language as it was.
bool SetCurrentLanguage(TLanguage language);

// The text of an entry in the current language, read now (callers never keep it across a
// language change unless they mean to).
std::string Msg(const TMessage& entry);
// The text of an entry in a given language; an invalid language gives the Czech text.
std::string MsgIn(const TMessage& entry, TLanguage language);

// The printf-like formatting of catalogue texts, "%s" only: each "%s" takes the next argument,
// "%%" gives "%". It never fails: a missing argument gives an empty text, surplus arguments are
// ignored, and a "%" before anything else is kept as written.
std::string Format(std::string_view text, std::initializer_list<std::string_view> args = {});

template <class... Args>
std::string FormatMsg(const TMessage& entry, const Args&... args) {
  return Format(Msg(entry), {std::string_view(args)...});
}

// --- The language page -----------------------------------------------------------------------

// Items of the language list rgbJazyk, in list order (it differs from the language order).
inline constexpr std::size_t LanguageItemCount = 4;
extern const std::array<const char*, LanguageItemCount> LanguageItems;

struct TLanguageChoice {
  int Item;            // item of rgbJazyk to select
  TLanguage Language;  // language to pass to SetLanguage
};
// The definition's InstallLang value compared, ignoring ASCII case, with CZ, SK, EN, DE in this
// order; anything else (or empty) chooses the first item and Czech.
TLanguageChoice LanguageFromInstallLang(std::string_view installLang);
// Language of an item of rgbJazyk; none when no item (or an unknown one) is selected.
std::optional<TLanguage> LanguageOfItem(int item);
// The item of rgbJazyk that stands for a language (item 0 for an invalid value).
int ItemOfLanguage(TLanguage language);

// --- Page headings ---------------------------------------------------------------------------

// The heading of each wizard page that has one, by the page's name, in the order the pages
// are compared; a page not listed keeps the heading shown before.
struct TPageHeading {
  const char* Page;
  const TMessage* Heading;
};
inline constexpr std::size_t PageHeadingCount = 10;
extern const std::array<TPageHeading, PageHeadingCount> PageHeadings;
// The heading entry of a page by name, or nullptr.
const TMessage* PageHeadingOf(std::string_view page);

// --- The texts of the wizard's controls -------------------------------------------------------

// What the wizard's Language step writes, control by control, in its order. Most controls take
// the entry's text as their caption; the rest need the form:
enum class TControlTextKind : std::uint8_t {
  Caption,           // the entry's text
  FormattedCaption,  // the entry's text passed through Format with no arguments
  DatabaseOptions,   // the radio group's items rebuilt: DatabaseOptionIndent + msgPresetDatabase (enabled
                     // only for the smaller edition), DatabaseOptionIndent + msgEmptyDatabase; item 1 selected
  ProductInstalled,  // FormatMsg(entry, InstalledProductName(the smaller edition?))
};
struct TControlText {
  const char* Control;
  TControlTextKind Kind;
  const TMessage* Text;  // nullptr for DatabaseOptions
};
inline constexpr std::size_t LanguageControlTextCount = 43;
extern const std::array<TControlText, LanguageControlTextCount> LanguageControlTexts;
inline constexpr const char* DatabaseOptionIndent = "   ";
// "Velmor Kest" for the smaller edition, "Velmor Tarpel" for every other installation type.
const char* InstalledProductName(bool smallerEdition);

// --- The entries, in catalogue order ---------------------------------------------------------

inline constexpr std::size_t MessageCount = 149;
// Every entry, in catalogue order (entry n is element n-1).
extern const std::array<const TMessage*, MessageCount> MessageCatalogue;

extern const TMessage msgErrorCode;  // 1 "Error Code"
extern const TMessage msgDownloadFile;  // 2 "Download file \"%s\""
extern const TMessage msgExtractFile;  // 3 "Extract file \"%s\""
extern const TMessage msgNotEnoughDiskSpace;  // 4 "Not enought disk space\n\rRequired space: %s MB"
extern const TMessage msgRequiredSpace;  // 5 "Required space: %s MB"
extern const TMessage msgCannotCreateDestinationFolder;  // 6 "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator."
extern const TMessage msgErrorMessage;  // 7 "Error Message"
extern const TMessage msgMSSQLNotSelectedOrInstalled;  // 8 "Microsoft SQL Server has not been selected or installed."
extern const TMessage msgDatabaseNameNotFilled;  // 9 "Database name is not filled."
extern const TMessage msgDatabaseNameDisallowedChars;  // 10 "Database name contains disallowed characters."
extern const TMessage msgMSSQLNotSelected;  // 11 "Microsoft SQL Server has not been selected"
extern const TMessage msgDotNetNotInstalled;  // 12 ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server."
extern const TMessage msgUnknownVersion;  // 13 "Unknown version"
extern const TMessage msgSetupDatLoadError;  // 14 "When loading the file \"setup.dat\" An error occurred"
extern const TMessage msgErrorInstallingVelmor;  // 15 "Error when installing the VELMOR system."
extern const TMessage msgSearchingMSSQLNetwork;  // 16 "Searching for an instance of Microsoft SQL Server on the network."
extern const TMessage msgFoundServers;  // 17 "Found %s servers."
extern const TMessage msgInstallation;  // 18 "Installation"
extern const TMessage msgFoundSystemInDirectory;  // 19 "In the selected installation directory was found system"
extern const TMessage msgInstallationDirectory;  // 20 "Installation directory"
extern const TMessage msgSelectExistingMSSQL;  // 21 "Select an existing Microsoft SQL Server"
extern const TMessage msgMSSQLNotFoundRunInstallation;  // 22 "Microsoft SQL Server not found, please run installation."
extern const TMessage msgDatabaseName;  // 23 "Database name"
extern const TMessage msgInstallationLower;  // 24 "installation"
extern const TMessage msgUseOrSelectMSSQLNetwork;  // 25 "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network"
extern const TMessage msgMSSQLVersionsToDownload;  // 26 "Available versions of Microsoft SQL server to download and install"
extern const TMessage msgInstallSelectedMSSQL;  // 27 "Install the selected version of Microsoft SQL Server"
extern const TMessage msgDownloadSelectedMSSQL;  // 28 "Download the selected version of Microsoft SQL Server"
extern const TMessage msgBackingUp;  // 29 "Backing up"
extern const TMessage msgFileName;  // 30 "FileName"
extern const TMessage msgInstallingVelmorToDirectory;  // 31 "Installing VELMOR to the selected directory"
extern const TMessage msgCopyingTheFile;  // 32 "Copying the file "
extern const TMessage msgOverallProgress;  // 33 "The overall installation progress"
extern const TMessage msgShortcutDesktop;  // 34 "   Create shortcut on desktop"
extern const TMessage msgShortcutStartMenu;  // 35 "   Create shortcut on \"Start menu\""
extern const TMessage msgRestoreFromBackupSucceeded;  // 36 "Restoring files from backup was completed successfully."
extern const TMessage msgRestoringFromBackup;  // 37 "Restoring from backup"
extern const TMessage msgSelectMSSQLNetworkWhereLocated;  // 38 "Select an existing MSSQL Server on your network, where is already located"
extern const TMessage msgOrNewDatabaseCreated;  // 39 "or will be created a new database"
extern const TMessage msgRefresh;  // 40 "Refresh"
extern const TMessage msgNext;  // 41 "Next"
extern const TMessage msgPrevious;  // 42 "Previous"
extern const TMessage msgOK;  // 43 "OK"
extern const TMessage msgBack;  // 44 "Back"
extern const TMessage msgTerminate;  // 45 "Terminate"
extern const TMessage msgTerminateDownload;  // 46 "Terminate download"
extern const TMessage msgClose;  // 47 "Close"
extern const TMessage msgTerminateApplication;  // 48 "Terminate"
extern const TMessage msgTextMessage;  // 49 "Text message"
extern const TMessage msgLogAddedToMail;  // 50 "Installation log file will be automatically added when sending mail"
extern const TMessage msgPrintLog;  // 51 "Print log"
extern const TMessage msgSendLogEmail;  // 52 "Send log on email"
extern const TMessage msgSaveLog;  // 53 "Save log"
extern const TMessage msgViewLog;  // 54 "View log"
extern const TMessage msgInstallLogFile;  // 55 "Install logfile"
extern const TMessage msgSelectTargetDirectory;  // 56 "Selecting a target directory"
extern const TMessage msgLoadingBackupDirectoryStructure;  // 57 "Loading the directory structure and files for backup - GetALLDirectory"
extern const TMessage msgCreateArchive;  // 58 "Create archiv "
extern const TMessage msgAddFileToArchive;  // 59 "Add file to archiv "
extern const TMessage msgCancelingInstallation;  // 60 " * Canceling of installation  * "
extern const TMessage msgErrorBackingUp;  // 61 "Error while backing up a previous version : "
extern const TMessage msgErrorDownloadingMSSQL;  // 62 "Error downloading Microsoft SQL : "
extern const TMessage msgMSSQLInstallationError;  // 63 "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted"
extern const TMessage msgManagementStudioInstallationError;  // 64 "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted"
extern const TMessage msgNoInstalledMSSQLFound;  // 65 "No installed version of Microsoft SQL Server was found."
extern const TMessage msgAbortInstallation;  // 66 "Abort the installation"
extern const TMessage msgAbortDownload;  // 67 "Abort the download"
extern const TMessage msgCannotCreateDestinationPath;  // 68 "Unable to create the destination path: %s. Installation aborted"
extern const TMessage msgErrorCopyingFiles;  // 69 "Error copying files "
extern const TMessage msgInstallationRun;  // 70 "Installation"
extern const TMessage msgExtractingArchives;  // 71 "Extracting archives "
extern const TMessage msgErrorRestoringPrevious;  // 72 "Error when restoring the previous version : "
extern const TMessage msgRestorePreviousSucceeded;  // 73 "Restoring the previous version was completed successfully."
extern const TMessage msgErrorRecoveringPrevious;  // 74 "Error when recovering previous version."
extern const TMessage msgInstallationInterrupted;  // 75 " Installation was interrupted. \n\r Restore the original version from backup"
extern const TMessage msgErrorOccurredWhenInstalling;  // 76 "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup"
extern const TMessage msgCannotUseForUpgrade;  // 77 "This installation can not be used for upgrade"
extern const TMessage msgNewerVersionInLocation;  // 78 "The selected location contains a newer version of %s than in the installation"
extern const TMessage msgSameVersionInLocation;  // 79 "The selected location contains the same version of %s as in the installation"
extern const TMessage msgPlainText;  // 80 "%s"
extern const TMessage msgUnableToContinue;  // 81 "Unable to continue.\n\rParameters of the installation are not filled correctly"
extern const TMessage msgUnknownVersionFound;  // 82 "Unknown version"
extern const TMessage msgErrorsFoundDuringChecking;  // 83 "These errors was found during checking"
extern const TMessage msgLaterVersionInDestination;  // 84 "In the destination folder was found later versions of system"
extern const TMessage msgInstallationForDifferentVersion;  // 85 "Installation is intended for a different version of VELMOR"
extern const TMessage msgCannotUpgradeVersion;  // 86 "Version in selected locations can not upgrade by this installation"
extern const TMessage msgNewerWindowsRequired;  // 87 "Installation is for a newer versions of Windows"
extern const TMessage msgSetupDatNotFound;  // 88 "Installation not found file \"setup.dat\""
extern const TMessage msgErrorReadingSetupDat;  // 89 "Error reading file \"setup.dat"
extern const TMessage msgAdminRightsRequired;  // 90 "The program must be run with administrator rights"
extern const TMessage msgInstallingProduct;  // 91 "Installing product %s "
extern const TMessage msgDownloadingProductVersion;  // 92 "Downloading selected version of the product %s"
extern const TMessage msgInstallNewMSSQL;  // 93 "Install new Microsoft SQL Server"
extern const TMessage msgMSSQLSetting;  // 94 "Microsoft SQL Server Setting"
extern const TMessage msgDataStoredInSQLDatabase;  // 95 "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:"
extern const TMessage msgNetworkInstanceSettings;  // 96 "Network instance connection settings of MSSQL Server"
extern const TMessage msgInstallingMSSQL;  // 97 "Installing Microsoft SQL Server"
extern const TMessage msgRescanNetwork;  // 98 "Rescan network"
extern const TMessage msgDatabaseOption;  // 99 "   The database option  "
extern const TMessage msgPresetDatabase;  // 100 "Preset (master data filled)"
extern const TMessage msgEmptyDatabase;  // 101 "Empty (master data filled by user)"
extern const TMessage msgInstallationHeading;  // 102 "Installation"
extern const TMessage msgCreatingBackup;  // 103 "Creating a backup"
extern const TMessage msgCopyingFiles;  // 104 "Copying files"
extern const TMessage msgCreatingShortcuts;  // 105 "Creating shortcuts of the program"
extern const TMessage msgCompletingInstallation;  // 106 "Completing the installation"
extern const TMessage msgRestoringPreviousInstallation;  // 107 "Restoring the previous installation"
extern const TMessage msgInstallationDirectoryNotFilled;  // 108 "The installation directory is not filled correctly"
extern const TMessage msgCheckingInstallationDirectory;  // 109 "Checking the \"Installation Directory\""
extern const TMessage msgInstallationAlreadyRunning;  // 110 "Installation is already running"
extern const TMessage msgSystemInstalledSuccessfully;  // 111 "%s system has been successfully installed"
extern const TMessage msgUseExistingMSSQLNetwork;  // 112 "You can also use an existing Microsoft SQL server on your network"
extern const TMessage msgSelectExistingMSSQLFromNetwork;  // 113 "Select an existing Microsoft SQL server from the network"
extern const TMessage msgRunVelmorAfterInstallation;  // 114 "   Run VELMOR after installation"
extern const TMessage msgInstall;  // 115 "Install"
extern const TMessage msgSearchingInstanceMSSQLNetwork;  // 116 "Searching for instance of Microsoft SQL Server on the network."
extern const TMessage msgSearchingFoundServers;  // 117 "Searching for instance of MSSQL Server on the network.\n\r Found %s servers."
extern const TMessage msgMSSQLIniDownloadFailed;  // 118 "Failed to download MSSQL.ini file (Information for installing MSSQL Server)"
extern const TMessage msgUpdateVersion;  // 119 "Update version"
extern const TMessage msgConfigureMSSQL;  // 120 "Configure Microsoft SQL Server"
extern const TMessage msgSelectMSSQL;  // 121 "Select Microsoft SQL Server"
extern const TMessage msgInstallTheMSSQL;  // 122 "Install the Microsoft SQL Server"
extern const TMessage msgSearchForMSSQL;  // 123 "Search for Microsoft SQL Server"
extern const TMessage msgInstallVelmor;  // 124 "Install VELMOR"
extern const TMessage msgInstallTheMSSQLServer;  // 125 "Install the Microsoft SQL Server"
extern const TMessage msgErrorUnpackingFile;  // 126 "Error unpacking a file \""
extern const TMessage msgConfigureMSSQLHeading;  // 127 "Configure Microsoft SQL Server"
extern const TMessage msgLanguageSelection;  // 128 "Language selection"
extern const TMessage msgZerdanEdition;  // 129 "ZERDAN edition"
extern const TMessage msgRbSelectExistingMSSQL;  // 130 "    Select the existing Microsoft SQL Server on this computer"
extern const TMessage msgRbInstallNewMSSQL;  // 131 "    Install the new Microsoft SQL Server on this computer"
extern const TMessage msgRbSearchMSSQLNetwork;  // 132 "    Search for an existing Microsoft SQL Server on your network"
extern const TMessage msgSelectVersion;  // 133 "Select version"
extern const TMessage msgUnableToLoadConfiguration;  // 134 "Unable to load configuration of installation"
extern const TMessage msgCannotRetrieveConfiguration;  // 135 "I can not retrieve the installation configuration for the selected product"
extern const TMessage msgLoadingSetupSettings;  // 136 "Loading Setup Settings ......"
extern const TMessage msgInitializing;  // 137 "Initializing ......"
extern const TMessage msgYes;  // 138 "&Yes"
extern const TMessage msgNo;  // 139 "&No"
extern const TMessage msgWarning;  // 140 "Warning"
extern const TMessage msgInformation;  // 141 "Information"
extern const TMessage msgQuestion;  // 142 "Question"
extern const TMessage msgError;  // 143 "Error"
extern const TMessage msgInfo;  // 144 "Info"
extern const TMessage msgHotLinePhone;  // 145 "HOT-LINE phone :"
extern const TMessage msgHotLineEmail;  // 146 "HOT-LINE e-mail :"
extern const TMessage msgKnowledgeBase;  // 147 "Knowledge Base :"
extern const TMessage msgManual;  // 148 "Manual :"
extern const TMessage msgWeb;  // 149 "Web :"

// --- The program's own texts -----------------------------------------------------------------

// Texts for faults and safeguards the numbered entries have no text for; not numbered, in four
// languages like every entry (CZ, EN, DE, SK).

// The installation run's safeguards: a target that is no installation folder, files in use
// before an update, a package that fails, what the restore left.
// %s: the package's file name, then why it failed.
extern const TMessage msgPackageFailed;  // "The package \"%s\" could not be installed:\n\r%s"
// %s: the target folder, then the programs, one a line.
extern const TMessage msgFilesInUse;  // "These programs are using files of the installation in \"%s\": ..."
// The buttons of a Retry/Cancel question.
extern const TMessage msgRetry;   // "&Retry"
extern const TMessage msgCancel;  // "&Cancel"
// %s: the refused folder, then a folder of its own inside it.
extern const TMessage msgTargetNotInstallationFolder;  // "\"%s\" is a drive root or a system folder ..."
// %s: the folder (a question: the dialog appends " ? ").
extern const TMessage msgFolderNotEmpty;  // "The folder \"%s\" already holds files that are not an installation of Velmor. ..."
// Before the completion page: the selected packages that did not get installed.
extern const TMessage msgPackagesNotInstalled;  // "These packages were not installed:"
// The restore's result when files of the backup could not be written; %s: how many more.
extern const TMessage msgRestoreFilesLeft;      // "These files could not be restored and were left as they were:"
extern const TMessage msgRestoreMoreFilesLeft;  // "... and %s more (listed in the installation log)"

// Package hashes. %s: the package, the SHA-256 of the file, the SHA-256 expected.
extern const TMessage msgPackageHashMismatch;  // "The package \"%s\" has been changed and will not be installed: ..."
// %s: the package, the reason.
extern const TMessage msgPackageHashUnreadable;  // "The package \"%s\" cannot be verified and will not be installed: %s"

// Start-up and the product index.
extern const TMessage msgDefinitionFileNotLoaded;  // "The setup definition \"%s\" cannot be loaded."
// %s: the index, then why (one of the three texts below).
extern const TMessage msgIndexWithoutVersions;  // "The product index %s offers no product version: %s"
extern const TMessage msgIndexUnreadable;       // "the file cannot be read."
extern const TMessage msgIndexTooLarge;         // "the file is larger than the %s KiB an index may have."
extern const TMessage msgIndexNoFirstVersion;   // "the file has no section [Velmor1]."

// SQL Server: the network scan, MSSQL.ini, the SQL Server setup, Velmor.INI.
// Shown when the network scan found nothing because a source failed; the reason follows.
extern const TMessage msgNetworkScanFailed;  // "Searching for Microsoft SQL Server on the network failed.\n\r%s"
extern const TMessage msgMSSQLIniEmpty;      // "The file MSSQL.ini is empty, so no Microsoft SQL Server can be offered ..."
extern const TMessage msgMSSQLIniNotText;    // "The file MSSQL.ini is damaged (it is not a text file), so ..."
extern const TMessage msgMSSQLIniNoSection;  // "The file MSSQL.ini has no section [SQL], so ..."
extern const TMessage msgMSSQLIniNoEntry;    // "The file MSSQL.ini names no edition of Microsoft SQL Server with an installer file."
extern const TMessage msgMSSQLIniNoneSuits;  // "No edition of Microsoft SQL Server in the file MSSQL.ini is meant for this Windows (%s)."
extern const TMessage msgRestartNeededAfterMSSQL;  // "Microsoft SQL Server has been installed, but Windows must be restarted ..."
extern const TMessage msgWindowsRestarting;        // "The Microsoft SQL Server setup has started a restart of Windows. ..."
// A question (the message window adds its question mark); %s: the server, the database.
extern const TMessage msgReplaceVelmorIni;  // "The installation directory already holds the configuration file Velmor.INI; ..."

// The command line. %s: the argument, then the accepted arguments, one a line.
extern const TMessage msgUnknownArgument;       // "Unknown command-line argument: %s\n\rAccepted arguments:\n\r%s"
extern const TMessage msgArgumentWithoutValue;  // "The command-line argument %s has no value.\n\rAccepted arguments:\n\r%s"
extern const TMessage msgArgumentTwice;         // "The command-line argument %s is given more than once."
extern const TMessage msgIndexOrSetupDat;       // "Give either /INDEX= or /SETUPDAT=, not both."

// --- The unattended installation: command-line switches and the usage text -------------------
extern const TMessage msgSwitchTakesNoValue;        // "The command-line switch %s takes no value."
extern const TMessage msgSqlServerOrSqlNew;         // "Give either /SQLSERVER= or /SQLNEW=, not both."
extern const TMessage msgWrongInstallType;          // "%s: the installation type is a number from 0 to 4."
extern const TMessage msgWrongLanguage;             // "%s: the language is CZ, EN, DE or SK."
extern const TMessage msgNeedsUnattended;           // "%s is used only with /SILENT or /VERYSILENT."
extern const TMessage msgLogFileNotWritable;        // "The log file %s cannot be written."
extern const TMessage msgUsageHeading;              // "VelSetup.exe [switches]"
extern const TMessage msgUsageExitCodes;            // the exit codes, one a line
