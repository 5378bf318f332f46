#include "replace_file.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace transmission {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes every byte to the descriptor; 0 when written, otherwise the error.
int writeAll(int descriptor, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written =
            ::write(descriptor, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno != EINTR)
            return errno;
        done += written > 0 ? written : 0;
    }
    return 0;
}

}  // namespace

QString replaceFile(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp";
    const int descriptor =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return systemReason(errno);
    int error = writeAll(descriptor, bytes);
    // A full disk may show only when the file is closed.
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.constData());
    return error == 0 ? QString() : systemReason(error);
}

QString moveReplacing(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    if (errno != EXDEV)
        return systemReason(errno);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    if (const QString failure = replaceFile(to, bytes); !failure.isEmpty())
        return failure;
    source.close();
    return source.remove() ? QString() : source.errorString();
}

}  // namespace transmission
