#include "file_queue.h"

#include "failure.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {

namespace {

// The worker is woken for this many operations or bytes at a time, not for every one: waking it
// costs the writer more than a small file does.
constexpr size_t kBatch = 32;
constexpr size_t kBatchBytes = 1 << 20;
// The writer waits while the files queued and those being written hold this much, so that a slow
// disk does not let the queue hold the whole run.
constexpr size_t kMostHeldBytes = 8 << 20;

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

bool writeAll(int descriptor, std::string_view bytes) {
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t written = ::write(descriptor, bytes.data() + at, bytes.size() - at);
        if (written < 0 && errno != EINTR)
            return false;
        at += static_cast<size_t>(std::max<ssize_t>(written, 0));
    }
    return true;
}

std::optional<QString> finishFile(int descriptor, std::string_view bytes,
                                  const QByteArray& temporary, const QByteArray& target,
                                  const QString& shownPath) {
    const auto failed = [&](const char* action, int error) {
        ::unlink(temporary.constData());
        return QStringLiteral("%1 %2. %3").arg(QLatin1StringView(action), shownPath, reason(error));
    };
    if (descriptor < 0) {
        descriptor = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor < 0)
            return failed("Cannot create file", errno);
    }
    if (!writeAll(descriptor, bytes)) {
        const int error = errno;
        ::close(descriptor);
        return failed("Cannot write file", error);
    }
    if (::close(descriptor) != 0 || ::rename(temporary.constData(), target.constData()) != 0)
        return failed("Cannot write file", errno);
    return std::nullopt;
}

FileQueue::FileQueue() : worker_([this] { work(); }) {}

FileQueue::~FileQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void FileQueue::remove(const QString& path) {
    Operation operation;
    operation.path = QDir::toNativeSeparators(path);
    operation.target = QFile::encodeName(path);
    add(std::move(operation));
}

void FileQueue::commit(int descriptor, std::string bytes, QByteArray temporary,
                       const QString& target) {
    Operation operation;
    operation.path = QDir::toNativeSeparators(target);
    operation.target = QFile::encodeName(target);
    operation.temporary = std::move(temporary);
    operation.descriptor = descriptor;
    operation.bytes = std::move(bytes);
    add(std::move(operation));
}

void FileQueue::add(Operation operation) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return heldBytes_ < kMostHeldBytes; });
    queuedBytes_ += operation.bytes.capacity();
    heldBytes_ += operation.bytes.capacity();
    // Other work is waited for: the worker is woken for it at once.
    awaited_ = awaited_ || operation.work;
    queued_.push_back(std::move(operation));
    if (due())
        changed_.notify_all();
}

int FileQueue::folderError(const QByteArray& folder) {
    if (writableFolders_.contains(folder))
        return 0;
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return errno;
    writableFolders_.insert(folder);
    return 0;
}

void FileQueue::finish() {
    std::unique_lock lock(mutex_);
    waitedFor_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
    waitedFor_ = false;
    lock.unlock();
    check();
}

void FileQueue::check() {
    const std::lock_guard lock(mutex_);
    if (failure_)
        throw Failure(*std::exchange(failure_, std::nullopt));
}

bool FileQueue::due() const {
    return !queued_.empty() && (waitedFor_ || awaited_ || stopping_ || queued_.size() >= kBatch ||
                                queuedBytes_ >= kBatchBytes);
}

void FileQueue::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return due() || stopping_; });
        if (queued_.empty())
            return;
        std::deque<Operation> taken = std::exchange(queued_, {});
        const size_t takenBytes = std::exchange(queuedBytes_, 0);
        awaited_ = false;
        busy_ = true;
        lock.unlock();
        for (Operation& operation : taken) {
            if (std::optional<QString> failed = carryOut(operation)) {
                const std::lock_guard failing(mutex_);
                if (!failure_)
                    failure_ = std::move(failed);
            }
        }
        taken.clear();
        lock.lock();
        heldBytes_ -= takenBytes;
        busy_ = false;
        changed_.notify_all();
    }
}

std::optional<QString> FileQueue::carryOut(const Operation& operation) {
    if (operation.work) {
        operation.work();
        return std::nullopt;
    }
    if (operation.temporary.isEmpty()) {
        if (::unlink(operation.target.constData()) == 0 || errno == ENOENT)
            return std::nullopt;
        return QStringLiteral("Cannot delete file %1. %2").arg(operation.path, reason(errno));
    }
    return finishFile(operation.descriptor, operation.bytes, operation.temporary, operation.target,
                      operation.path);
}

}  // namespace platform
