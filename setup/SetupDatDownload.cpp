// TSetupDat's download operations: the definition's locations and bar around setup/Downloader.
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "ui/Controls.h"

namespace {
// The download's bar is ProgressDownload, looked up at every move as the work event does.
DownloadBar BarOf(const TSetupDat& dat) {
  return DownloadBar([&dat](int position) {
    if (ui::TProgressBar* bar = dat.ProgressDownload()) bar->SetPosition(position);
  });
}
}  // namespace

bool TSetupDat::DownloadFile(const std::string& URLFileName, std::string& SaveFileName, ui::TProgressBar* ProgressDown,
                             bool HlasitChybu, std::uint64_t maxBytes) {
  FProgressDownload = ProgressDown;
  DownloadBar bar = BarOf(*this);
  return ::DownloadFile(URLFileName, SaveFileName, ProgressDown ? &bar : nullptr, HlasitChybu, maxBytes);
}

bool TSetupDat::StahniSoubor(const std::string& FileName, std::string& FileNameWithPath, ui::TProgressBar* ProgessBar,
                             bool HlasitChybu, bool MSSQL) {
  // The bar is the download's bar should the file come from a web location.
  FProgressDownload = ProgessBar;
  DownloadBar bar = BarOf(*this);
  return ::StahniSoubor({FLocalPath, FInstallServer, FMSSQLInstall}, FileName, FileNameWithPath,
                        ProgessBar ? &bar : nullptr, HlasitChybu, MSSQL);
}
