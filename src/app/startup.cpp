#include "startup.h"

#include "UnitFo.h"
#include "UnitKodfrissites.h"
#include "backup/backups.h"
#include "backup/damaged_database.h"
#include "codetables/upgrade.h"
#include "db/connection.h"
#include "institution/institution_records.h"
#include "pickers/UnitFa.h"
#include "platform/failure.h"
#include "platform/folder_lock.h"
#include "platform/layout.h"
#include "platform/message_box.h"
#include "platform/widgets/window_placement.h"
#include "purchase/widgets/UnitAdatlapBR.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

namespace app {

std::unique_ptr<TFormFo> createStartupWindows() {
    // A broken file fails the save menu's statement as well; only the failure that ends the
    // start-up is shown, the one naming the missing table or column.
    platform::HeldFailures held;
    auto main = std::make_unique<TFormFo>();
    // A tree picker is created with the main window and stays hidden; the editors create their
    // own.
    new TFormFa(main.get());
    // So is a purchase editor, which is never shown; it opens its tables, so a missing or
    // mismatched table ends the program here rather than later.
    new TFormAdatlapBR(main.get());
    held.release();
    return main;
}

namespace {

int startupFailed(const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    platform::reportFailure(failure);
    return 1;
}

// The lock of the working folder; a folder another instance works in is told in a warning box
// (and on the error output), and there is no lock.
std::unique_ptr<platform::WorkingFolderLock> lockedWorkingFolder() {
    try {
        return std::make_unique<platform::WorkingFolderLock>(QDir::currentPath());
    } catch (const platform::LockRefused& refused) {
        std::fprintf(stderr, "%s\n", refused.what());
        platform::showWarning(refused.text());
        return nullptr;
    }
}

}  // namespace

int runInCurrentFolder(const codetables::ImportReport& refreshed) {
    const std::unique_ptr<platform::WorkingFolderLock> lock = lockedWorkingFolder();
    if (!lock)
        return 1;
    std::unique_ptr<TFormFo> main;
    try {
        main = createStartupWindows();
    } catch (const std::exception& failure) {
        return startupFailed(failure);
    }
    backup::backUpIfDue(backup::warnInWindow);
    platform::centreOnScreen(main.get());
    main->show();
    QTimer::singleShot(0, main.get(), &TFormFo::showOverviewAtStart);
    if (!refreshed.dangling.isEmpty()) {
        auto* dangling = new TFormKodfrissites(refreshed, main.get());
        dangling->setAttribute(Qt::WA_DeleteOnClose);
        dangling->show();
    }
    return QApplication::exec();
}

int run() {
    codetables::ImportReport refreshed;
    try {
        // A damaged database is neither upgraded nor opened; a backup may take its place.
        // Checked, restored and upgraded only while no other instance works in the folder.
        enterWorkingFolder();
        const std::unique_ptr<platform::WorkingFolderLock> lock = lockedWorkingFolder();
        if (!lock)
            return 1;
        if (!backup::checkDatabaseAtStart())
            return 1;
        refreshed = enterAndUpgrade(backup::warnInWindow);
    } catch (const std::exception& failure) {
        db::closeConnection();
        return startupFailed(failure);
    }
    return runInCurrentFolder(refreshed);
}

}  // namespace app
