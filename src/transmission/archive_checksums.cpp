#include "archive_checksums.h"

#include "platform/whole_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

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
        lines_[name] = hash.result().toHex() + "  " + name.toUtf8() + '\n';
    else
        lines_.erase(name);
}

void ArchiveChecksums::add(const QString& name, const QByteArray& bytes) {
    lines_[name] = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "  " +
                   name.toUtf8() + '\n';
}

void ArchiveChecksums::write() const {
    QByteArray list;
    // A line of a name of 22 characters is 89 bytes long.
    list.reserve(static_cast<qsizetype>(lines_.size()) * 89);
    for (const auto& [name, line] : lines_)
        list += line;
    platform::writeWhole(QDir(folder_).filePath(QString::fromLatin1(kChecksumFileName)),
                         {list.constData(), static_cast<size_t>(list.size())});
}

}  // namespace transmission
