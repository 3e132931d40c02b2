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
    "   Čeština", "   Slovenčina", "   English", "   Deutsch"};

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
    "Kód chyby",
    "Error Code",
    "Fehlercode",
    "Kód chyby",
};
// 2
const TMessage msgDownloadFile = {
    "Stahování souboru \"%s\"",
    "Download file \"%s\"",
    "Datei \"%s\" herunterladen",
    "Sťahovanie súboru \"%s\"",
};
// 3
const TMessage msgExtractFile = {
    "Rozbalování souboru \"%s\"",
    "Extract file \"%s\"",
    "Datei \"%s\" entpacken",
    "Rozbaľovanie súboru \"%s\"",
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
    "Požadované místo : %s MB",
    "Required space: %s MB",
    "Verlangter Speicherplatz : %s MB",
    "Požadované miesto: %s MB",
};
// 6
const TMessage msgCannotCreateDestinationFolder = {
    "Nelze vytvořit cílovou složku \"%s\".\n\rSpusťte instalaci pravým tlačítkem myši a zvolte Spustit jako správce.",
    "Can not create destination folder \"%s\".\n\rStart the installation of the right mouse button and select Run as administrator.",
    "Der Zielordner \"%s\" kann nicht erstellt werden.\n\rStarten Sie die Installation mit der rechten Maustaste und wählen Sie Als Administrator ausführen.",
    "Nie je možné vytvoriť cieľový priečinok \"%s\".\n\rSpustite inštaláciu pravým tlačidlom myši a zvoľte Spustiť ako správca.",
};
// 7
const TMessage msgErrorMessage = {
    "Chybové hlášení",
    "Error Message",
    "Fehlermeldung",
    "Chybové hlásenie",
};
// 8
const TMessage msgMSSQLNotSelectedOrInstalled = {
    "Microsoft SQL Server nebyl vybrán ani nainstalován.",
    "Microsoft SQL Server has not been selected or installed.",
    "Microsoft SQL Server wurde nicht ausgewählt oder installiert.",
    "Microsoft SQL Server nebol vybraný ani nainštalovaný.",
};
// 9
const TMessage msgDatabaseNameNotFilled = {
    "Název databáze není vyplněn.",
    "Database name is not filled.",
    "Der Datenbankname ist nicht ausgefüllt.",
    "Názov databázy nie je vyplnený.",
};
// 10
const TMessage msgDatabaseNameDisallowedChars = {
    "Název databáze obsahuje nepovolené znaky.",
    "Database name contains disallowed characters.",
    "Der Datenbankname enthält unzulässige Zeichen.",
    "Názov databázy obsahuje nepovolené znaky.",
};
// 11
const TMessage msgMSSQLNotSelected = {
    "Microsoft SQL Server nebyl vybrán",
    "Microsoft SQL Server has not been selected",
    "Microsoft SQL Server wurde nicht ausgewählt",
    "Microsoft SQL Server nebol vybraný",
};
// 12
const TMessage msgDotNetNotInstalled = {
    ".Net verze 3.5 nebo vyšší není nainstalován. Je nezbytný pro správnou funkci Microsoft SQL Server.",
    ".Net version 3.5 or higher is not installed. It is necessary for the proper functionality of Microsoft SQL Server.",
    ".Net Version 3.5 oder höher ist nicht installiert. Es ist für die ordnungsgemäße Funktion von Microsoft SQL Server erforderlich.",
    ".Net verzie 3.5 alebo vyššej nie je nainštalovaný. Je nevyhnutný pre správnu funkciu Microsoft SQL Server.",
};
// 13
const TMessage msgUnknownVersion = {
    "Neznámá verze",
    "Unknown version",
    "Unbekannte Version",
    "Neznáma verzia",
};
// 14
const TMessage msgSetupDatLoadError = {
    "Při načítání souboru \"setup.dat\" došlo k chybě",
    "When loading the file \"setup.dat\" An error occurred",
    "Beim Laden der Datei \"setup.dat\" ist ein Fehler aufgetreten",
    "Pri načítaní súboru \"setup.dat\" došlo k chybe",
};
// 15
const TMessage msgErrorInstallingVelmor = {
    "Chyba při instalaci systému VELMOR.",
    "Error when installing the VELMOR system.",
    "Fehler bei der Installation des Systems VELMOR.",
    "Chyba pri inštalácii systému VELMOR.",
};
// 16
const TMessage msgSearchingMSSQLNetwork = {
    "Vyhledávání instance Microsoft SQL Server v síti.",
    "Searching for an instance of Microsoft SQL Server on the network.",
    "Suche nach einer Instanz von Microsoft SQL Server im Netzwerk.",
    "Vyhľadávanie inštancie Microsoft SQL Server v sieti.",
};
// 17
const TMessage msgFoundServers = {
    "Nalezeno %s serverů.",
    "Found %s servers.",
    "%s Server gefunden.",
    "Nájdených %s serverov.",
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
    "Ve vybraném instalačním adresáři byl nalezen systém",
    "In the selected installation directory was found system",
    "Im ausgewählten Installationsverzeichnis wurde das System gefunden",
    "Vo vybranom inštalačnom adresári bol nájdený systém",
};
// 20
const TMessage msgInstallationDirectory = {
    "Instalační adresář",
    "Installation directory",
    "Installationsverzeichnis",
    "Inštalačný adresár",
};
// 21
const TMessage msgSelectExistingMSSQL = {
    "Vyberte existující Microsoft SQL Server",
    "Select an existing Microsoft SQL Server",
    "Wählen Sie einen vorhandenen Microsoft SQL Server",
    "Vyberte existujúci Microsoft SQL Server",
};
// 22
const TMessage msgMSSQLNotFoundRunInstallation = {
    "Microsoft SQL Server nebyl nalezen, spusťte prosím instalaci.",
    "Microsoft SQL Server not found, please run installation.",
    "Microsoft SQL Server wurde nicht gefunden, bitte starten Sie die Installation.",
    "Microsoft SQL Server nebol nájdený, spustite prosím inštaláciu.",
};
// 23
const TMessage msgDatabaseName = {
    "Název databáze",
    "Database name",
    "Datenbankname",
    "Názov databázy",
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
    "Můžete také použít existující Microsoft SQL Server ve vaší síti\rVyberte existující Microsoft SQL Server ze sítě",
    "You can also use an existing Microsoft SQL Server in your network\rSelect an existing Microsoft SQL Server from the network",
    "Sie können auch einen vorhandenen Microsoft SQL Server in Ihrem Netzwerk verwenden\rWählen Sie einen vorhandenen Microsoft SQL Server aus dem Netzwerk",
    "Môžete tiež použiť existujúci Microsoft SQL Server vo vašej sieti\rVyberte existujúci Microsoft SQL Server zo siete",
};
// 26
const TMessage msgMSSQLVersionsToDownload = {
    "Dostupné verze Microsoft SQL Server ke stažení a instalaci",
    "Available versions of Microsoft SQL server to download and install",
    "Verfügbare Versionen von Microsoft SQL Server zum Herunterladen und Installieren",
    "Dostupné verzie Microsoft SQL Server na stiahnutie a inštaláciu",
};
// 27
const TMessage msgInstallSelectedMSSQL = {
    "Nainstalovat vybranou verzi Microsoft SQL Server",
    "Install the selected version of Microsoft SQL Server",
    "Ausgewählte Version von Microsoft SQL Server installieren",
    "Nainštalovať vybranú verziu Microsoft SQL Server",
};
// 28
const TMessage msgDownloadSelectedMSSQL = {
    "Stáhnout vybranou verzi Microsoft SQL Server",
    "Download the selected version of Microsoft SQL Server",
    "Ausgewählte Version von Microsoft SQL Server herunterladen",
    "Stiahnuť vybranú verziu Microsoft SQL Server",
};
// 29
const TMessage msgBackingUp = {
    "Zálohování",
    "Backing up",
    "Sicherung",
    "Zálohovanie",
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
    "Instalace systému VELMOR do vybraného adresáře",
    "Installing VELMOR to the selected directory",
    "Installation von VELMOR in das ausgewählte Verzeichnis",
    "Inštalácia systému VELMOR do vybraného adresára",
};
// 32
const TMessage msgCopyingTheFile = {
    "Kopírování souboru ",
    "Copying the file ",
    "Kopieren der Datei ",
    "Kopírovanie súboru ",
};
// 33
const TMessage msgOverallProgress = {
    "Celkový průběh instalace",
    "The overall installation progress",
    "Gesamtfortschritt der Installation",
    "Celkový priebeh inštalácie",
};
// 34
const TMessage msgShortcutDesktop = {
    "   Vytvořit zástupce na ploše",
    "   Create shortcut on desktop",
    "   Verknüpfung auf dem Desktop erstellen",
    "   Vytvoriť odkaz na ploche",
};
// 35
const TMessage msgShortcutStartMenu = {
    "   Vytvořit zástupce v nabídce \"Start\"",
    "   Create shortcut on \"Start menu\"",
    "   Verknüpfung im \"Startmenü\" erstellen",
    "   Vytvoriť odkaz v ponuke \"Štart\"",
};
// 36
const TMessage msgRestoreFromBackupSucceeded = {
    "Obnova souborů ze zálohy byla úspěšně dokončena.",
    "Restoring files from backup was completed successfully.",
    "Die Wiederherstellung der Dateien aus der Sicherung wurde erfolgreich abgeschlossen.",
    "Obnova súborov zo zálohy bola úspešne dokončená.",
};
// 37
const TMessage msgRestoringFromBackup = {
    "Obnova ze zálohy",
    "Restoring from backup",
    "Wiederherstellung aus der Sicherung",
    "Obnova zo zálohy",
};
// 38
const TMessage msgSelectMSSQLNetworkWhereLocated = {
    "Vyberte existující MSSQL Server ve vaší síti, na kterém je již umístěna",
    "Select an existing MSSQL Server on your network, where is already located",
    "Wählen Sie einen vorhandenen MSSQL Server in Ihrem Netzwerk, auf dem sich die Datenbank bereits befindet",
    "Vyberte existujúci MSSQL Server vo vašej sieti, na ktorom sa už nachádza",
};
// 39
const TMessage msgOrNewDatabaseCreated = {
    "nebo bude vytvořena nová databáze",
    "or will be created a new database",
    "oder eine neue Datenbank erstellt wird",
    "alebo bude vytvorená nová databáza",
};
// 40
const TMessage msgRefresh = {
    "Obnovit",
    "Refresh",
    "Aktualisieren",
    "Obnoviť",
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
    "Přerušit stahování",
    "Terminate download",
    "Download abbrechen",
    "Prerušiť sťahovanie",
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
    "Text zprávy",
    "Text message",
    "Nachrichtentext",
    "Text správy",
};
// 50
const TMessage msgLogAddedToMail = {
    "Soubor protokolu instalace bude při odeslání e-mailu automaticky přiložen",
    "Installation log file will be automatically added when sending mail",
    "Die Protokolldatei der Installation wird beim Senden der E-Mail automatisch angehängt",
    "Súbor protokolu inštalácie bude pri odoslaní e-mailu automaticky priložený",
};
// 51
const TMessage msgPrintLog = {
    "Tisk protokolu",
    "Print log",
    "Protokoll drucken",
    "Tlač protokolu",
};
// 52
const TMessage msgSendLogEmail = {
    "Odeslat protokol e-mailem",
    "Send log on email",
    "Protokoll per E-Mail senden",
    "Odoslať protokol e-mailom",
};
// 53
const TMessage msgSaveLog = {
    "Uložit protokol",
    "Save log",
    "Protokoll speichern",
    "Uložiť protokol",
};
// 54
const TMessage msgViewLog = {
    "Zobrazit protokol",
    "View log",
    "Protokoll anzeigen",
    "Zobraziť protokol",
};
// 55
const TMessage msgInstallLogFile = {
    "Protokol instalace",
    "Install logfile",
    "Installationsprotokoll",
    "Protokol inštalácie",
};
// 56
const TMessage msgSelectTargetDirectory = {
    "Výběr cílového adresáře",
    "Selecting a target directory",
    "Auswahl des Zielverzeichnisses",
    "Výber cieľového adresára",
};
// 57
const TMessage msgLoadingBackupDirectoryStructure = {
    "Načítání struktury adresářů a souborů pro zálohu - GetALLDirectory",
    "Loading the directory structure and files for backup - GetALLDirectory",
    "Laden der Verzeichnisstruktur und der Dateien für die Sicherung - GetALLDirectory",
    "Načítanie štruktúry adresárov a súborov na zálohu - GetALLDirectory",
};
// 58
const TMessage msgCreateArchive = {
    "Vytvoření archivu ",
    "Create archiv ",
    "Archiv erstellen ",
    "Vytvorenie archívu ",
};
// 59
const TMessage msgAddFileToArchive = {
    "Přidání souboru do archivu ",
    "Add file to archiv ",
    "Datei zum Archiv hinzufügen ",
    "Pridanie súboru do archívu ",
};
// 60
const TMessage msgCancelingInstallation = {
    " * Přerušení instalace  * ",
    " * Canceling of installation  * ",
    " * Abbruch der Installation  * ",
    " * Prerušenie inštalácie  * ",
};
// 61
const TMessage msgErrorBackingUp = {
    "Chyba při zálohování předchozí verze : ",
    "Error while backing up a previous version : ",
    "Fehler beim Sichern der vorherigen Version : ",
    "Chyba pri zálohovaní predchádzajúcej verzie : ",
};
// 62
const TMessage msgErrorDownloadingMSSQL = {
    "Chyba při stahování Microsoft SQL : ",
    "Error downloading Microsoft SQL : ",
    "Fehler beim Herunterladen von Microsoft SQL : ",
    "Chyba pri sťahovaní Microsoft SQL : ",
};
// 63
const TMessage msgMSSQLInstallationError = {
    "Při instalaci Microsoft SQL došlo k chybě nebo byla předčasně přerušena",
    "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted",
    "Bei der Installation von Microsoft SQL ist ein Fehler aufgetreten, oder sie wurde vorzeitig abgebrochen",
    "Pri inštalácii Microsoft SQL došlo k chybe alebo bola predčasne prerušená",
};
// 64
const TMessage msgManagementStudioInstallationError = {
    "Při instalaci Microsoft Management Studio došlo k chybě nebo byla předčasně přerušena",
    "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted",
    "Bei der Installation von Microsoft Management Studio ist ein Fehler aufgetreten, oder sie wurde vorzeitig abgebrochen",
    "Pri inštalácii Microsoft Management Studio došlo k chybe alebo bola predčasne prerušená",
};
// 65
const TMessage msgNoInstalledMSSQLFound = {
    "Nebyla nalezena žádná nainstalovaná verze Microsoft SQL Server.",
    "No installed version of Microsoft SQL Server was found.",
    "Es wurde keine installierte Version von Microsoft SQL Server gefunden.",
    "Nebola nájdená žiadna nainštalovaná verzia Microsoft SQL Server.",
};
// 66
const TMessage msgAbortInstallation = {
    "Přerušit instalaci",
    "Abort the installation",
    "Installation abbrechen",
    "Prerušiť inštaláciu",
};
// 67
const TMessage msgAbortDownload = {
    "Přerušit stahování",
    "Abort the download",
    "Download abbrechen",
    "Prerušiť sťahovanie",
};
// 68
const TMessage msgCannotCreateDestinationPath = {
    "Nelze vytvořit cílovou cestu: %s. Instalace byla přerušena",
    "Unable to create the destination path: %s. Installation aborted",
    "Der Zielpfad kann nicht erstellt werden: %s. Die Installation wurde abgebrochen",
    "Nie je možné vytvoriť cieľovú cestu: %s. Inštalácia bola prerušená",
};
// 69
const TMessage msgErrorCopyingFiles = {
    "Chyba při kopírování souborů ",
    "Error copying files ",
    "Fehler beim Kopieren der Dateien ",
    "Chyba pri kopírovaní súborov ",
};
// 70
const TMessage msgInstallationRun = {
    "Instalace",
    "Installation",
    "Installation",
    "Inštalácia",
};
// 71
const TMessage msgExtractingArchives = {
    "Rozbalování archivů ",
    "Extracting archives ",
    "Archive werden entpackt ",
    "Rozbaľovanie archívov ",
};
// 72
const TMessage msgErrorRestoringPrevious = {
    "Chyba při obnově předchozí verze : ",
    "Error when restoring the previous version : ",
    "Fehler bei der Wiederherstellung der vorherigen Version : ",
    "Chyba pri obnove predchádzajúcej verzie : ",
};
// 73
const TMessage msgRestorePreviousSucceeded = {
    "Obnova předchozí verze byla úspěšně dokončena.",
    "Restoring the previous version was completed successfully.",
    "Die Wiederherstellung der vorherigen Version wurde erfolgreich abgeschlossen.",
    "Obnova predchádzajúcej verzie bola úspešne dokončená.",
};
// 74
const TMessage msgErrorRecoveringPrevious = {
    "Chyba při obnovení předchozí verze.",
    "Error when recovering previous version.",
    "Fehler beim Wiederherstellen der vorherigen Version.",
    "Chyba pri obnovení predchádzajúcej verzie.",
};
// 75
const TMessage msgInstallationInterrupted = {
    " Instalace byla přerušena. \n\r Obnovit původní verzi ze zálohy",
    " Installation was interrupted. \n\r Restore the original version from backup",
    " Die Installation wurde unterbrochen. \n\r Ursprüngliche Version aus der Sicherung wiederherstellen",
    " Inštalácia bola prerušená. \n\r Obnoviť pôvodnú verziu zo zálohy",
};
// 76
const TMessage msgErrorOccurredWhenInstalling = {
    "Při instalaci došlo k chybě : \n\r %s \n\r\n\r Instalace bude přerušena. \n\r Obnovit původní verzi ze zálohy",
    "Error occurred when installing : \n\r %s \n\r\n\r The installation will be aborted. \n\r Restore the original version from backup",
    "Bei der Installation ist ein Fehler aufgetreten : \n\r %s \n\r\n\r Die Installation wird abgebrochen. \n\r Ursprüngliche Version aus der Sicherung wiederherstellen",
    "Pri inštalácii došlo k chybe : \n\r %s \n\r\n\r Inštalácia bude prerušená. \n\r Obnoviť pôvodnú verziu zo zálohy",
};
// 77
const TMessage msgCannotUseForUpgrade = {
    "Tuto instalaci nelze použít pro aktualizaci",
    "This installation can not be used for upgrade",
    "Diese Installation kann nicht für eine Aktualisierung verwendet werden",
    "Túto inštaláciu nie je možné použiť na aktualizáciu",
};
// 78
const TMessage msgNewerVersionInLocation = {
    "Vybrané umístění obsahuje novější verzi %s, než je v instalaci",
    "The selected location contains a newer version of %s than in the installation",
    "Der ausgewählte Speicherort enthält eine neuere Version von %s als die Installation",
    "Vybrané umiestnenie obsahuje novšiu verziu %s, ako je v inštalácii",
};
// 79
const TMessage msgSameVersionInLocation = {
    "Vybrané umístění obsahuje stejnou verzi %s jako instalace",
    "The selected location contains the same version of %s as in the installation",
    "Der ausgewählte Speicherort enthält dieselbe Version von %s wie die Installation",
    "Vybrané umiestnenie obsahuje rovnakú verziu %s ako inštalácia",
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
    "Nelze pokračovat.\n\rParametry instalace nejsou správně vyplněny",
    "Unable to continue.\n\rParameters of the installation are not filled correctly",
    "Fortfahren nicht möglich.\n\rDie Parameter der Installation sind nicht korrekt ausgefüllt",
    "Nie je možné pokračovať.\n\rParametre inštalácie nie sú správne vyplnené",
};
// 82
const TMessage msgUnknownVersionFound = {
    "Neznámá verze",
    "Unknown version",
    "Unbekannte Version",
    "Neznáma verzia",
};
// 83
const TMessage msgErrorsFoundDuringChecking = {
    "Při kontrole byly nalezeny tyto chyby",
    "These errors was found during checking",
    "Bei der Prüfung wurden folgende Fehler gefunden",
    "Pri kontrole boli nájdené tieto chyby",
};
// 84
const TMessage msgLaterVersionInDestination = {
    "V cílové složce byla nalezena novější verze systému",
    "In the destination folder was found later versions of system",
    "Im Zielordner wurde eine neuere Version des Systems gefunden",
    "V cieľovom priečinku bola nájdená novšia verzia systému",
};
// 85
const TMessage msgInstallationForDifferentVersion = {
    "Instalace je určena pro jinou verzi systému VELMOR",
    "Installation is intended for a different version of VELMOR",
    "Die Installation ist für eine andere Version von VELMOR bestimmt",
    "Inštalácia je určená pre inú verziu systému VELMOR",
};
// 86
const TMessage msgCannotUpgradeVersion = {
    "Verzi ve vybraném umístění nelze touto instalací aktualizovat",
    "Version in selected locations can not upgrade by this installation",
    "Die Version am ausgewählten Speicherort kann mit dieser Installation nicht aktualisiert werden",
    "Verziu vo vybranom umiestnení nie je možné touto inštaláciou aktualizovať",
};
// 87
const TMessage msgNewerWindowsRequired = {
    "Instalace je určena pro novější verzi Windows",
    "Installation is for a newer versions of Windows",
    "Die Installation ist für eine neuere Windows-Version bestimmt",
    "Inštalácia je určená pre novšiu verziu Windows",
};
// 88
const TMessage msgSetupDatNotFound = {
    "Instalace nenalezla soubor \"setup.dat\"",
    "Installation not found file \"setup.dat\"",
    "Die Installation hat die Datei \"setup.dat\" nicht gefunden",
    "Inštalácia nenašla súbor \"setup.dat\"",
};
// 89
const TMessage msgErrorReadingSetupDat = {
    "Chyba při čtení souboru \"setup.dat",
    "Error reading file \"setup.dat",
    "Fehler beim Lesen der Datei \"setup.dat",
    "Chyba pri čítaní súboru \"setup.dat",
};
// 90
const TMessage msgAdminRightsRequired = {
    "Program musí být spuštěn s právy správce",
    "The program must be run with administrator rights",
    "Das Programm muss mit Administratorrechten ausgeführt werden",
    "Program musí byť spustený s právami správcu",
};
// 91
const TMessage msgInstallingProduct = {
    "Instalace produktu %s ",
    "Installing product %s ",
    "Installation des Produkts %s ",
    "Inštalácia produktu %s ",
};
// 92
const TMessage msgDownloadingProductVersion = {
    "Stahování vybrané verze produktu %s",
    "Downloading selected version of the product %s",
    "Die ausgewählte Version des Produkts %s wird heruntergeladen",
    "Sťahovanie vybranej verzie produktu %s",
};
// 93
const TMessage msgInstallNewMSSQL = {
    "Nainstalovat nový Microsoft SQL Server",
    "Install new Microsoft SQL Server",
    "Neuen Microsoft SQL Server installieren",
    "Nainštalovať nový Microsoft SQL Server",
};
// 94
const TMessage msgMSSQLSetting = {
    "Nastavení Microsoft SQL Server",
    "Microsoft SQL Server Setting",
    "Einstellung von Microsoft SQL Server",
    "Nastavenie Microsoft SQL Server",
};
// 95
const TMessage msgDataStoredInSQLDatabase = {
    "Data systému VELMOR jsou uložena v databázi SQL. \rInstalace vyžaduje, abyste určili, který Microsoft SQL Server \rchcete použít. Máte tyto možnosti:",
    "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which Microsoft SQL Server \ryou want to use. You have the following choices:",
    "Die Daten des Systems VELMOR werden in einer SQL-Datenbank gespeichert. \rBei der Installation müssen Sie festlegen, welchen Microsoft SQL Server \rSie verwenden möchten. Sie haben folgende Möglichkeiten:",
    "Dáta systému VELMOR sú uložené v databáze SQL. \rInštalácia vyžaduje, aby ste určili, ktorý Microsoft SQL Server \rchcete použiť. Máte tieto možnosti:",
};
// 96
const TMessage msgNetworkInstanceSettings = {
    "Nastavení připojení k síťové instanci MSSQL Server",
    "Network instance connection settings of MSSQL Server",
    "Verbindungseinstellungen der Netzwerkinstanz von MSSQL Server",
    "Nastavenie pripojenia k sieťovej inštancii MSSQL Server",
};
// 97
const TMessage msgInstallingMSSQL = {
    "Instalace Microsoft SQL Server",
    "Installing Microsoft SQL Server",
    "Installation von Microsoft SQL Server",
    "Inštalácia Microsoft SQL Server",
};
// 98
const TMessage msgRescanNetwork = {
    "Znovu prohledat síť",
    "Rescan network",
    "Netzwerk erneut durchsuchen",
    "Znovu prehľadať sieť",
};
// 99
const TMessage msgDatabaseOption = {
    "   Volba databáze  ",
    "   The database option  ",
    "   Datenbankauswahl  ",
    "   Voľba databázy  ",
};
// 100
const TMessage msgPresetDatabase = {
    "Přednastavená (číselníky vyplněny)",
    "Preset (master data filled)",
    "Voreingestellt (Stammdaten ausgefüllt)",
    "Prednastavená (číselníky vyplnené)",
};
// 101
const TMessage msgEmptyDatabase = {
    "Prázdná (číselníky vyplní uživatel)",
    "Empty (master data filled by user)",
    "Leer (Stammdaten füllt der Benutzer aus)",
    "Prázdna (číselníky vyplní používateľ)",
};
// 102
const TMessage msgInstallationHeading = {
    "Instalace",
    "Installation",
    "Installation",
    "Inštalácia",
};
// 103
const TMessage msgCreatingBackup = {
    "Vytvoření zálohy",
    "Creating a backup",
    "Erstellen einer Sicherung",
    "Vytvorenie zálohy",
};
// 104
const TMessage msgCopyingFiles = {
    "Kopírování souborů",
    "Copying files",
    "Kopieren der Dateien",
    "Kopírovanie súborov",
};
// 105
const TMessage msgCreatingShortcuts = {
    "Vytvoření zástupců programu",
    "Creating shortcuts of the program",
    "Erstellen der Programmverknüpfungen",
    "Vytvorenie odkazov programu",
};
// 106
const TMessage msgCompletingInstallation = {
    "Dokončení instalace",
    "Completing the installation",
    "Abschluss der Installation",
    "Dokončenie inštalácie",
};
// 107
const TMessage msgRestoringPreviousInstallation = {
    "Obnova předchozí instalace",
    "Restoring the previous installation",
    "Wiederherstellung der vorherigen Installation",
    "Obnova predchádzajúcej inštalácie",
};
// 108
const TMessage msgInstallationDirectoryNotFilled = {
    "Instalační adresář není správně vyplněn",
    "The installation directory is not filled correctly",
    "Das Installationsverzeichnis ist nicht korrekt ausgefüllt",
    "Inštalačný adresár nie je správne vyplnený",
};
// 109
const TMessage msgCheckingInstallationDirectory = {
    "Kontrola \"Instalačního adresáře\"",
    "Checking the \"Installation Directory\"",
    "Prüfung des \"Installationsverzeichnisses\"",
    "Kontrola \"Inštalačného adresára\"",
};
// 110
const TMessage msgInstallationAlreadyRunning = {
    "Instalace již běží",
    "Installation is already running",
    "Die Installation läuft bereits",
    "Inštalácia už beží",
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
    "Můžete také použít existující Microsoft SQL Server ve vaší síti",
    "You can also use an existing Microsoft SQL server on your network",
    "Sie können auch einen vorhandenen Microsoft SQL Server in Ihrem Netzwerk verwenden",
    "Môžete tiež použiť existujúci Microsoft SQL Server vo vašej sieti",
};
// 113
const TMessage msgSelectExistingMSSQLFromNetwork = {
    "Vyberte existující Microsoft SQL Server ze sítě",
    "Select an existing Microsoft SQL server from the network",
    "Wählen Sie einen vorhandenen Microsoft SQL Server aus dem Netzwerk",
    "Vyberte existujúci Microsoft SQL Server zo siete",
};
// 114
const TMessage msgRunVelmorAfterInstallation = {
    "   Spustit VELMOR po instalaci",
    "   Run VELMOR after installation",
    "   VELMOR nach der Installation starten",
    "   Spustiť VELMOR po inštalácii",
};
// 115
const TMessage msgInstall = {
    "Instalovat",
    "Install",
    "Installieren",
    "Inštalovať",
};
// 116
const TMessage msgSearchingInstanceMSSQLNetwork = {
    "Vyhledávání instance Microsoft SQL Server v síti.",
    "Searching for instance of Microsoft SQL Server on the network.",
    "Suche nach einer Instanz von Microsoft SQL Server im Netzwerk.",
    "Vyhľadávanie inštancie Microsoft SQL Server v sieti.",
};
// 117
const TMessage msgSearchingFoundServers = {
    "Vyhledávání instance MSSQL Server v síti.\n\r Nalezeno %s serverů.",
    "Searching for instance of MSSQL Server on the network.\n\r Found %s servers.",
    "Suche nach einer Instanz von MSSQL Server im Netzwerk.\n\r %s Server gefunden.",
    "Vyhľadávanie inštancie MSSQL Server v sieti.\n\r Nájdených %s serverov.",
};
// 118
const TMessage msgMSSQLIniDownloadFailed = {
    "Nepodařilo se stáhnout soubor MSSQL.ini (informace pro instalaci MSSQL Server)",
    "Failed to download MSSQL.ini file (Information for installing MSSQL Server)",
    "Die Datei MSSQL.ini konnte nicht heruntergeladen werden (Informationen zur Installation von MSSQL Server)",
    "Nepodarilo sa stiahnuť súbor MSSQL.ini (informácie na inštaláciu MSSQL Server)",
};
// 119
const TMessage msgUpdateVersion = {
    "Aktualizovat verzi",
    "Update version",
    "Version aktualisieren",
    "Aktualizovať verziu",
};
// 120
const TMessage msgConfigureMSSQL = {
    "Nastavit Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Microsoft SQL Server konfigurieren",
    "Nastaviť Microsoft SQL Server",
};
// 121
const TMessage msgSelectMSSQL = {
    "Vybrat Microsoft SQL Server",
    "Select Microsoft SQL Server",
    "Microsoft SQL Server auswählen",
    "Vybrať Microsoft SQL Server",
};
// 122
const TMessage msgInstallTheMSSQL = {
    "Nainstalovat Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Microsoft SQL Server installieren",
    "Nainštalovať Microsoft SQL Server",
};
// 123
const TMessage msgSearchForMSSQL = {
    "Vyhledat Microsoft SQL Server",
    "Search for Microsoft SQL Server",
    "Microsoft SQL Server suchen",
    "Vyhľadať Microsoft SQL Server",
};
// 124
const TMessage msgInstallVelmor = {
    "Instalovat VELMOR",
    "Install VELMOR",
    "VELMOR installieren",
    "Inštalovať VELMOR",
};
// 125
const TMessage msgInstallTheMSSQLServer = {
    "Nainstalovat Microsoft SQL Server",
    "Install the Microsoft SQL Server",
    "Microsoft SQL Server installieren",
    "Nainštalovať Microsoft SQL Server",
};
// 126
const TMessage msgErrorUnpackingFile = {
    "Chyba při rozbalování souboru \"",
    "Error unpacking a file \"",
    "Fehler beim Entpacken der Datei \"",
    "Chyba pri rozbaľovaní súboru \"",
};
// 127
const TMessage msgConfigureMSSQLHeading = {
    "Konfigurace Microsoft SQL Server",
    "Configure Microsoft SQL Server",
    "Konfiguration von Microsoft SQL Server",
    "Konfigurácia Microsoft SQL Server",
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
    "edice ZERDAN",
    "ZERDAN edition",
    "ZERDAN-Edition",
    "edícia ZERDAN",
};
// 130
const TMessage msgRbSelectExistingMSSQL = {
    "    Vybrat existující Microsoft SQL Server na tomto počítači",
    "    Select the existing Microsoft SQL Server on this computer",
    "    Vorhandenen Microsoft SQL Server auf diesem Computer auswählen",
    "    Vybrať existujúci Microsoft SQL Server na tomto počítači",
};
// 131
const TMessage msgRbInstallNewMSSQL = {
    "    Nainstalovat nový Microsoft SQL Server na tento počítač",
    "    Install the new Microsoft SQL Server on this computer",
    "    Neuen Microsoft SQL Server auf diesem Computer installieren",
    "    Nainštalovať nový Microsoft SQL Server na tento počítač",
};
// 132
const TMessage msgRbSearchMSSQLNetwork = {
    "    Vyhledat existující Microsoft SQL Server ve vaší síti",
    "    Search for an existing Microsoft SQL Server on your network",
    "    Vorhandenen Microsoft SQL Server in Ihrem Netzwerk suchen",
    "    Vyhľadať existujúci Microsoft SQL Server vo vašej sieti",
};
// 133
const TMessage msgSelectVersion = {
    "Výběr verze",
    "Select version",
    "Versionsauswahl",
    "Výber verzie",
};
// 134
const TMessage msgUnableToLoadConfiguration = {
    "Nelze načíst konfiguraci instalace",
    "Unable to load configuration of installation",
    "Die Konfiguration der Installation kann nicht geladen werden",
    "Nie je možné načítať konfiguráciu inštalácie",
};
// 135
const TMessage msgCannotRetrieveConfiguration = {
    "Nelze získat konfiguraci instalace pro vybraný produkt",
    "I can not retrieve the installation configuration for the selected product",
    "Die Installationskonfiguration für das ausgewählte Produkt kann nicht abgerufen werden",
    "Nie je možné získať konfiguráciu inštalácie pre vybraný produkt",
};
// 136
const TMessage msgLoadingSetupSettings = {
    "Načítání nastavení instalace ......",
    "Loading Setup Settings ......",
    "Laden der Installationseinstellungen ......",
    "Načítanie nastavení inštalácie ......",
};
// 137
const TMessage msgInitializing = {
    "Inicializace ......",
    "Initializing ......",
    "Initialisierung ......",
    "Inicializácia ......",
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
    "HOT-LINE E-Mail :",
    "HOT-LINE e-mail :",
};
// 147
const TMessage msgKnowledgeBase = {
    "Znalostní báze :",
    "Knowledge Base :",
    "Wissensdatenbank :",
    "Znalostná báza :",
};
// 148
const TMessage msgManual = {
    "Příručka :",
    "Manual :",
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

// The program's own texts, beyond the numbered entries; each is CZ, EN, DE, SK.

// The installation run's safeguards.
const TMessage msgPackageFailed = {
    "Balíček \"%s\" se nepodařilo nainstalovat:\n\r%s",
    "The package \"%s\" could not be installed:\n\r%s",
    "Das Paket \"%s\" konnte nicht installiert werden:\n\r%s",
    "Balík \"%s\" sa nepodarilo nainštalovať:\n\r%s",
};
const TMessage msgFilesInUse = {
    "Tyto programy používají soubory instalace ve složce \"%s\":\n\r%s\n\rUkončete je a zvolte Opakovat, nebo "
    "instalaci zrušte.",
    "These programs are using files of the installation in \"%s\":\n\r%s\n\rClose them and choose Retry, or cancel "
    "the installation.",
    "Diese Programme verwenden Dateien der Installation in \"%s\":\n\r%s\n\rSchließen Sie sie und wählen Sie "
    "Wiederholen, oder brechen Sie die Installation ab.",
    "Tieto programy používajú súbory inštalácie v priečinku \"%s\":\n\r%s\n\rUkončite ich a zvoľte Opakovať, alebo "
    "inštaláciu zrušte.",
};
const TMessage msgRetry = {"&Opakovat", "&Retry", "&Wiederholen", "&Opakovať"};
const TMessage msgCancel = {"&Zrušit", "&Cancel", "&Abbrechen", "&Zrušiť"};
const TMessage msgTargetNotInstallationFolder = {
    "\"%s\" je kořen disku nebo systémová složka (Windows, Program Files, profil uživatele) a nemůže být složkou "
    "instalace.\n\rZvolte samostatnou složku, například \"%s\".",
    "\"%s\" is a drive root or a system folder (Windows, Program Files, a user profile) and cannot be the "
    "installation folder.\n\rChoose a folder of its own, for example \"%s\".",
    "\"%s\" ist das Stammverzeichnis eines Laufwerks oder ein Systemordner (Windows, Programme, ein Benutzerprofil) "
    "und kann nicht der Installationsordner sein.\n\rWählen Sie einen eigenen Ordner, zum Beispiel \"%s\".",
    "\"%s\" je koreň disku alebo systémový priečinok (Windows, Program Files, profil používateľa) a nemôže byť "
    "priečinkom inštalácie.\n\rZvoľte samostatný priečinok, napríklad \"%s\".",
};
const TMessage msgFolderNotEmpty = {
    "Složka \"%s\" už obsahuje soubory, které nejsou instalací systému Velmor.\n\rPřesto instalovat do této složky",
    "The folder \"%s\" already holds files that are not an installation of Velmor.\n\rInstall into this folder "
    "anyway",
    "Der Ordner \"%s\" enthält bereits Dateien, die keine Velmor-Installation sind.\n\rTrotzdem in diesen Ordner "
    "installieren",
    "Priečinok \"%s\" už obsahuje súbory, ktoré nie sú inštaláciou systému Velmor.\n\rNapriek tomu inštalovať do "
    "tohto priečinka",
};
// Before the completion page: the selected packages that did not get installed.
const TMessage msgPackagesNotInstalled = {
    "Tyto balíčky nebyly nainstalovány:",
    "These packages were not installed:",
    "Diese Pakete wurden nicht installiert:",
    "Tieto balíky neboli nainštalované:",
};
// The restore's result when files of the backup could not be written.
const TMessage msgRestoreFilesLeft = {
    "Tyto soubory se nepodařilo obnovit a zůstaly tak, jak byly:",
    "These files could not be restored and were left as they were:",
    "Diese Dateien konnten nicht wiederhergestellt werden und blieben, wie sie waren:",
    "Tieto súbory sa nepodarilo obnoviť a zostali tak, ako boli:",
};
const TMessage msgRestoreMoreFilesLeft = {
    "... a dalších %s (uvedeny v instalačním protokolu)",
    "... and %s more (listed in the installation log)",
    "... und %s weitere (im Installationsprotokoll aufgeführt)",
    "... a ďalších %s (uvedené v inštalačnom protokole)",
};

// Package hashes.
const TMessage msgPackageHashMismatch = {
    "Balíček \"%s\" byl změněn a nebude nainstalován: jeho SHA-256 je %s, definice instalace uvádí %s.",
    "The package \"%s\" has been changed and will not be installed: its SHA-256 is %s, the setup definition "
    "gives %s.",
    "Das Paket \"%s\" wurde verändert und wird nicht installiert: sein SHA-256 ist %s, die Setup-Definition "
    "nennt %s.",
    "Balík \"%s\" bol zmenený a nebude nainštalovaný: jeho SHA-256 je %s, definícia inštalácie uvádza %s.",
};
const TMessage msgPackageHashUnreadable = {
    "Balíček \"%s\" nelze ověřit a nebude nainstalován: %s",
    "The package \"%s\" cannot be verified and will not be installed: %s",
    "Das Paket \"%s\" kann nicht geprüft werden und wird nicht installiert: %s",
    "Balík \"%s\" nie je možné overiť a nebude nainštalovaný: %s",
};

// Start-up and the product index.
const TMessage msgDefinitionFileNotLoaded = {
    "Instalační soubor \"%s\" nelze načíst.",
    "The setup definition \"%s\" cannot be loaded.",
    "Die Installationsdefinition \"%s\" kann nicht geladen werden.",
    "Inštalačný súbor \"%s\" nie je možné načítať.",
};
const TMessage msgIndexWithoutVersions = {
    "Index verzí produktu %s nenabízí žádnou verzi: %s",
    "The product index %s offers no product version: %s",
    "Der Produktindex %s bietet keine Produktversion an: %s",
    "Index verzií produktu %s neponúka žiadnu verziu: %s",
};
const TMessage msgIndexUnreadable = {
    "soubor nelze přečíst.",
    "the file cannot be read.",
    "die Datei kann nicht gelesen werden.",
    "súbor nie je možné prečítať.",
};
const TMessage msgIndexTooLarge = {
    "soubor je větší než %s kB, které index smí mít.",
    "the file is larger than the %s KiB an index may have.",
    "die Datei ist größer als die %s KiB, die ein Index haben darf.",
    "súbor je väčší ako %s kB, ktoré index smie mať.",
};
const TMessage msgIndexNoFirstVersion = {
    "soubor nemá oddíl [Velmor1].",
    "the file has no section [Velmor1].",
    "die Datei hat keinen Abschnitt [Velmor1].",
    "súbor nemá oddiel [Velmor1].",
};

// SQL Server: the network scan, MSSQL.ini, the SQL Server setup, Velmor.INI.
// Shown when the network scan found nothing because a source failed; the reason follows.
const TMessage msgNetworkScanFailed = {
    "Hledání Microsoft SQL Serveru v síti se nezdařilo.\n\r%s",
    "Searching for Microsoft SQL Server on the network failed.\n\r%s",
    "Die Suche nach Microsoft SQL Server im Netzwerk ist fehlgeschlagen.\n\r%s",
    "Hľadanie Microsoft SQL Servera v sieti zlyhalo.\n\r%s",
};
const TMessage msgMSSQLIniEmpty = {
    "Soubor MSSQL.ini je prázdný, proto nelze nabídnout instalaci Microsoft SQL Serveru.",
    "The file MSSQL.ini is empty, so no Microsoft SQL Server can be offered for installation.",
    "Die Datei MSSQL.ini ist leer, daher kann kein Microsoft SQL Server zur Installation angeboten werden.",
    "Súbor MSSQL.ini je prázdny, preto nie je možné ponúknuť inštaláciu Microsoft SQL Servera.",
};
const TMessage msgMSSQLIniNotText = {
    "Soubor MSSQL.ini je poškozený (není to textový soubor), proto nelze nabídnout instalaci Microsoft SQL Serveru.",
    "The file MSSQL.ini is damaged (it is not a text file), so no Microsoft SQL Server can be offered for installation.",
    "Die Datei MSSQL.ini ist beschädigt (sie ist keine Textdatei), daher kann kein Microsoft SQL Server zur Installation angeboten werden.",
    "Súbor MSSQL.ini je poškodený (nie je to textový súbor), preto nie je možné ponúknuť inštaláciu Microsoft SQL Servera.",
};
const TMessage msgMSSQLIniNoSection = {
    "Soubor MSSQL.ini nemá sekci [SQL], proto nelze nabídnout instalaci Microsoft SQL Serveru.",
    "The file MSSQL.ini has no section [SQL], so no Microsoft SQL Server can be offered for installation.",
    "Die Datei MSSQL.ini hat keinen Abschnitt [SQL], daher kann kein Microsoft SQL Server zur Installation angeboten werden.",
    "Súbor MSSQL.ini nemá sekciu [SQL], preto nie je možné ponúknuť inštaláciu Microsoft SQL Servera.",
};
const TMessage msgMSSQLIniNoEntry = {
    "Soubor MSSQL.ini neuvádí žádnou verzi Microsoft SQL Serveru s instalačním souborem.",
    "The file MSSQL.ini names no edition of Microsoft SQL Server with an installer file.",
    "Die Datei MSSQL.ini nennt keine Edition von Microsoft SQL Server mit einer Installationsdatei.",
    "Súbor MSSQL.ini neuvádza žiadnu verziu Microsoft SQL Servera s inštalačným súborom.",
};
const TMessage msgMSSQLIniNoneSuits = {
    "Žádná verze Microsoft SQL Serveru ze souboru MSSQL.ini není určena pro tento Windows (%s).",
    "No edition of Microsoft SQL Server in the file MSSQL.ini is meant for this Windows (%s).",
    "Keine Edition von Microsoft SQL Server in der Datei MSSQL.ini ist für dieses Windows (%s) bestimmt.",
    "Žiadna verzia Microsoft SQL Servera zo súboru MSSQL.ini nie je určená pre tento Windows (%s).",
};
const TMessage msgRestartNeededAfterMSSQL = {
    "Microsoft SQL Server byl nainstalován, ale k dokončení instalace je nutné restartovat Windows. "
    "Po dokončení instalace systému VELMOR počítač restartujte.",
    "Microsoft SQL Server has been installed, but Windows must be restarted to finish its installation. "
    "Restart the computer when VELMOR has been installed.",
    "Microsoft SQL Server wurde installiert, aber Windows muss neu gestartet werden, um die Installation "
    "abzuschließen. Starten Sie den Computer nach der Installation von VELMOR neu.",
    "Microsoft SQL Server bol nainštalovaný, ale na dokončenie inštalácie je potrebné reštartovať Windows. "
    "Po dokončení inštalácie systému VELMOR počítač reštartujte.",
};
const TMessage msgWindowsRestarting = {
    "Instalace Microsoft SQL Server spustila restart Windows. Instalace systému VELMOR nyní končí; "
    "po restartu počítače ji spusťte znovu.",
    "The Microsoft SQL Server setup has started a restart of Windows. The installation of VELMOR ends now; "
    "start it again after the computer has restarted.",
    "Das Setup von Microsoft SQL Server hat einen Neustart von Windows eingeleitet. Die Installation von VELMOR "
    "endet jetzt; starten Sie sie nach dem Neustart des Computers erneut.",
    "Inštalácia Microsoft SQL Server spustila reštart Windows. Inštalácia systému VELMOR teraz končí; "
    "po reštarte počítača ju spustite znova.",
};
// A question: the message window adds its question mark.
const TMessage msgReplaceVelmorIni = {
    "Instalační adresář již obsahuje konfigurační soubor Velmor.INI; při nahrazení bude uchován jako "
    "Velmor.INI.bak.\n\rNahradit jej zvoleným serverem %s a databází %s",
    "The installation directory already holds the configuration file Velmor.INI; if it is replaced, it is kept "
    "as Velmor.INI.bak.\n\rReplace it with the chosen server %s and database %s",
    "Das Installationsverzeichnis enthält bereits die Konfigurationsdatei Velmor.INI; wird sie ersetzt, bleibt sie "
    "als Velmor.INI.bak erhalten.\n\rSoll sie durch den gewählten Server %s und die Datenbank %s ersetzt werden",
    "Inštalačný adresár už obsahuje konfiguračný súbor Velmor.INI; pri nahradení bude uchovaný ako "
    "Velmor.INI.bak.\n\rNahradiť ho zvoleným serverom %s a databázou %s",
};

// The command line.
const TMessage msgUnknownArgument = {
    "Neznámý parametr příkazové řádky: %s\n\rPovolené parametry:\n\r%s",
    "Unknown command-line argument: %s\n\rAccepted arguments:\n\r%s",
    "Unbekannter Befehlszeilenparameter: %s\n\rZulässige Parameter:\n\r%s",
    "Neznámy parameter príkazového riadka: %s\n\rPovolené parametre:\n\r%s",
};
const TMessage msgArgumentWithoutValue = {
    "Parametr příkazové řádky %s nemá hodnotu.\n\rPovolené parametry:\n\r%s",
    "The command-line argument %s has no value.\n\rAccepted arguments:\n\r%s",
    "Der Befehlszeilenparameter %s hat keinen Wert.\n\rZulässige Parameter:\n\r%s",
    "Parameter príkazového riadka %s nemá hodnotu.\n\rPovolené parametre:\n\r%s",
};
const TMessage msgArgumentTwice = {
    "Parametr příkazové řádky %s je uveden vícekrát.",
    "The command-line argument %s is given more than once.",
    "Der Befehlszeilenparameter %s ist mehrfach angegeben.",
    "Parameter príkazového riadka %s je uvedený viackrát.",
};
const TMessage msgIndexOrSetupDat = {
    "Zadejte buď /INDEX=, nebo /SETUPDAT=, ne oba parametry.",
    "Give either /INDEX= or /SETUPDAT=, not both.",
    "Geben Sie entweder /INDEX= oder /SETUPDAT= an, nicht beide.",
    "Zadajte buď /INDEX=, alebo /SETUPDAT=, nie oba parametre.",
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

const std::array<TControlText, LanguageControlTextCount> LanguageControlTexts = {{
    {"lblPopisSQL", TControlTextKind::FormattedCaption, &msgDataStoredInSQLDatabase},
    {"lblVolbaDB", TControlTextKind::Caption, &msgDatabaseOption},
    {"rgVolbaDB", TControlTextKind::DatabaseOptions, nullptr},
    {"lblVolbaDBNet", TControlTextKind::Caption, &msgDatabaseOption},
    {"rgVolbaDBNet", TControlTextKind::DatabaseOptions, nullptr},
    {"lblVersioInfo", TControlTextKind::Caption, &msgFoundSystemInDirectory},
    {"lblInstallDirectory", TControlTextKind::Caption, &msgInstallationDirectory},
    {"lblDBName", TControlTextKind::Caption, &msgDatabaseName},
    {"lblNameDBNet", TControlTextKind::Caption, &msgDatabaseName},
    {"lblLocalMSSQL", TControlTextKind::Caption, &msgSelectExistingMSSQL},
    {"lblInstanceMSSQL", TControlTextKind::Caption, &msgMSSQLVersionsToDownload},
    {"btnInstallMSSQL", TControlTextKind::Caption, &msgInstallSelectedMSSQL},
    {"lblDownload", TControlTextKind::Caption, &msgDownloadSelectedMSSQL},
    {"lblBackup", TControlTextKind::Caption, &msgBackingUp},
    {"lblFileName", TControlTextKind::Caption, &msgFileName},
    {"lblSumaryInstall", TControlTextKind::Caption, &msgOverallProgress},
    {"lblInstallVelmor", TControlTextKind::Caption, &msgInstallingVelmorToDirectory},
    {"lblCopyFile", TControlTextKind::Caption, &msgCopyingTheFile},
    {"chkPlocha", TControlTextKind::Caption, &msgShortcutDesktop},
    {"chkStartMenu", TControlTextKind::Caption, &msgShortcutStartMenu},
    {"lblResultRecov", TControlTextKind::Caption, &msgRestoreFromBackupSucceeded},
    {"lblRecovery", TControlTextKind::Caption, &msgRestoringFromBackup},
    {"lblFileNameRecov", TControlTextKind::Caption, &msgFileName},
    {"labTSQLNetFind", TControlTextKind::Caption, &msgUseExistingMSSQLNetwork},
    {"Label1", TControlTextKind::ProductInstalled, &msgSystemInstalledSuccessfully},
    {"chkRunVelmor", TControlTextKind::Caption, &msgRunVelmorAfterInstallation},
    {"lblNameDBNet", TControlTextKind::Caption, &msgDatabaseName},
    {"btnPrevious", TControlTextKind::Caption, &msgPrevious},
    {"btnOK", TControlTextKind::Caption, &msgOK},
    {"btnBack", TControlTextKind::Caption, &msgBack},
    {"btnStop", TControlTextKind::Caption, &msgTerminate},
    {"btnInstalovat", TControlTextKind::Caption, &msgInstall},
    {"btnZnovuNacist", TControlTextKind::Caption, &msgRefresh},
    {"btnStopDownload", TControlTextKind::Caption, &msgTerminateDownload},
    {"btnUpdate", TControlTextKind::Caption, &msgUpdateVersion},
    {"rbExistMSSQL", TControlTextKind::Caption, &msgRbSelectExistingMSSQL},
    {"rbNewMSSQL", TControlTextKind::Caption, &msgRbInstallNewMSSQL},
    {"rbNetMSSQL", TControlTextKind::Caption, &msgRbSearchMSSQLNetwork},
    {"labHotTelefon", TControlTextKind::Caption, &msgHotLinePhone},
    {"labHotEmail", TControlTextKind::Caption, &msgHotLineEmail},
    {"labZalostDB", TControlTextKind::Caption, &msgKnowledgeBase},
    {"labPrirucka", TControlTextKind::Caption, &msgManual},
    {"labWeb", TControlTextKind::Caption, &msgWeb},
}};

const char* InstalledProductName(bool smallerEdition) { return smallerEdition ? "Velmor Kest" : "Velmor Tarpel"; }

// --- The unattended installation: command-line switches and the usage text -------------------

const TMessage msgSwitchTakesNoValue = {
    "Parametr příkazové řádky %s nemá žádnou hodnotu.",
    "The command-line switch %s takes no value.",
    "Der Befehlszeilenschalter %s hat keinen Wert.",
    "Parameter príkazového riadka %s nemá žiadnu hodnotu.",
};
const TMessage msgSqlServerOrSqlNew = {
    "Zadejte buď /SQLSERVER=, nebo /SQLNEW=, ne oba parametry.",
    "Give either /SQLSERVER= or /SQLNEW=, not both.",
    "Geben Sie entweder /SQLSERVER= oder /SQLNEW= an, nicht beide.",
    "Zadajte buď /SQLSERVER=, alebo /SQLNEW=, nie oba parametre.",
};
const TMessage msgWrongInstallType = {
    "%s: typ instalace je číslo od 0 do 4.",
    "%s: the installation type is a number from 0 to 4.",
    "%s: der Installationstyp ist eine Zahl von 0 bis 4.",
    "%s: typ inštalácie je číslo od 0 do 4.",
};
const TMessage msgWrongLanguage = {
    "%s: jazyk je CZ, EN, DE nebo SK.",
    "%s: the language is CZ, EN, DE or SK.",
    "%s: die Sprache ist CZ, EN, DE oder SK.",
    "%s: jazyk je CZ, EN, DE alebo SK.",
};
const TMessage msgNeedsUnattended = {
    "Parametr %s lze použít jen spolu s /SILENT nebo /VERYSILENT.",
    "%s is used only with /SILENT or /VERYSILENT.",
    "%s wird nur zusammen mit /SILENT oder /VERYSILENT verwendet.",
    "Parameter %s je možné použiť len spolu s /SILENT alebo /VERYSILENT.",
};
const TMessage msgLogFileNotWritable = {
    "Soubor protokolu %s nelze zapsat.",
    "The log file %s cannot be written.",
    "Die Protokolldatei %s kann nicht geschrieben werden.",
    "Súbor protokolu %s nie je možné zapísať.",
};
const TMessage msgUsageHeading = {
    "VelSetup.exe [parametry]",
    "VelSetup.exe [switches]",
    "VelSetup.exe [Schalter]",
    "VelSetup.exe [parametre]",
};
const TMessage msgUsageExitCodes = {
    "Návratové kódy: 0 nainstalováno; 3010 nainstalováno, je nutný restart; 1602 zrušeno uživatelem; "
    "1603 chyba (viz protokol); 1618 jiná instalace již běží; 87 chybná příkazová řádka.",
    "Exit codes: 0 installed; 3010 installed, a restart is needed; 1602 cancelled by the user; "
    "1603 failed (see the log); 1618 another installation is running; 87 wrong command line.",
    "Exitcodes: 0 installiert; 3010 installiert, ein Neustart ist nötig; 1602 vom Benutzer abgebrochen; "
    "1603 fehlgeschlagen (siehe Protokoll); 1618 eine andere Installation läuft; 87 falsche Befehlszeile.",
    "Návratové kódy: 0 nainštalované; 3010 nainštalované, je nutný reštart; 1602 zrušené používateľom; "
    "1603 chyba (pozri protokol); 1618 iná inštalácia už beží; 87 chybný príkazový riadok.",
};
