// TSetupDat's download operations: the definition's locations around setup/Downloader.
#include "setup/Downloader.h"
#include "setup/SetupDat.h"

bool TSetupDat::DownloadFile(const std::string& URLFileName, std::string& SaveFileName, engine::ProgressSink* progress,
                             bool HlasitChybu, std::uint64_t maxBytes) const {
  return ::DownloadFile(URLFileName, SaveFileName, progress, HlasitChybu, maxBytes);
}

bool TSetupDat::StahniSoubor(const std::string& FileName, std::string& FileNameWithPath,
                             engine::ProgressSink* progress, bool HlasitChybu, bool MSSQL,
                             const std::string& sha256) const {
  return ::StahniSoubor({FLocalPath, FInstallServer, FMSSQLInstall}, FileName, FileNameWithPath, progress,
                        HlasitChybu, MSSQL, sha256);
}
