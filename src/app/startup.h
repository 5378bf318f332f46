#pragma once

#include "codetables/import_codes.h"
#include "working_database.h"

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

// The database's check at start (backup::checkDatabaseAtStart), enterAndUpgrade, then
// runInCurrentFolder; after the start-up windows, a backup when the newest is a day old.
int run();

}  // namespace app
