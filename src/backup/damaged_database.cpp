#include "damaged_database.h"

#include "backups.h"
#include "database_check.h"
#include "db/connection.h"
#include "platform/failure.h"
#include "platform/message_box.h"

#include <QDir>
#include <QFileInfo>

namespace backup {

QString damagedDatabaseText(const QString& damage) {
    return QStringLiteral("Az adatbázis (%1) sérült: %2")
        .arg(QDir::toNativeSeparators(QString::fromLatin1(db::kDatabasePath)),
             platform::withFullStop(damage));
}

bool checkDatabaseAtStart(const QDateTime& now) {
    const QString database = QString::fromLatin1(db::kDatabasePath);
    if (!QFileInfo(database).isFile())
        return true;
    const std::optional<QString> damage = damageOf(database);
    if (!damage)
        return true;
    const auto backup = newestSoundBackup();
    if (!backup) {
        platform::showError(damagedDatabaseText(*damage) +
                            QStringLiteral("\nNincs ép biztonsági mentés"));
        return false;
    }
    using platform::Button;
    const QString question =
        damagedDatabaseText(*damage) +
        QStringLiteral(
            "\n\nA legutóbbi ép biztonsági mentés: %1 (%2).\nVisszatölti? A sérült "
            "fájl megmarad az Adatok mappában.")
            .arg(takenText(backup->taken), describe(contentsOf(backup->path)));
    if (platform::showConfirmation(question, {Button::Yes, Button::No}) != Button::Yes)
        return false;
    return platform::runCommand([&] { replaceDamagedDatabase(backup->path, now); });
}

}  // namespace backup
