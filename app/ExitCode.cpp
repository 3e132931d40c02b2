#include "app/ExitCode.h"

int ExitCodeOf(const TUnattendedEnding& ending) {
  if (ending.BadArgument) return ExitBadCommandLine;
  if (ending.Outcome == engine::RunOutcome::Completed && !ending.PackagesMissing)
    return ending.RestartNeeded ? ExitRestartNeeded : ExitInstalled;
  // Whatever else happened, a run the user stopped ends as cancelled (an update has been
  // restored on the way); everything else is a failure the log explains.
  if (ending.ClosedByUser) return ExitCancelled;
  return ExitFailed;
}
