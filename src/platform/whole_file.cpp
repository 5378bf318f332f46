#include "whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace platform {

namespace {

// Waits for the folder's entries (a rename into it) to reach the disk.
int syncFolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder =
        slash < 0 ? QByteArray(".") : path.left(std::max<qsizetype>(slash, 1));
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    const int error = ::fsync(descriptor) == 0 ? 0 : errno;
    ::close(descriptor);
    return error;
}

bool writeAll(int descriptor, std::string_view bytes) {
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t written = ::write(descriptor, bytes.data() + at, bytes.size() - at);
        if (written < 0 && errno != EINTR)
            return false;
        at += static_cast<size_t>(std::max<ssize_t>(written, 0));
    }
    return true;
}

}  // namespace

FileFailure::FileFailure(const QString& action, const QString& path, const QString& reason)
    : Failure(QStringLiteral("%1 %2. %3").arg(action, path, reason)), reason_(reason) {}

QString systemReason(int error) {
    char buffer[256];
    // The GNU form: the text may or may not be written into the buffer.
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

WholeFile::WholeFile(const QString& target, Durability durability)
    : shownPath_(QDir::toNativeSeparators(target)),
      target_(QFile::encodeName(target)),
      temporary_(target_ + ".tmp"),
      durability_(durability) {}

WholeFile::~WholeFile() {
    discard();
}

WholeFile::WholeFile(WholeFile&& other) noexcept
    : shownPath_(std::move(other.shownPath_)),
      target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      durability_(other.durability_),
      descriptor_(std::exchange(other.descriptor_, -1)) {}

WholeFile& WholeFile::operator=(WholeFile&& other) noexcept {
    if (this != &other) {
        discard();
        shownPath_ = std::move(other.shownPath_);
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        durability_ = other.durability_;
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

// A temporary file left by a program that was killed is emptied; a link under the temporary
// name is removed, never followed.
void WholeFile::open() {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
    descriptor_ = ::open(temporary_.constData(), kFlags, 0666);
    if (descriptor_ < 0 && errno == ELOOP && ::unlink(temporary_.constData()) == 0)
        descriptor_ = ::open(temporary_.constData(), kFlags, 0666);
    if (descriptor_ < 0)
        fail("Cannot create file", errno);
    struct stat replaced {};
    if (durability_.keepMode && ::stat(target_.constData(), &replaced) == 0)
        ::fchmod(descriptor_, replaced.st_mode & 07777);
}

void WholeFile::write(std::string_view bytes) {
    if (descriptor_ < 0)
        open();
    if (!writeAll(descriptor_, bytes))
        fail("Cannot write file", errno);
}

// A full disk may show only when the file is synced or closed.
void WholeFile::commit() {
    write({});
    if (durability_.syncFile && ::fsync(descriptor_) != 0)
        fail("Cannot write file", errno);
    if (::close(std::exchange(descriptor_, -1)) != 0) {
        const int error = errno;
        ::unlink(temporary_.constData());
        fail("Cannot write file", error);
    }
    if (::rename(temporary_.constData(), target_.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary_.constData());
        fail("Cannot write file", error);
    }
    if (durability_.syncFolder) {
        if (const int error = syncFolderOf(target_))
            throw FileFailure(QStringLiteral("Cannot write file"), shownPath_, systemReason(error));
    }
}

void WholeFile::discard() {
    if (descriptor_ < 0)
        return;
    ::close(std::exchange(descriptor_, -1));
    ::unlink(temporary_.constData());
}

void WholeFile::fail(const char* action, int error) {
    discard();
    throw FileFailure(QLatin1StringView(action), shownPath_, systemReason(error));
}

void writeWhole(const QString& target, std::string_view bytes, Durability durability) {
    WholeFile file(target, durability);
    file.write(bytes);
    file.commit();
}

void removeFile(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return;
    const int error = errno;
    throw FileFailure(QStringLiteral("Cannot delete file"), QDir::toNativeSeparators(path),
                      systemReason(error));
}

void renameIntoPlace(const QString& temporary, const QString& target, Durability durability) {
    const QByteArray encodedTarget = QFile::encodeName(target);
    int error = ::rename(QFile::encodeName(temporary).constData(), encodedTarget.constData()) == 0
                    ? 0
                    : errno;
    if (error == 0 && durability.syncFolder)
        error = syncFolderOf(encodedTarget);
    if (error != 0)
        throw FileFailure(QStringLiteral("Cannot write file"), QDir::toNativeSeparators(target),
                          systemReason(error));
}

}  // namespace platform
