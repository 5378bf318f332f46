#include "upgrade.h"

#include "db/schema_version.h"
#include "platform/failure.h"
#include "platform/layout.h"
#include "platform/whole_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

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

void noteCodeTables(const QString& folder, const QString& notePath) {
    const QByteArray fingerprint = fingerprintOf(folder) + '\n';
    try {
        platform::writeWhole(notePath,
                             {fingerprint.constData(), static_cast<size_t>(fingerprint.size())});
    } catch (const platform::FileFailure& failure) {
        throw platform::Failure(QStringLiteral("%1: %2").arg(
            QDir::current().absoluteFilePath(notePath), failure.reason()));
    }
}

std::optional<ImportReport> refreshShippedCodeTables(const QString& folder,
                                                     const std::function<void()>& beforeRefresh) {
    const QString notePath = QString::fromLatin1(kShippedCodesNote);
    QFile noted(notePath);
    if (noted.open(QIODevice::ReadOnly) && noted.readAll().trimmed() == fingerprintOf(folder))
        return std::nullopt;
    beforeRefresh();
    // The program's own tables are taken even when stored data still refers to codes they no
    // longer hold: those references are what the report lists for the user to mend.
    ImportReport report = importCodeTables(folder, true);
    noteCodeTables(folder, notePath);
    return report;
}

std::optional<ImportReport> upgradeWorkingDatabase(const std::function<void()>& beforeRefresh) {
    db::migrateSchema();
    const QString shipped = platform::shippedCodeTablesFolder();
    if (shipped.isEmpty())
        return std::nullopt;
    return refreshShippedCodeTables(shipped, beforeRefresh);
}

}  // namespace codetables
