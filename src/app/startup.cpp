#include "startup.h"

#include "UnitFo.h"
#include "pickers/UnitFa.h"
#include "platform/failure.h"
#include "platform/folder_lock.h"
#include "platform/message_box.h"
#include "platform/window_placement.h"
#include "purchase/UnitAdatlapBR.h"

#include <QApplication>
#include <QDir>

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

int runInCurrentFolder() {
    const platform::WorkingFolderLock lock(QDir::currentPath());
    if (const auto& refusal = lock.refusal()) {
        std::fprintf(stderr, "%s\n", refusal->toUtf8().constData());
        platform::showWarning(*refusal);
        return 1;
    }
    std::unique_ptr<TFormFo> main;
    try {
        main = createStartupWindows();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        platform::reportFailure(failure);
        return 1;
    }
    platform::centreOnScreen(main.get());
    main->show();
    return QApplication::exec();
}

int run() {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    return runInCurrentFolder();
}

}  // namespace app
