#include "damaged_database.h"

#include "backups.h"
#include "database_check.h"
#include "db/connection.h"
#include "platform/failure.h"
#include "platform/message_box.h"

#include <QDir>
#include <QFileInfo>

namespace backup {

namespace {

// The question whether the newest sound backup is to take the damaged database's place.
bool offerRescue(const QString& damage, const QDateTime& now) {
    const auto backup = newestSoundBackup();
    if (!backup) {
        platform::showError(damage + QStringLiteral("\nNincs ép biztonsági mentés"));
        return false;
    }
    using platform::Button;
    const QString question =
        damage + QStringLiteral(
                     "\n\nA legutóbbi ép biztonsági mentés: %1 (%2).\nVisszatölti? A sérült "
                     "adatbázis másolata megmarad: %3. Ha nem tölti vissza, a program "
                     "kilép, és az adatbázis nem változik.")
                     .arg(takenText(backup->taken), describe(contentsOf(backup->path)),
                          QDir::toNativeSeparators(keptDamagedName(now)));
    if (platform::showConfirmation(question, {Button::Yes, Button::No}, Button::No) != Button::Yes)
        return false;
    return platform::runCommand([&] { replaceDamagedDatabase(backup->path, now); });
}

}  // namespace

bool checkDatabaseAtStart(const QDateTime& now) {
    const QString database = QString::fromLatin1(db::kDatabasePath);
    if (!QFileInfo(database).isFile())
        return true;
    const Finding finding = examineDatabase(database);
    switch (finding.kind) {
        case Finding::Kind::Sound:
            return true;
        case Finding::Kind::Damaged:
            return offerRescue(finding.text, now);
        case Finding::Kind::Held:
        case Finding::Kind::Inaccessible:
            platform::showWarning(finding.text);
            return false;
    }
    return false;
}

}  // namespace backup
