#include "support/Catalogue.h"

#include "platform/Text.h"

namespace {
TLanguage GCurrentLanguage = langCZ;
}

TLanguage CurrentLanguage() { return GCurrentLanguage; }

bool SetCurrentLanguage(TLanguage language) {
  if (language >= LanguageCount) return false;
  GCurrentLanguage = language;
  return true;
}

std::string MsgIn(const TMessage& entry, TLanguage language) {
  if (language >= LanguageCount) language = langCZ;
  return entry[language];
}

std::string Msg(const TMessage& entry) { return MsgIn(entry, GCurrentLanguage); }

std::string Format(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string result;
  result.reserve(text.size());
  auto next = args.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 1 < text.size()) {
      if (text[i + 1] == 's') {
        if (next != args.end()) result += *next++;
        ++i;
        continue;
      }
      if (text[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
    }
    result += c;
  }
  return result;
}

const std::array<const char*, LanguageItemCount> LanguageItems = {
    "   Čeština", "   Slovenčina", "   English", "   Deustch"};

namespace {
// Item of rgbJazyk → language; the reverse is ItemOfLanguage.
constexpr std::array<TLanguage, LanguageItemCount> ItemLanguage = {langCZ, langSK, langEN, langDE};
}  // namespace

TLanguageChoice LanguageFromInstallLang(std::string_view installLang) {
  static constexpr std::array<std::pair<const char*, int>, 4> codes = {
      {{"CZ", 0}, {"SK", 1}, {"EN", 2}, {"DE", 3}}};
  for (const auto& [code, item] : codes)
    if (platform::SameTextAscii(installLang, code)) return {item, ItemLanguage[static_cast<std::size_t>(item)]};
  return {0, langCZ};
}

std::optional<TLanguage> LanguageOfItem(int item) {
  if (item < 0 || item >= static_cast<int>(LanguageItemCount)) return std::nullopt;
  return ItemLanguage[static_cast<std::size_t>(item)];
}

int ItemOfLanguage(TLanguage language) {
  for (std::size_t i = 0; i < ItemLanguage.size(); ++i)
    if (ItemLanguage[i] == language) return static_cast<int>(i);
  return 0;
}

// The entries, in catalogue order; each is CZ, EN, DE, SK.

