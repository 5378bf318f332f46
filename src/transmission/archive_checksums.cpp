#include "archive_checksums.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace transmission {

ArchiveChecksums::ArchiveChecksums(const QString& folder) : folder_(folder) {
    for (const QString& name :
         QDir(folder).entryList({QStringLiteral("*.zip"), QStringLiteral("*.txt")}, QDir::Files))
        add(name);
}

void ArchiveChecksums::add(const QString& name) {
    QFile file(QDir(folder_).filePath(name));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
        digests_[name] = hash.result().toHex();
    else
        digests_.erase(name);
}

void ArchiveChecksums::add(const QString& name, const QByteArray& bytes) {
    digests_[name] = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString ArchiveChecksums::write() const {
    QByteArray list;
    for (const auto& [name, digest] : digests_)
        list += digest + "  " + name.toUtf8() + '\n';
    QSaveFile file(QDir(folder_).filePath(QString::fromLatin1(kChecksumFileName)));
    if (file.open(QIODevice::WriteOnly) && file.write(list) == list.size() && file.commit())
        return {};
    return file.errorString();
}

}  // namespace transmission
