#pragma once

#include "backup/backups.h"
#include "codetables/import_codes.h"

#include <memory>

class TFormFo;

namespace app {

// The start-up windows, in their order: the main window (which opens the database connection and
// builds the save menu), a hidden tree picker and a hidden purchase editor. A fault in
// the database file is a Failure and no window remains.
std::unique_ptr<TFormFo> createStartupWindows();

// Creates the start-up windows in the current folder, shows the main window and runs until it
// closes, holding the folder's lock meanwhile; when a refresh of the code tables left stored data
// referring to codes no longer present, a window lists them. A start-up failure is shown in the
// error box, a folder another instance holds in a warning box; either gives exit status 1.
int runInCurrentFolder(const codetables::ImportReport& refreshed = {});

// Makes the working folder of the program's layout the current folder; a Failure when it cannot.
void enterWorkingFolder();

// Makes the working folder of the program's layout the current folder (making the user's data
// folder on the first start of an installed program) and brings its database up to this program
// (codetables::upgradeWorkingDatabase), backing it up before a code-table refresh and telling
// notice of a backup that failed, and of report keys that more than one data-provider record
// holds. What the code tables' refresh reported, if one was made.
codetables::ImportReport enterAndUpgrade(const backup::FailureNotice& notice);

// The database's check at start (backup::checkDatabaseAtStart), enterAndUpgrade, then
// runInCurrentFolder; after the start-up windows, a backup when the newest is a day old.
int run();

}  // namespace app
