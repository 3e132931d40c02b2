// The exit code of an unattended installation, from how the run ended.
#include <gtest/gtest.h>

#include "app/ExitCode.h"

namespace {

using engine::RunOutcome;

TEST(ExitCode, FollowsTheRunsEnding) {
  struct Case {
    const char* what;
    TUnattendedEnding ending;
    int code;
  } cases[] = {
      {"installed", {RunOutcome::Completed}, 0},
      {"installed, SQL Server wants a restart", {RunOutcome::Completed, false, false, true}, 3010},
      {"a package of a new installation missing", {RunOutcome::Completed, true}, 1603},
      {"missing package and restart: still a failure", {RunOutcome::Completed, true, false, true}, 1603},
      {"files in use", {RunOutcome::Cancelled}, 1603},
      {"backup failed", {RunOutcome::BackupFailed}, 1603},
      {"a package of an update failed, restored", {RunOutcome::PackageFailed}, 1603},
      {"a download failed between packages", {RunOutcome::Interrupted}, 1603},
      {"the progress window closed", {RunOutcome::Interrupted, false, true}, 1602},
      {"closed while the backup ran", {RunOutcome::BackupFailed, false, true}, 1602},
      {"closed, but the run had completed", {RunOutcome::Completed, false, true}, 0},
      {"a page refused before the run", {std::nullopt}, 1603},
      {"a SQL Server setup failed, restart asked", {std::nullopt, false, false, true}, 1603},
      {"a version the index does not offer", {std::nullopt, false, false, false, true}, 87},
  };
  for (const Case& c : cases) EXPECT_EQ(ExitCodeOf(c.ending), c.code) << c.what;
}

}  // namespace
