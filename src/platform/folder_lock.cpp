#include "folder_lock.h"

#include "whole_file.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// The process id the holder wrote into the file; "?" when it cannot be read.
QString holderOf(int descriptor) {
    char text[32] = {};
    const ssize_t read = ::pread(descriptor, text, sizeof text - 1, 0);
    bool number = false;
    const qint64 pid = QByteArray(text, read > 0 ? read : 0).trimmed().toLongLong(&number);
    return number ? QString::number(pid) : QStringLiteral("?");
}

// The whole file, locked for this open file, whichever other descriptors the process has on it.
bool lockWhole(int descriptor) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(descriptor, F_OFD_SETLK, &whole) == 0;
}

// The lock is one file that stays in place while it is held: its text is rewritten in it, not
// replaced by another file. The text only informs, so one that could not be written does not
// give up the lock.
bool writeHolder(int descriptor) {
    const QByteArray text = QByteArray::number(::getpid()) + '\n';
    return ::ftruncate(descriptor, 0) == 0 &&
           ::pwrite(descriptor, text.constData(), text.size(), 0) == text.size();
}

}  // namespace

WorkingFolderLock::WorkingFolderLock(const QString& folder) {
    const QString shown = QDir::toNativeSeparators(QDir(folder).absolutePath());
    descriptor_ = openInPlace(QDir(folder).filePath(QString::fromLatin1(kLockFileName)));
    if (descriptor_ >= 0 && lockWhole(descriptor_)) {
        writeHolder(descriptor_);
        return;
    }
    const int error = errno;
    if (descriptor_ >= 0 && (error == EAGAIN || error == EACCES)) {
        const QString holder = holderOf(descriptor_);
        ::close(descriptor_);
        throw LockRefused(
            QStringLiteral("A program már fut ebben a munkamappában (%1, folyamat: %2). Egy "
                           "munkamappában egyszerre csak egy példánya dolgozhat; lépjen ki a "
                           "másikból, és indítsa újra!")
                .arg(shown, holder));
    }
    if (descriptor_ >= 0)
        ::close(descriptor_);
    throw LockRefused(QStringLiteral("A munkamappa (%1) nem zárolható: a %2 zárolófájl nem "
                                     "nyitható meg írásra (%3). Ellenőrizze, hogy a mappa "
                                     "írható-e, és hogy a %2 közönséges fájl-e!")
                          .arg(shown, QString::fromLatin1(kLockFileName),
                               QString::fromLocal8Bit(std::strerror(error))));
}

WorkingFolderLock::~WorkingFolderLock() {
    ::close(descriptor_);
}

}  // namespace platform
