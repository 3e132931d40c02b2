#pragma once
// Start-up on Windows: the platform's side of the start-up sequence (app/Startup.h).
#include <memory>
#include <string>
#include <vector>

#include "app/Install.h"
#include "app/Startup.h"

class TWin32StartupHost : public TStartupHost {
 public:
  TWin32StartupHost() = default;
  // Gives the lock back (the host lives as long as the program's run).
  ~TWin32StartupHost() override;
  bool TakeSingleInstanceLock() override;
  std::vector<std::string> Arguments() override;
  void InitializeApplication() override;
  bool ApplyStyle(const std::string& styleName) override;
  bool FindRunningWizard(const std::string& windowClass) override;
  void BringRunningWizardToFront() override;
  void WriteSSLLibraries() override;
  void MainFormOnTaskbar() override;
  void CreateSetupDat(bool loadBesideProgram) override;
  bool LoadSetupDatFile(const std::string& path) override;
  TStartupDefinition Definition() override;
  bool DownloadFile(const std::string& url, std::string& localPath) override;
  void WindowsVersion(int& major, int& minor) override;
  bool HasAdminRights() override;
  void SetApplicationIcon(const std::string& resourceName) override;
  void CreateWizard(const TWizardState& start) override;
  void RunMessageLoop() override;
  void Terminate() override;
  void UnhandledError(const std::string& message) override;
  int RunUnattended(const TCommandLine& options) override;
  bool WriteConsoleText(const std::string& text) override;

  TFInstall* Wizard() const { return FWizard.get(); }

 protected:
  // What the wizard asks of this computer; tests put in their own.
  virtual TWizardHost& WizardHost() { return FWizardHost; }

 private:
  TSystemWizardHost FWizardHost;
  void* FRunning = nullptr;
  void* FLock = nullptr;
  std::string FIcon;
  std::unique_ptr<TFInstall> FWizard;
};

// Limits the DLL search of this process to the system folder: an installer is started
// from a Downloads folder, where a planted DLL must never be loaded.
void HardenDllSearch();
