#pragma once
// The wizard's host in the headless tests: free space, system folders, the Windows version,
// the local SQL Server instances, the folder browser and the definition downloads answer from
// the test; boxes, addresses, icons, error reports, configurations and completions are recorded.
// Files the test does not name are fetched from the definition's own locations (a kit folder
// or a loopback server).
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/WizardHost.h"
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "sql/Discovery.h"
#include "ui/Controls.h"

namespace wizard_test {

class FakeWizardHost : public TWizardHost {
 public:
  // Free MiB by the volume FreeSpaceVolumeOf names; volumes not listed have plenty, -1 cannot
  // be queried.
  std::map<std::string, std::int64_t> freeMiB;
  std::vector<std::string> freeSpaceAsked;
  // The folders that can never be the target; none unless a test names them.
  TSystemFolders systemFolders;
  int windowsMajor = 10, windowsMinor = 0;
  // The local instances; unset, this computer's are detected (the native build's in-memory
  // registry).
  std::optional<std::vector<std::string>> localServers;

  struct FolderRequest {
    std::string Title, Root, Initial;
  };
  // The browser's answers in order; none left (or nullopt) is Cancel.
  std::deque<std::optional<std::string>> folderAnswers;
  std::vector<FolderRequest> folderRequests;
  std::vector<std::string> plainMessages;
  int systemInfoShown = 0;
  std::vector<std::string> opened;
  std::vector<std::string> iconsLoaded;
  std::vector<std::string> reports;
  std::vector<std::string> reportAddresses;  // the support address each report was given

  // url -> local file handed back by the definition download; urls not listed fail.
  std::map<std::string, std::string> definitions;
  std::vector<std::string> downloads;
  // Runs inside a definition download, where messages would run (a click, the close box).
  std::function<void()> duringDefinitionDownload;
  // File name -> local file handed back by StahniSoubor before the definition's locations are
  // searched; a name in failing is not obtained, one in throwing throws.
  std::map<std::string, std::string> files;
  std::vector<std::string> failing, throwing;
  std::vector<std::string> fetched;

  struct Configuration {
    std::string AdrInstall, Server, Database;
    bool Asked;
  };
  std::vector<Configuration> configurations;
  int completions = 0;
  // Runs inside the completion step, before it is counted.
  std::function<void()> duringCompletion;

  std::int64_t FreeDiskSpace(const std::string& volume) override {
    freeSpaceAsked.push_back(volume);
    auto it = freeMiB.find(volume);
    if (it == freeMiB.end()) return std::int64_t(1) << 40;
    return it->second < 0 ? -1 : it->second * 1048576;
  }
  TSystemFolders SystemFolders() override { return systemFolders; }
  void WindowsVersion(int& major, int& minor) override {
    major = windowsMajor;
    minor = windowsMinor;
  }
  bool DetectMSSQLLocal(ui::TComboBox& list) override {
    if (!localServers) return ::DetectMSSQLLocal(list);
    list.SetItems(*localServers);
    list.SetItemIndex(localServers->empty() ? -1 : 0);
    return !localServers->empty();
  }
  bool BrowseForFolder(ui::TForm&, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) override {
    folderRequests.push_back({title, root, initial});
    if (folderAnswers.empty()) return false;
    std::optional<std::string> answer = folderAnswers.front();
    folderAnswers.pop_front();
    if (answer) folder = *answer;
    return answer.has_value();
  }
  void PlainMessageBox(ui::TForm&, const std::string& text) override { plainMessages.push_back(text); }
  void ShowSystemInformation(ui::TForm&) override { ++systemInfoShown; }
  void OpenAddress(ui::TForm&, const std::string& address) override { opened.push_back(address); }
  void LoadApplicationIcon(ui::TForm& window, const std::string& resourceName) override {
    iconsLoaded.push_back(resourceName);
    window.SetIcon(resourceName);
  }
  void ReportError(const std::string& error, const std::string& supportAddress) override {
    reports.push_back(error);
    reportAddresses.push_back(supportAddress);
  }
  bool DownloadDefinition(const std::string& url, std::string& local) override {
    downloads.push_back(url);
    if (duringDefinitionDownload) duringDefinitionDownload();
    if (StopRequested) return false;
    auto it = definitions.find(url);
    if (it == definitions.end()) return false;
    local = it->second;
    return true;
  }
  bool StahniSoubor(const TSetupDat& definition, const std::string& fileName, std::string& path,
                    engine::ProgressSink* progress, bool reportError, bool mssql, const std::string& sha256) override {
    fetched.push_back(fileName);
    if (Listed(throwing, fileName)) throw std::runtime_error(fileName + " is broken");
    if (Listed(failing, fileName)) return false;
    auto it = files.find(fileName);
    if (it != files.end()) {
      path = it->second;
      return true;
    }
    return definition.StahniSoubor(fileName, path, progress, reportError, mssql, sha256);
  }
  void CreateVelmorINI(const std::string& adrInstall, const std::string& server, const std::string& database,
                       const std::function<bool()>& replace) override {
    configurations.push_back({adrInstall, server, database, static_cast<bool>(replace)});
  }
  void RunCompletion(const std::string&, TTypeInstall, const TCompletionChoice&) override {
    if (duringCompletion) duringCompletion();
    ++completions;
  }

 private:
  static bool Listed(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
      if (n == name) return true;
    return false;
  }
};

}  // namespace wizard_test
