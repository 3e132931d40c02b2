// TSetupDat's download operations: the definition's locations and bar around setup/Downloader.
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "ui/Controls.h"

namespace {
DownloadProgress BarOf(const TSetupDat& dat) {
  if (!dat.ProgressDownload()) return {};
  return [&dat](int position) {
    if (ui::TProgressBar* bar = dat.ProgressDownload()) bar->SetPosition(position);
  };
}
}  // namespace

bool TSetupDat::DownloadFile(const std::string& URLFileName, std::string& SaveFileName, ui::TProgressBar* ProgressDown,
                             bool HlasitChybu, std::uint64_t maxBytes) {
  FProgressDownload = ProgressDown;
  return ::DownloadFile(URLFileName, SaveFileName, BarOf(*this), HlasitChybu, maxBytes);
}

bool TSetupDat::StahniSoubor(const std::string& FileName, std::string& FileNameWithPath, ui::TProgressBar* ProgessBar,
                             bool HlasitChybu, bool MSSQL) {
  // The bar is the download's bar should the file come from a web location.
  FProgressDownload = ProgessBar;
  return ::StahniSoubor({FLocalPath, FInstallServer, FMSSQLInstall}, FileName, FileNameWithPath, BarOf(*this),
                        HlasitChybu, MSSQL);
}
