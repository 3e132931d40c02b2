#pragma once
// What the wizard asks of the computer it runs on: free space, system folders, the Windows
// version, the platform's own dialogs, the shell, downloads, and the steps that leave the
// wizard (the configuration file, shortcuts and the product's start, the error report). The
// form receives one host and calls nothing of this elsewhere; VelSetup.exe passes the real
// one, the wizard tests a host that answers from the test.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/DirectoryCheck.h"
#include "engine/Progress.h"
#include "setup/PackageRecords.h"
#include "sql/Completion.h"

namespace ui {
class TForm;
class TComboBox;
}  // namespace ui
class TSetupDat;

class TWizardHost {
 public:
  virtual ~TWizardHost() = default;

  // --- This computer -------------------------------------------------------------------------
  // Free bytes available on the volume that holds path (a drive root, a network path or, on
  // the native build, a folder); negative when it cannot be queried.
  virtual std::int64_t FreeDiskSpace(const std::string& path) = 0;
  // The folders of this computer that can never be the target.
  virtual TSystemFolders SystemFolders() = 0;
  // The running Windows version, for the definition's lowest version.
  virtual void WindowsVersion(int& major, int& minor) = 0;
  // Fills the list with the SQL Server instances of this computer and preselects one; true
  // when there is any.
  virtual bool DetectMSSQLLocal(ui::TComboBox& list) = 0;

  // --- The platform's windows, owned by the wizard --------------------------------------------
  // The folder browser; true with the chosen folder.
  virtual bool BrowseForFolder(ui::TForm& owner, const std::string& title, const std::string& root,
                               const std::string& initial, std::string& folder) = 0;
  // The plain message box (not the installer's message window).
  virtual void PlainMessageBox(ui::TForm& owner, const std::string& text) = 0;
  // The system information window (Ctrl+I).
  virtual void ShowSystemInformation(ui::TForm& owner) = 0;
  // Asks the shell to open the address, with the wizard as owner window.
  virtual void OpenAddress(ui::TForm& owner, const std::string& address) = 0;
  // Makes an icon resource the application's and the window's icon.
  virtual void LoadApplicationIcon(ui::TForm& window, const std::string& resourceName) = 0;
  // An error no handler caught: logged, the error copy of the log written, the report shown
  // with the definition's support address.
  virtual void ReportError(const std::string& error, const std::string& supportAddress) = 0;

  // --- Downloads -----------------------------------------------------------------------------
  // A version's definition, into the temporary folder; messages run meanwhile and a stop
  // request ends it.
  virtual bool DownloadDefinition(const std::string& url, std::string& localPath) = 0;
  // One file the definition names (a package archive, MSSQL.ini, an SQL Server installer or
  // its companion) from the local kit or the definition's location, the SQL Server location
  // with mssql. True when a usable file is at fileNameWithPath.
  virtual bool StahniSoubor(const TSetupDat& definition, const std::string& fileName, std::string& fileNameWithPath,
                            engine::ProgressSink* progress, bool reportError, bool mssql,
                            const std::string& sha256) = 0;

  // --- Steps that end an installation ---------------------------------------------------------
  // Writes the product configuration of the target; replace asks whether a file already there
  // gives way (no question: it does).
  virtual void CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database,
                               const std::function<bool()>& replace) = 0;
  // Shortcuts and the start of the product, as chosen on the completion page.
  virtual void RunCompletion(const std::string& adrInstall, TTypeInstall type, const TCompletionChoice& choice) = 0;
};

// The host of VelSetup.exe: every answer from this computer.
class TSystemWizardHost : public TWizardHost {
 public:
  std::int64_t FreeDiskSpace(const std::string& path) override;
  TSystemFolders SystemFolders() override;
  void WindowsVersion(int& major, int& minor) override;
  bool DetectMSSQLLocal(ui::TComboBox& list) override;
  bool BrowseForFolder(ui::TForm& owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) override;
  void PlainMessageBox(ui::TForm& owner, const std::string& text) override;
  void ShowSystemInformation(ui::TForm& owner) override;
  void OpenAddress(ui::TForm& owner, const std::string& address) override;
  void LoadApplicationIcon(ui::TForm& window, const std::string& resourceName) override;
  void ReportError(const std::string& error, const std::string& supportAddress) override;
  bool DownloadDefinition(const std::string& url, std::string& localPath) override;
  bool StahniSoubor(const TSetupDat& definition, const std::string& fileName, std::string& fileNameWithPath,
                    engine::ProgressSink* progress, bool reportError, bool mssql, const std::string& sha256) override;
  void CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database,
                       const std::function<bool()>& replace) override;
  void RunCompletion(const std::string& adrInstall, TTypeInstall type, const TCompletionChoice& choice) override;
};