// 1
const TMessage msgErrorCode = {
    "Error Code",
    "Error Code",
    "Error Code",
    "Error Code",
};
// 2
const TMessage msgDownloadFile = {
    "Download file \"%s\"",
    "Download file \"%s\"",
    "Download file \"%s\"",
    "Download file \"%s\"",
};
// 3
const TMessage msgExtractFile = {
    "Extract file \"%s\"",
    "Extract file \"%s\"",
    "Extract file \"%s\"",
    "Extract file \"%s\"",
};
// 4
const TMessage msgNotEnoughDiskSpace = {
    "Nedostatek volného místa na disku.\n\rPožadované místo : %s MB",
    "Not enought disk space\n\rRequired space: %s MB",
    "Unzureichender Speicherplatz.\n\rVerlangter Speicherplatz : %s MB",
    "Nedostatok voľného miesta na disku.\n\rPožadované miesto: %s MB",
};
// 5
const TMessage msgRequiredSpace = {
    "Required space: %s MB",
    "Required space: %s MB",
    "Required space: %s MB",
    "Required space: %s MB",
};
// 6
const TMessage msgCannotCreateDestinationFolder = {
    "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator.",
    "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator.",
    "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator.",
    "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator.",
};
// 7
const TMessage msgErrorMessage = {
    "Error Message",
    "Error Message",
    "Error Message",
    "Error Message",
};
// 8
const TMessage msgMSSQLNotSelectedOrInstalled = {
    "Microsoft SQL Server has not been selected or installed.",
    "Microsoft SQL Server has not been selected or installed.",
    "Microsoft SQL Server has not been selected or installed.",
    "Microsoft SQL Server has not been selected or installed.",
};
// 9
const TMessage msgDatabaseNameNotFilled = {
    "Database name is not filled.",
    "Database name is not filled.",
    "Database name is not filled.",
    "Database name is not filled.",
};
// 10
const TMessage msgDatabaseNameDisallowedChars = {
    "Database name contains disallowed characters.",
    "Database name contains disallowed characters.",
    "Database name contains disallowed characters.",
    "Database name contains disallowed characters.",
};
// 11
const TMessage msgMSSQLNotSelected = {
    "Microsoft SQL Server has not been selected",
    "Microsoft SQL Server has not been selected",
    "Microsoft SQL Server has not been selected",
    "Microsoft SQL Server has not been selected",
};
// 12
const TMessage msgDotNetNotInstalled = {
    ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server.",
    ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server.",
    ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server.",
    ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server.",
};
// 13
const TMessage msgUnknownVersion = {
    "Unknown version",
    "Unknown version",
    "Unknown version",
    "Unknown version",
};
// 14
const TMessage msgSetupDatLoadError = {
    "When loading the file \"setup.dat\" An error occurred",
    "When loading the file \"setup.dat\" An error occurred",
    "When loading the file \"setup.dat\" An error occurred",
    "When loading the file \"setup.dat\" An error occurred",
};
// 15
const TMessage msgErrorInstallingVelmor = {
    "Error when installing the VELMOR system.",
    "Error when installing the VELMOR system.",
    "Error when installing the VELMOR system.",
    "Error when installing the VELMOR system.",
};
// 16
const TMessage msgSearchingMSSQLNetwork = {
    "Searching for an instance of Microsoft SQL Server on the network.",
    "Searching for an instance of Microsoft SQL Server on the network.",
    "Searching for an instance of Microsoft SQL Server on the network.",
    "Searching for an instance of Microsoft SQL Server on the network.",
};
// 17
const TMessage msgFoundServers = {
    "Found %s servers.",
    "Found %s servers.",
    "Found %s servers.",
    "Found %s servers.",
};
// 18
const TMessage msgInstallation = {
    "Instalace",
    "Installation",
    "Installation",
    "Inštalácia",
};
// 19
const TMessage msgFoundSystemInDirectory = {
    "In the selected installation directory was found system",
    "In the selected installation directory was found system",
    "In the selected installation directory was found system",
    "In the selected installation directory was found system",
};
// 20
const TMessage msgInstallationDirectory = {
    "Installation directory",
    "Installation directory",
    "Installation directory",
    "Installation directory",
};
// 21
const TMessage msgSelectExistingMSSQL = {
    "Select an existing Microsoft SQL Server",
    "Select an existing Microsoft SQL Server",
    "Select an existing Microsoft SQL Server",
    "Select an existing Microsoft SQL Server",
};
// 22
const TMessage msgMSSQLNotFoundRunInstallation = {
    "Microsoft SQL Server not found, please run installation.",
    "Microsoft SQL Server not found, please run installation.",
    "Microsoft SQL Server not found, please run installation.",
    "Microsoft SQL Server not found, please run installation.",
};
// 23
const TMessage msgDatabaseName = {
    "Database name",
    "Database name",
    "Database name",
    "Database name",
};
// 24
const TMessage msgInstallationLower = {
    "instalace",
    "installation",
    "Installation",
    "inštalácia",
};
// 25
const TMessage msgUseOrSelectMSSQLNetwork = {
    "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network",
    "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network",
    "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network",
    "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network",
};
// 26
const TMessage msgMSSQLVersionsToDownload = {
    "Available versions of Microsoft SQL server to download and install",
    "Available versions of Microsoft SQL server to download and install",
    "Available versions of Microsoft SQL server to download and install",
    "Available versions of Microsoft SQL server to download and install",
};
// 27
const TMessage msgInstallSelectedMSSQL = {
    "Install the selected version of Microsoft SQL Server",
    "Install the selected version of Microsoft SQL Server",
    "Install the selected version of Microsoft SQL Server",
    "Install the selected version of Microsoft SQL Server",
};
// 28
const TMessage msgDownloadSelectedMSSQL = {
    "Download the selected version of Microsoft SQL Server",
    "Download the selected version of Microsoft SQL Server",
    "Download the selected version of Microsoft SQL Server",
    "Download the selected version of Microsoft SQL Server",
};
// 29
const TMessage msgBackingUp = {
    "Backing up",
    "Backing up",
    "Backing up",
    "Backing up",
};
// 30
const TMessage msgFileName = {
    "FileName",
    "FileName",
    "Dateiname",
    "FileName",
};
// 31
const TMessage msgInstallingVelmorToDirectory = {
    "Installing VELMOR to the selected directory",
    "Installing VELMOR to the selected directory",
    "Installing VELMOR to the selected directory",
    "Installing VELMOR to the selected directory",
};
// 32
const TMessage msgCopyingTheFile = {
    "Copying the file ",
    "Copying the file ",
    "Copying the file ",
    "Copying the file ",
};
// 33
const TMessage msgOverallProgress = {
    "The overall installation progress",
    "The overall installation progress",
    "The overall installation progress",
    "The overall installation progress",
};
// 34
const TMessage msgShortcutDesktop = {
    "   Create shortcut on desktop",
    "   Create shortcut on desktop",
    "   Create shortcut on desktop",
    "   Create shortcut on desktop",
};
// 35
const TMessage msgShortcutStartMenu = {
    "   Create shortcut on \"Start menu\"",
    "   Create shortcut on \"Start menu\"",
    "   Create shortcut on \"Start menu\"",
    "   Create shortcut on \"Start menu\"",
};
// 36
const TMessage msgRestoreFromBackupSucceeded = {
    "Restoring files from backup was completed successfully.",
    "Restoring files from backup was completed successfully.",
    "Restoring files from backup was completed successfully.",
    "Restoring files from backup was completed successfully.",
};
// 37
const TMessage msgRestoringFromBackup = {
    "Restoring from backup",
    "Restoring from backup",
    "Restoring from backup",
    "Restoring from backup",
};
// 38
const TMessage msgSelectMSSQLNetworkWhereLocated = {
    "Select an existing MSSQL Server on your network, where is already located",
    "Select an existing MSSQL Server on your network, where is already located",
    "Select an existing MSSQL Server on your network, where is already located",
    "Select an existing MSSQL Server on your network, where is already located",
};
// 39
const TMessage msgOrNewDatabaseCreated = {
    "or will be created a new database",
    "or will be created a new database",
    "or will be created a new database",
    "or will be created a new database",
};
// 40
const TMessage msgRefresh = {
    "Refresh",
    "Refresh",
    "Refresh",
    "Refresh",
};
// 41
const TMessage msgNext = {
    "Další",
    "Next",
    "Weiter",
    "Ďalší",
};
// 42
const TMessage msgPrevious = {
    "Zpět",
    "Previous",
    "Zurück",
    "Späť",
};
// 43
const TMessage msgOK = {
    "OK",
    "OK",
    "OK",
    "OK",
};
// 44
const TMessage msgBack = {
    "Zpět",
    "Back",
    "Rückwärts",
    "Späť",
};
// 45
const TMessage msgTerminate = {
    "Přerušit",
    "Terminate",
    "Beenden",
    "Prerušiť",
};
// 46
const TMessage msgTerminateDownload = {
    "Terminate download",
    "Terminate download",
    "Terminate download",
    "Terminate download",
};
// 47
const TMessage msgClose = {
    "Dokončit",
    "Close",
    "Schließen",
    "Dokončiť",
};
// 48
const TMessage msgTerminateApplication = {
    "Předčasné ukončení aplikace",
    "Terminate",
    "Beenden",
    "Predčasné ukončenie aplikácie",
};
// 49
const TMessage msgTextMessage = {
    "Text message",
    "Text message",
    "Text message",
    "Text message",
};
// 50
const TMessage msgLogAddedToMail = {
    "Installation log file will be automatically added when sending mail",
    "Installation log file will be automatically added when sending mail",
    "Installation log file will be automatically added when sending mail",
    "Installation log file will be automatically added when sending mail",
};
// 51
const TMessage msgPrintLog = {
    "Print log",
    "Print log",
    "Print log",
    "Print log",
};
// 52
const TMessage msgSendLogEmail = {
    "Send log on email",
    "Send log on email",
    "Send log on email",
    "Send log on email",
};
// 53
const TMessage msgSaveLog = {
    "Save log",
    "Save log",
    "Save log",
    "Save log",
};
// 54
const TMessage msgViewLog = {
    "View log",
    "View log",
    "View log",
    "View log",
};
// 55
const TMessage msgInstallLogFile = {
    "Install logfile",
    "Install logfile",
    "Install logfile",
    "Install logfile",
};
// 56
const TMessage msgSelectTargetDirectory = {
    "Selecting a target directory",
    "Selecting a target directory",
    "Selecting a target directory",
    "Selecting a target directory",
};
// 57
const TMessage msgLoadingBackupDirectoryStructure = {
    "Loading the directory structure and files for backup - GetALLDirectory",
    "Loading the directory structure and files for backup - GetALLDirectory",
    "Loading the directory structure and files for backup - GetALLDirectory",
    "Loading the directory structure and files for backup - GetALLDirectory",
};
// 58
const TMessage msgCreateArchive = {
    "Create archiv ",
    "Create archiv ",
    "Create archiv ",
    "Create archiv ",
};
// 59
const TMessage msgAddFileToArchive = {
    "Add file to archiv ",
    "Add file to archiv ",
    "Add file to archiv ",
    "Add file to archiv ",
};
// 60
const TMessage msgCancelingInstallation = {
    " * Canceling of installation  * ",
    " * Canceling of installation  * ",
    " * Canceling of installation  * ",
    " * Canceling of installation  * ",
};
// 61
const TMessage msgErrorBackingUp = {
    "Error while backing up a previous version : ",
    "Error while backing up a previous version : ",
    "Error while backing up a previous version : ",
    "Error while backing up a previous version : ",
};
// 62
const TMessage msgErrorDownloadingMSSQL = {
    "Error downloading Microsoft SQL : ",
    "Error downloading Microsoft SQL : ",
    "Error downloading Microsoft SQL : ",
    "Error downloading Microsoft SQL : ",
};
// 63
const TMessage msgMSSQLInstallationError = {
    "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted",
};
// 64
const TMessage msgManagementStudioInstallationError = {
    "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted",
    "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted",
};
// 65
const TMessage msgNoInstalledMSSQLFound = {
    "No installed version of Microsoft SQL Server was found.",
    "No installed version of Microsoft SQL Server was found.",
    "No installed version of Microsoft SQL Server was found.",
    "No installed version of Microsoft SQL Server was found.",
};
// 66
const TMessage msgAbortInstallation = {
    "Abort the installation",
    "Abort the installation",
    "Abort the installation",
    "Abort the installation",
};
// 67
const TMessage msgAbortDownload = {
    "Abort the download",
    "Abort the download",
    "Abort the download",
    "Abort the download",
};
// 68
const TMessage msgCannotCreateDestinationPath = {
    "Unable to create the destination path: %s. Installation aborted",
    "Unable to create the destination path: %s. Installation aborted",
    "Unable to create the destination path: %s. Installation aborted",
    "Unable to create the destination path: %s. Installation aborted",
};
// 69
const TMessage msgErrorCopyingFiles = {
    "Error copying files ",
    "Error copying files ",
    "Error copying files ",
    "Error copying files ",
};
// 70
const TMessage msgInstallationRun = {
    "Installation",
    "Installation",
    "Installation",
    "Installation",
};
// 71
const TMessage msgExtractingArchives = {
    "Extracting archives ",
    "Extracting archives ",
    "Extracting archives ",
    "Extracting archives ",
};
// 72
const TMessage msgErrorRestoringPrevious = {
    "Error when restoring the previous version : ",
    "Error when restoring the previous version : ",
    "Error when restoring the previous version : ",
    "Error when restoring the previous version : ",
};
// 73
const TMessage msgRestorePreviousSucceeded = {
    "Restoring the previous version was completed successfully.",
    "Restoring the previous version was completed successfully.",
    "Restoring the previous version was completed successfully.",
    "Restoring the previous version was completed successfully.",
};
// 74
const TMessage msgErrorRecoveringPrevious = {
    "Error when recovering previous version.",
    "Error when recovering previous version.",
    "Error when recovering previous version.",
    "Error when recovering previous version.",
};
// 75
const TMessage msgInstallationInterrupted = {
    " Installation was interrupted. \n\r Restore the original version from backup",
    " Installation was interrupted. \n\r Restore the original version from backup",
    " Installation was interrupted. \n\r Restore the original version from backup",
    " Installation was interrupted. \n\r Restore the original version from backup",
};
// 76
const TMessage msgErrorOccurredWhenInstalling = {
    "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup",
    "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup",
    "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup",
    "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup",
};
// 77
const TMessage msgCannotUseForUpgrade = {
    "This installation can not be used for upgrade",
    "This installation can not be used for upgrade",
    "This installation can not be used for upgrade",
    "This installation can not be used for upgrade",
};
// 78
const TMessage msgNewerVersionInLocation = {
    "The selected location contains a newer version of %s than in the installation",
    "The selected location contains a newer version of %s than in the installation",
    "The selected location contains a newer version of %s than in the installation",
    "The selected location contains a newer version of %s than in the installation",
};
// 79
const TMessage msgSameVersionInLocation = {
    "The selected location contains the same version of %s as in the installation",
    "The selected location contains the same version of %s as in the installation",
    "The selected location contains the same version of %s as in the installation",
    "The selected location contains the same version of %s as in the installation",
};
// 80
const TMessage msgPlainText = {
    "%s",
    "%s",
    "%s",
    "%s",
};
// 81
const TMessage msgUnableToContinue = {
    "Unable to continue.\n\rParameters of the installation are not filled correctly",
    "Unable to continue.\n\rParameters of the installation are not filled correctly",
    "Unable to continue.\n\rParameters of the installation are not filled correctly",
    "Unable to continue.\n\rParameters of the installation are not filled correctly",
};
// 82
const TMessage msgUnknownVersionFound = {
    "Unknown version",
    "Unknown version",
    "Unknown version",
    "Unknown version",
};
// 83
const TMessage msgErrorsFoundDuringChecking = {
    "These errors was found during checking",
    "These errors was found during checking",
    "These errors was found during checking",
    "These errors was found during checking",
};
// 84
const TMessage msgLaterVersionInDestination = {
    "In the destination folder was found later versions of system",
    "In the destination folder was found later versions of system",
    "In the destination folder was found later versions of system",
    "In the destination folder was found later versions of system",
};
// 85
const TMessage msgInstallationForDifferentVersion = {
    "Installation is intended for a different version of VELMOR",
    "Installation is intended for a different version of VELMOR",
    "Installation is intended for a different version of VELMOR",
    "Installation is intended for a different version of VELMOR",
};
// 86
const TMessage msgCannotUpgradeVersion = {
    "Version in selected locations can not upgrade by this installation",
    "Version in selected locations can not upgrade by this installation",
    "Version in selected locations can not upgrade by this installation",
    "Version in selected locations can not upgrade by this installation",
};
// 87
const TMessage msgNewerWindowsRequired = {
    "Installation is for a newer versions of Windows",
    "Installation is for a newer versions of Windows",
    "Installation is for a newer versions of Windows",
    "Installation is for a newer versions of Windows",
};
// 88
const TMessage msgSetupDatNotFound = {
    "Installation not found file \"setup.dat\"",
    "Installation not found file \"setup.dat\"",
    "Installation not found file \"setup.dat\"",
    "Installation not found file \"setup.dat\"",
};
// 89
const TMessage msgErrorReadingSetupDat = {
    "Error reading file \"setup.dat",
    "Error reading file \"setup.dat",
    "Error reading file \"setup.dat",
    "Error reading file \"setup.dat",
};
// 90
const TMessage msgAdminRightsRequired = {
    "The program must be run with administrator rights",
    "The program must be run with administrator rights",
    "The program must be run with administrator rights",
    "The program must be run with administrator rights",
};
// 91
const TMessage msgInstallingProduct = {
    "Installing product %s ",
    "Installing product %s ",
    "Installing product %s ",
    "Installing product %s ",
};
// 92
const TMessage msgDownloadingProductVersion = {
    "Downloading selected version of the product %s",
    "Downloading selected version of the product %s",
    "Downloading selected version of the product %s",
    "Downloading selected version of the product %s",
};
// 93
const TMessage msgInstallNewMSSQL = {
    "Install new Microsoft SQL Server",
    "Install new Microsoft SQL Server",
    "Install new Microsoft SQL Server",
    "Install new Microsoft SQL Server",
};
// 94
const TMessage msgMSSQLSetting = {
    "Microsoft SQL Server Setting",
    "Microsoft SQL Server Setting",
    "Microsoft SQL Server Setting",
    "Microsoft SQL Server Setting",
};
// 95
const TMessage msgDataStoredInSQLDatabase = {
    "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:",
    "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:",
    "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:",
    "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:",
};
// 96
const TMessage msgNetworkInstanceSettings = {
    "Network instance connection settings of MSSQL Server",
    "Network instance connection settings of MSSQL Server",
    "Network instance connection settings of MSSQL Server",
    "Network instance connection settings of MSSQL Server",
};
// 97
const TMessage msgInstallingMSSQL = {
    "Installing Microsoft SQL Server",
    "Installing Microsoft SQL Server",
    "Installing Microsoft SQL Server",
    "Installing Microsoft SQL Server",
};
// 98
const TMessage msgRescanNetwork = {
    "Rescan network",
    "Rescan network",
    "Rescan network",
    "Rescan network",
};
// 99
const TMessage msgDatabaseOption = {
    "   The database option  ",
    "   The database option  ",
    "   The database option  ",
    "   The database option  ",
};
// 100
const TMessage msgPresetDatabase = {
    "Preset (master data filled)",
    "Preset (master data filled)",
    "Preset (master data filled)",
    "Preset (master data filled)",
};
// 101
const TMessage msgEmptyDatabase = {
    "Empty (master data filled by user)",
    "Empty (master data filled by user)",
    "Empty (master data filled by user)",
    "Empty (master data filled by user)",
};
// 102
const TMessage msgInstallationHeading = {
    "Installation",
    "Installation",
    "Installation",
    "Installation",
};
// 103
const TMessage msgCreatingBackup = {
    "Creating a backup",
    "Creating a backup",
    "Creating a backup",
    "Creating a backup",
};
// 104
const TMessage msgCopyingFiles = {
    "Copying files",
    "Copying files",
    "Copying files",
    "Copying files",
};
// 105
const TMessage msgCreatingShortcuts = {
    "Creating shortcuts of the program",
    "Creating shortcuts of the program",
    "Creating shortcuts of the program",
    "Creating shortcuts of the program",
};
// 106
const TMessage msgCompletingInstallation = {
    "Completing the installation",
    "Completing the installation",
    "Completing the installation",
    "Completing the installation",
};
// 107
const TMessage msgRestoringPreviousInstallation = {
    "Restoring the previous installation",
    "Restoring the previous installation",
    "Restoring the previous installation",
    "Restoring the previous installation",
};
// 108
const TMessage msgInstallationDirectoryNotFilled = {
    "The installation directory is not filled correctly",
    "The installation directory is not filled correctly",
    "The installation directory is not filled correctly",
    "The installation directory is not filled correctly",
};
// 109
const TMessage msgCheckingInstallationDirectory = {
    "Checking the \"Installation Directory\"",
    "Checking the \"Installation Directory\"",
    "Checking the \"Installation Directory\"",
    "Checking the \"Installation Directory\"",
};
// 110
const TMessage msgInstallationAlreadyRunning = {
    "Installation is already running",
    "Installation is already running",
    "Installation is already running",
    "Installation is already running",
};
// 111
const TMessage msgSystemInstalledSuccessfully = {
    "Instalace systému %s byla úspěšně dokončena",
    "%s system has been successfully installed",
    "System %s wurde erfolgreich installiert",
    "Inštalácia systému %s bola úspešne dokončená",
};
// 112
const TMessage msgUseExistingMSSQLNetwork = {
    "You can also use an existing Microsoft SQL server on your network",
    "You can also use an existing Microsoft SQL server on your network",
    "You can also use an existing Microsoft SQL server on your network",
    "You can also use an existing Microsoft SQL server on your network",
};
// 113
const TMessage msgSelectExistingMSSQLFromNetwork = {
    "Select an existing Microsoft SQL server from the network",
    "Select an existing Microsoft SQL server from the network",
    "Select an existing Microsoft SQL server from the network",
    "Select an existing Microsoft SQL server from the network",
};
// 114
const TMessage msgRunVelmorAfterInstallation = {
    "   Run VELMOR after installation",
    "   Run VELMOR after installation",
    "   Run VELMOR after installation",
    "   Run VELMOR after installation",
};
// 115
const TMessage msgInstall = {
    "Install",
    "Install",
    "Install",
    "Install",
};
// 116
const TMessage msgSearchingInstanceMSSQLNetwork = {
    "Searching for instance of Microsoft SQL Server on the network.",
    "Searching for instance of Microsoft SQL Server on the network.",
    "Searching for instance of Microsoft SQL Server on the network.",
    "Searching for instance of Microsoft SQL Server on the network.",
};
// 117
const TMessage msgSearchingFoundServers = {
    "Searching for instance of MSSQL Server on the network.\n\r Found %s servers.",
    "Searching for instance of MSSQL Server on the network.\n\r Found %s servers.",
    "Searching for instance of MSSQL Server on the network.\n\r Found %s servers.",
    "Searching for instance of MSSQL Server on the network.\n\r Found %s servers.",
};
// 118
const TMessage msgMSSQLIniDownloadFailed = {
    "Failed to download MSSQL.ini file (Information for installing MSSQL Server)",
    "Failed to download MSSQL.ini file (Information for installing MSSQL Server)",
    "Failed to download MSSQL.ini file (Information for installing MSSQL Server)",
    "Failed to download MSSQL.ini file (Information for installing MSSQL Server)",
};
// 119
const TMessage msgUpdateVersion = {
    "Update version",
    "Update version",
    "Update version",
    "Update version",
};
// 120
const TMessage msgConfigureMSSQL = {
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
};
// 121
const TMessage msgSelectMSSQL = {
    "Select Microsoft SQL Server",
    "Select Microsoft SQL Server",
    "Select Microsoft SQL Server",
    "Select Microsoft SQL Server",
};
// 122
const TMessage msgInstallTheMSSQL = {
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
};
// 123
const TMessage msgSearchForMSSQL = {
    "Search for Microsoft SQL Server",
    "Search for Microsoft SQL Server",
    "Search for Microsoft SQL Server",
    "Search for Microsoft SQL Server",
};
// 124
const TMessage msgInstallVelmor = {
    "Install VELMOR",
    "Install VELMOR",
    "Install VELMOR",
    "Install VELMOR",
};
// 125
const TMessage msgInstallTheMSSQLServer = {
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Install the Microsoft SQL Server",
};
// 126
const TMessage msgErrorUnpackingFile = {
    "Error unpacking a file \"",
    "Error unpacking a file \"",
    "Error unpacking a file \"",
    "Error unpacking a file \"",
};
// 127
const TMessage msgConfigureMSSQLHeading = {
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Configure Microsoft SQL Server",
};
// 128
const TMessage msgLanguageSelection = {
    "Volba jazyka",
    "Language selection",
    "Sprachenauswahl",
    "Výber jazyka",
};
// 129
const TMessage msgZerdanEdition = {
    "ZERDAN edition",
    "ZERDAN edition",
    "ZERDAN edition",
    "ZERDAN edition",
};
// 130
const TMessage msgRbSelectExistingMSSQL = {
    "    Select the existing Microsoft SQL Server on this computer",
    "    Select the existing Microsoft SQL Server on this computer",
    "    Select the existing Microsoft SQL Server on this computer",
    "    Select the existing Microsoft SQL Server on this computer",
};
// 131
const TMessage msgRbInstallNewMSSQL = {
    "    Install the new Microsoft SQL Server on this computer",
    "    Install the new Microsoft SQL Server on this computer",
    "    Install the new Microsoft SQL Server on this computer",
    "    Install the new Microsoft SQL Server on this computer",
};
// 132
const TMessage msgRbSearchMSSQLNetwork = {
    "    Search for an existing Microsoft SQL Server on your network",
    "    Search for an existing Microsoft SQL Server on your network",
    "    Search for an existing Microsoft SQL Server on your network",
    "    Search for an existing Microsoft SQL Server on your network",
};
// 133
const TMessage msgSelectVersion = {
    "Select version",
    "Select version",
    "Select version",
    "Select version",
};
// 134
const TMessage msgUnableToLoadConfiguration = {
    "Unable to load configuration of installation",
    "Unable to load configuration of installation",
    "Unable to load configuration of installation",
    "Unable to load configuration of installation",
};
// 135
const TMessage msgCannotRetrieveConfiguration = {
    "I can not retrieve the installation configuration for the selected product",
    "I can not retrieve the installation configuration for the selected product",
    "I can not retrieve the installation configuration for the selected product",
    "I can not retrieve the installation configuration for the selected product",
};
// 136
const TMessage msgLoadingSetupSettings = {
    "Loading Setup Settings ......",
    "Loading Setup Settings ......",
    "Loading Setup Settings ......",
    "Loading Setup Settings ......",
};
// 137
const TMessage msgInitializing = {
    "Initializing ......",
    "Initializing ......",
    "Initializing ......",
    "Initializing ......",
};
// 138
const TMessage msgYes = {
    "&Ano",
    "&Yes",
    "&Ja",
    "&Ano",
};
// 139
const TMessage msgNo = {
    "&Ne",
    "&No",
    "&Nein",
    "&Nie",
};
// 140
const TMessage msgWarning = {
    "Varování",
    "Warning",
    "Warnung",
    "Varovanie",
};
// 141
const TMessage msgInformation = {
    "Informace",
    "Information",
    "Informationen",
    "informácie",
};
// 142
const TMessage msgQuestion = {
    "Dotaz",
    "Question",
    "Anfrage",
    "Dotaz",
};
// 143
const TMessage msgError = {
    "Chyba",
    "Error",
    "Fehler",
    "Chyba",
};
// 144
const TMessage msgInfo = {
    "Info",
    "Info",
    "Info",
    "Info",
};
// 145
const TMessage msgHotLinePhone = {
    "HOT-LINE telefon :",
    "HOT-LINE phone :",
    "HOT-LINE telefon :",
    "HOT-LINE telefón :",
};
// 146
const TMessage msgHotLineEmail = {
    "HOT-LINE e-mail :",
    "HOT-LINE e-mail :",
    "HOT-LINE e-mail :",
    "HOT-LINE e-mail :",
};
// 147
const TMessage msgKnowledgeBase = {
    "Knowledge Base :",
    "Knowledge Base :",
    "Knowledge Base :",
    "Knowledge Base :",
};
// 148
const TMessage msgManual = {
    "Příručka :",
    "Maunual :",
    "Handbuch :",
    "Príručka :",
};
// 149
const TMessage msgWeb = {
    "Web :",
    "Web :",
    "Web :",
    "Web :",
};

