#pragma once
// Texts of the installation run's safeguards: a target that is no installation folder, files
// in use before an update, a package that fails during an update. Four languages like every
// catalogue text (CZ, EN, DE, SK).
#include "support/Catalogue.h"

// %s: the package's file name, then why it failed.
extern const TMessage msgPackageFailed;
// %s: the target folder, then the programs, one a line.
extern const TMessage msgFilesInUse;
// The buttons of a Retry/Cancel question.
extern const TMessage msgRetry;
extern const TMessage msgCancel;
// %s: the refused folder, then a folder of its own inside it.
extern const TMessage msgTargetNotInstallationFolder;
// %s: the folder (a question: the dialog appends " ? ").
extern const TMessage msgFolderNotEmpty;
