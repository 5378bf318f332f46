#include "file_queue.h"

#include "failure.h"

#include <QDir>
#include <QFile>

#include <new>
#include <utility>

namespace platform {

namespace {

// The worker is woken for this many operations or bytes at a time, not for every one: waking it
// costs the writer more than a small file does.
constexpr size_t kBatch = 32;
constexpr size_t kBatchBytes = 1 << 20;
// The writer waits while the files queued and those being written hold this much, so that a slow
// disk does not let the queue hold the whole run.
constexpr size_t kMostHeldBytes = 4 << 20;

}  // namespace

FileQueue::FileQueue() : worker_([this] { work(); }) {}

FileQueue::~FileQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void FileQueue::commit(WholeFile file, std::string bytes, std::function<std::string()> makeBytes,
                       size_t expectedBytes) {
    const size_t held = bytes.capacity() + expectedBytes;
    add({std::move(file), std::move(bytes), std::move(makeBytes), {}, held});
}

void FileQueue::add(Operation operation) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return heldBytes_ < kMostHeldBytes; });
    queuedBytes_ += operation.held;
    // Work is waited for: the worker is woken for it at once.
    awaited_ = awaited_ || operation.work;
    heldBytes_ += operation.held;
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

// The thread's only work; whatever goes wrong, down to a lack of memory, is the file's failure,
// told as what it is.
std::optional<QString> FileQueue::carryOut(Operation& operation) noexcept {
    const auto failed = [&operation](const QString& text) {
        if (operation.file)
            operation.file->discard();
        return text;
    };
    try {
        if (operation.work) {
            operation.work();  // a packaged task: what it throws is its future's
            return std::nullopt;
        }
        if (operation.makeBytes)
            operation.bytes = operation.bytes.empty() ? operation.makeBytes()
                                                      : operation.bytes + operation.makeBytes();
        operation.file->write(operation.bytes);
        operation.file->commit();
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return failed(QStringLiteral("Cannot write file: the program ran out of memory"));
    } catch (const Failure& failure) {
        return failed(failure.text());
    } catch (const std::exception& failure) {
        return failed(QStringLiteral("Cannot write file: ") + QString::fromUtf8(failure.what()));
    } catch (...) {
        return failed(QStringLiteral("Cannot write file: an unknown failure"));
    }
}

}  // namespace platform