const std::array<const TMessage*, MessageCount> MessageCatalogue = {
    &msgErrorCode,
    &msgDownloadFile,
    &msgExtractFile,
    &msgNotEnoughDiskSpace,
    &msgRequiredSpace,
    &msgCannotCreateDestinationFolder,
    &msgErrorMessage,
    &msgMSSQLNotSelectedOrInstalled,
    &msgDatabaseNameNotFilled,
    &msgDatabaseNameDisallowedChars,
    &msgMSSQLNotSelected,
    &msgDotNetNotInstalled,
    &msgUnknownVersion,
    &msgSetupDatLoadError,
    &msgErrorInstallingVelmor,
    &msgSearchingMSSQLNetwork,
    &msgFoundServers,
    &msgInstallation,
    &msgFoundSystemInDirectory,
    &msgInstallationDirectory,
    &msgSelectExistingMSSQL,
    &msgMSSQLNotFoundRunInstallation,
    &msgDatabaseName,
    &msgInstallationLower,
    &msgUseOrSelectMSSQLNetwork,
    &msgMSSQLVersionsToDownload,
    &msgInstallSelectedMSSQL,
    &msgDownloadSelectedMSSQL,
    &msgBackingUp,
    &msgFileName,
    &msgInstallingVelmorToDirectory,
    &msgCopyingTheFile,
    &msgOverallProgress,
    &msgShortcutDesktop,
    &msgShortcutStartMenu,
    &msgRestoreFromBackupSucceeded,
    &msgRestoringFromBackup,
    &msgSelectMSSQLNetworkWhereLocated,
    &msgOrNewDatabaseCreated,
    &msgRefresh,
    &msgNext,
    &msgPrevious,
    &msgOK,
    &msgBack,
    &msgTerminate,
    &msgTerminateDownload,
    &msgClose,
    &msgTerminateApplication,
    &msgTextMessage,
    &msgLogAddedToMail,
    &msgPrintLog,
    &msgSendLogEmail,
    &msgSaveLog,
    &msgViewLog,
    &msgInstallLogFile,
    &msgSelectTargetDirectory,
    &msgLoadingBackupDirectoryStructure,
    &msgCreateArchive,
    &msgAddFileToArchive,
    &msgCancelingInstallation,
    &msgErrorBackingUp,
    &msgErrorDownloadingMSSQL,
    &msgMSSQLInstallationError,
    &msgManagementStudioInstallationError,
    &msgNoInstalledMSSQLFound,
    &msgAbortInstallation,
    &msgAbortDownload,
    &msgCannotCreateDestinationPath,
    &msgErrorCopyingFiles,
    &msgInstallationRun,
    &msgExtractingArchives,
    &msgErrorRestoringPrevious,
    &msgRestorePreviousSucceeded,
    &msgErrorRecoveringPrevious,
    &msgInstallationInterrupted,
    &msgErrorOccurredWhenInstalling,
    &msgCannotUseForUpgrade,
    &msgNewerVersionInLocation,
    &msgSameVersionInLocation,
    &msgPlainText,
    &msgUnableToContinue,
    &msgUnknownVersionFound,
    &msgErrorsFoundDuringChecking,
    &msgLaterVersionInDestination,
    &msgInstallationForDifferentVersion,
    &msgCannotUpgradeVersion,
    &msgNewerWindowsRequired,
    &msgSetupDatNotFound,
    &msgErrorReadingSetupDat,
    &msgAdminRightsRequired,
    &msgInstallingProduct,
    &msgDownloadingProductVersion,
    &msgInstallNewMSSQL,
    &msgMSSQLSetting,
    &msgDataStoredInSQLDatabase,
    &msgNetworkInstanceSettings,
    &msgInstallingMSSQL,
    &msgRescanNetwork,
    &msgDatabaseOption,
    &msgPresetDatabase,
    &msgEmptyDatabase,
    &msgInstallationHeading,
    &msgCreatingBackup,
    &msgCopyingFiles,
    &msgCreatingShortcuts,
    &msgCompletingInstallation,
    &msgRestoringPreviousInstallation,
    &msgInstallationDirectoryNotFilled,
    &msgCheckingInstallationDirectory,
    &msgInstallationAlreadyRunning,
    &msgSystemInstalledSuccessfully,
    &msgUseExistingMSSQLNetwork,
    &msgSelectExistingMSSQLFromNetwork,
    &msgRunVelmorAfterInstallation,
    &msgInstall,
    &msgSearchingInstanceMSSQLNetwork,
    &msgSearchingFoundServers,
    &msgMSSQLIniDownloadFailed,
    &msgUpdateVersion,
    &msgConfigureMSSQL,
    &msgSelectMSSQL,
    &msgInstallTheMSSQL,
    &msgSearchForMSSQL,
    &msgInstallVelmor,
    &msgInstallTheMSSQLServer,
    &msgErrorUnpackingFile,
    &msgConfigureMSSQLHeading,
    &msgLanguageSelection,
    &msgZerdanEdition,
    &msgRbSelectExistingMSSQL,
    &msgRbInstallNewMSSQL,
    &msgRbSearchMSSQLNetwork,
    &msgSelectVersion,
    &msgUnableToLoadConfiguration,
    &msgCannotRetrieveConfiguration,
    &msgLoadingSetupSettings,
    &msgInitializing,
    &msgYes,
    &msgNo,
    &msgWarning,
    &msgInformation,
    &msgQuestion,
    &msgError,
    &msgInfo,
    &msgHotLinePhone,
    &msgHotLineEmail,
    &msgKnowledgeBase,
    &msgManual,
    &msgWeb,
};

const std::array<TPageHeading, PageHeadingCount> PageHeadings = {{
    {"tsSQL", &msgMSSQLSetting},
    {"tsSQLVolba", &msgConfigureMSSQLHeading},
    {"tsJazyk", &msgLanguageSelection},
    {"tsSQLInstall", &msgInstallingMSSQL},
    {"tsZaloha", &msgCreatingBackup},
    {"tsVolbaSW", &msgSelectVersion},
    {"tsCopyFiles", &msgCopyingFiles},
    {"tsUkonceni", &msgCompletingInstallation},
    {"tsObnova", &msgRestoringPreviousInstallation},
    {"tsSQLNet", &msgNetworkInstanceSettings},
}};

const TMessage* PageHeadingOf(std::string_view page) {
  for (const auto& h : PageHeadings)
    if (page == h.Page) return h.Heading;
  return nullptr;
}
