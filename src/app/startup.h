#pragma once

#include <memory>

class TFormFo;

namespace app {

// The start-up windows, in their order: the main window (which opens the database connection and
// builds the save menu), a hidden tree picker and a hidden purchase editor. A fault in
// the database file is a Failure and no window remains.
std::unique_ptr<TFormFo> createStartupWindows();

// Creates the start-up windows in the current folder, shows the main window and runs until it
// closes, holding the folder's lock meanwhile. A start-up failure is shown in the error box, a
// folder another instance holds in a warning box; either gives exit status 1.
int runInCurrentFolder();

// Makes the program's own folder the current folder, then runInCurrentFolder.
int run();

}  // namespace app
