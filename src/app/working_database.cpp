#include "working_database.h"

#include "codetables/upgrade.h"
#include "db/connection.h"
#include "institution/institution_records.h"
#include "platform/layout.h"

#include <QCoreApplication>

namespace app {

void enterWorkingFolder() {
    platform::enterWorkingFolder(platform::layoutFor(QCoreApplication::applicationDirPath()));
}

codetables::ImportReport enterAndUpgrade(const backup::FailureNotice& notice) {
    enterWorkingFolder();
    db::openConnection();
    const auto refreshed =
        codetables::upgradeWorkingDatabase([&] { backup::backUpBeforeChange(notice); });
    // Another tool may have written a second record of a report key; it is kept for the user
    // to mend, and named at every start until then.
    const QString repeated = institution::repeatedKeysText(institution::repeatedKeys());
    if (!repeated.isEmpty())
        notice(repeated);
    db::closeConnection();
    return refreshed.value_or(codetables::ImportReport{});
}

}  // namespace app
