#include "upgrade.h"

#include "db/schema_version.h"
#include "platform/failure.h"
#include "platform/layout.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace codetables {

QByteArray fingerprintOf(const QString& folder) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QDir dir(folder);
    for (const QFileInfo& entry :
         dir.entryInfoList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly))
            throw platform::Failure(
                QStringLiteral("%1: %2").arg(entry.filePath(), file.errorString()));
        hash.addData(entry.fileName().toUtf8() + '\n');
        hash.addData(&file);
    }
    return hash.result().toHex();
}

std::optional<ImportReport> refreshShippedCodeTables(const QString& folder) {
    const QByteArray fingerprint = fingerprintOf(folder);
    QFile noted(QString::fromLatin1(kShippedCodesNote));
    if (noted.open(QIODevice::ReadOnly) && noted.readAll().trimmed() == fingerprint)
        return std::nullopt;
    ImportReport report = importCodeTables(folder);
    QSaveFile note(noted.fileName());
    if (!note.open(QIODevice::WriteOnly) || note.write(fingerprint + '\n') < 0 || !note.commit())
        throw platform::Failure(QStringLiteral("%1: %2").arg(
            QDir::current().absoluteFilePath(noted.fileName()), note.errorString()));
    return report;
}

std::optional<ImportReport> upgradeWorkingDatabase() {
    db::migrateSchema();
    const QString shipped = platform::shippedCodeTablesFolder();
    if (shipped.isEmpty())
        return std::nullopt;
    return refreshShippedCodeTables(shipped);
}

}  // namespace codetables
