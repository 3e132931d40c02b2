#include "support/RunMessages.h"

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
