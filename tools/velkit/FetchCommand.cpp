// velkit fetch: downloads one address the way the installer does (HEAD for the name, the file in
// the temporary folder, the same client and checks), for trying a kit's web location and for the
// download benchmark.
#include <cstdio>

#include "Command.h"
#include "platform/HttpClient.h"
#include "setup/Downloader.h"
#include "support/InstallLog.h"

namespace velkit {
namespace {

int Fetch(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {"ca"}, {"progress"});
  if (o.positional.size() != 1) throw UsageError{"one address is needed"};
  if (const std::string* ca = o.Get("ca")) http::DefaultOptions().caFile = *ca;
  int last = -1;
  DownloadBar progress([&last](int position) {
    if (position == last) return;
    last = position;
    std::fprintf(stderr, "\r%3d %%", position);
    std::fflush(stderr);
  });
  std::string saved;
  bool ok = DownloadFile(o.positional[0], saved, o.Has("progress") ? &progress : nullptr, false);
  if (o.Has("progress") && last >= 0) std::fprintf(stderr, "\n");
  if (ok) {
    std::printf("%s\n", saved.c_str());
    return ExitOk;
  }
  bool explained = false;
  for (const std::string& line : InstallLog().Log())
    if (line.find(DownloadErrorLogText()) != std::string::npos) {
      std::fprintf(stderr, "velkit fetch: %s\n", line.c_str());
      explained = true;
    }
  if (!explained) std::fprintf(stderr, "velkit fetch: %s is not a web address\n", o.positional[0].c_str());

  return ExitFailed;
}

Registrar fetch({"fetch", "", "URL [--progress] [--ca PEM]",
                 "downloads URL into the temporary folder like the installer (prints the file's path)", Fetch});

}  // namespace
}  // namespace velkit
