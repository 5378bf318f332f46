#include "move_file.h"

#include "platform/whole_file.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

namespace transmission {

QString moveReplacing(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    if (errno != EXDEV)
        return platform::systemReason(errno);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    try {
        platform::writeWhole(to, {bytes.constData(), static_cast<size_t>(bytes.size())});
    } catch (const platform::FileFailure& failure) {
        return failure.reason();
    }
    source.close();
    return source.remove() ? QString() : source.errorString();
}

}  // namespace transmission
