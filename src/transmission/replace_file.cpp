#include "replace_file.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace transmission {

QString replaceFile(const QString& path, const QByteArray& bytes) {
    QFile file(path + QStringLiteral(".tmp"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        return reason;
    }
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.remove();
        return reason;
    }
    return {};
}

}  // namespace transmission
