// The wizard's host in VelSetup.exe: each answer from the platform layer of this computer.
#include "app/WizardHost.h"
#include "platform/SystemInfo.h"
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "sql/Discovery.h"
#include "sql/VelmorIni.h"
#include "support/ErrorReport.h"
#include "support/SetupInfo.h"
#include "support/SystemUtil.h"
#include "ui/Backend.h"
#include "ui/Controls.h"

std::int64_t TSystemWizardHost::FreeDiskSpace(const std::string& path) { return DiskFreeBytes(path); }

TSystemFolders TSystemWizardHost::SystemFolders() { return CurrentSystemFolders(); }

void TSystemWizardHost::WindowsVersion(int& major, int& minor) {
  platform::OsVersionInfo v = platform::OsVersion();
  major = static_cast<int>(v.major);
  minor = static_cast<int>(v.minor);
}

bool TSystemWizardHost::DetectMSSQLLocal(ui::TComboBox& list) { return ::DetectMSSQLLocal(list); }

bool TSystemWizardHost::BrowseForFolder(ui::TForm& owner, const std::string& title, const std::string& root,
                                        const std::string& initial, std::string& folder) {
  return ui::Backend().BrowseForFolder(&owner, title, root, initial, folder);
}

void TSystemWizardHost::PlainMessageBox(ui::TForm& owner, const std::string& text) {
  ui::Backend().PlainMessageBox(&owner, text);
}

void TSystemWizardHost::ShowSystemInformation(ui::TForm& owner) { ShowSetupInfo(&owner); }

void TSystemWizardHost::OpenAddress(ui::TForm& owner, const std::string& address) {
  OpenMakerWeb(owner.Handle(), address);
}

void TSystemWizardHost::LoadApplicationIcon(ui::TForm& window, const std::string& resourceName) {
  // The window takes the new icon on its existing handle; a handle made anew would be a new,
  // hidden window, and the wizard would vanish.
  window.SetIcon(resourceName);
}

void TSystemWizardHost::ReportError(const std::string& error, const std::string& supportAddress) {
  HandleUnhandledError(error, supportAddress);
}

bool TSystemWizardHost::DownloadDefinition(const std::string& url, std::string& localPath) {
  // No bar, but messages run while the definition comes and the download ends on the stop
  // request: the close box ends a load from a server that has stopped answering.
  DownloadBar keepAlive;
  return ::DownloadFile(url, localPath, &keepAlive, false);
}

bool TSystemWizardHost::StahniSoubor(const TSetupDat& definition, const std::string& fileName,
                                     std::string& fileNameWithPath, engine::ProgressSink* progress, bool reportError,
                                     bool mssql, const std::string& sha256) {
  return definition.StahniSoubor(fileName, fileNameWithPath, progress, reportError, mssql, sha256);
}

void TSystemWizardHost::CreateVelmorINI(const std::string& adrInstall, const std::string& server,
                                        const std::string& database, const std::function<bool()>& replace) {
  if (replace)
    ::CreateVelmorINI(adrInstall, server, database, replace);
  else
    ::CreateVelmorINI(adrInstall, server, database);
}

void TSystemWizardHost::RunCompletion(const std::string& adrInstall, TTypeInstall type,
                                      const TCompletionChoice& choice) {
  ::RunCompletion(adrInstall, type, choice);
}
