#include "archive_checksums.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace transmission {

namespace {

QByteArray digestOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

}  // namespace

bool writeChecksums(const QString& folder) {
    const QDir dir(folder);
    QByteArray list;
    for (const QString& name : dir.entryList({QStringLiteral("*.zip"), QStringLiteral("*.txt")},
                                             QDir::Files, QDir::Name)) {
        const QByteArray digest = digestOf(dir.filePath(name));
        if (digest.isEmpty())
            return false;
        list += digest + "  " + name.toUtf8() + '\n';
    }
    QSaveFile file(dir.filePath(QString::fromLatin1(kChecksumFileName)));
    return file.open(QIODevice::WriteOnly) && file.write(list) == list.size() && file.commit();
}

}  // namespace transmission
