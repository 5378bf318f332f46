#include "move_file.h"

#include "platform/whole_file.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>

namespace transmission {

void moveReplacing(const QString& from, const QString& to) {
    const QString shown = QDir::toNativeSeparators(from);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return;
    if (errno != EXDEV)
        throw platform::FileFailure(QStringLiteral("Cannot move file"), shown,
                                    platform::systemReason(errno));
    QFile source(from);
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    if (source.error() != QFileDevice::NoError)
        throw platform::FileFailure(QStringLiteral("Cannot read file"), shown,
                                    source.errorString());
    platform::writeWhole(to, {bytes.constData(), static_cast<size_t>(bytes.size())});
    source.close();
    if (!source.remove())
        throw platform::FileFailure(QStringLiteral("Cannot delete file"), shown,
                                    source.errorString());
}

}  // namespace transmission
