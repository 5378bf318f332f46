#pragma once

#include "backup/backups.h"
#include "codetables/import_codes.h"

namespace app {

// Makes the working folder of the program's layout the current folder; a Failure when it cannot.
void enterWorkingFolder();

// Makes the working folder of the program's layout the current folder (making the user's data
// folder on the first start of an installed program) and brings its database up to this program
// (codetables::upgradeWorkingDatabase), backing it up before a code-table refresh and telling
// notice of a backup that failed, and of report keys that more than one data-provider record
// holds. What the code tables' refresh reported, if one was made.
codetables::ImportReport enterAndUpgrade(const backup::FailureNotice& notice);

}  // namespace app
