#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>

namespace platform {

// Writes all the bytes to the descriptor; false, with errno set, when the system refuses them.
bool writeAll(int descriptor, std::string_view bytes);

// Finishes a file written under a temporary name: writes the bytes to the descriptor (or to the
// temporary file it creates when there is none), closes it and renames it to the target's name.
// What failed, as the user is told of it, when the file did not take its name; the temporary file
// is then removed.
std::optional<QString> finishFile(int descriptor, std::string_view bytes,
                                  const QByteArray& temporary, const QByteArray& target,
                                  const QString& shownPath);

// File operations carried out one after another, in the order they were given, on a thread of
// their own: a writer of many files goes on with the next while the file system finishes the
// last. An operation that fails is a Failure at the next call and at finish; the operations
// after it are carried out all the same, so that every file written whole takes its name.
class FileQueue {
public:
    FileQueue();
    // Carries out what is queued, then stops.
    ~FileQueue();
    FileQueue(const FileQueue&) = delete;
    FileQueue& operator=(const FileQueue&) = delete;

    // Deletes the file; one that is gone already counts as deleted.
    void remove(const QString& path);
    // Writes the bytes to the descriptor (or to the temporary file it creates when there is
    // none), closes it and renames the temporary file to the target's name; the temporary file is
    // removed when that fails.
    void commit(int descriptor, std::string bytes, QByteArray temporary, const QString& target);
    // Runs the work after what was given before it; its result, or what it throws, is the
    // future's.
    template <typename Work>
    auto later(Work work) -> std::future<std::invoke_result_t<Work>> {
        auto task =
            std::make_shared<std::packaged_task<std::invoke_result_t<Work>()>>(std::move(work));
        auto result = task->get_future();
        Operation operation;
        operation.work = [task] { (*task)(); };
        add(std::move(operation));
        return result;
    }
    // The error number when files cannot be created in the folder, 0 when they can. A folder found
    // to take files is not asked again: one that stops taking them is a failure of the file.
    // For the thread that gives the operations only.
    int folderError(const QByteArray& folder);
    // Waits until every operation given is done.
    void finish();
    // A Failure for the first operation that failed so far.
    void check();

private:
    struct Operation {
        QString path;  // as the user is told of it
        QByteArray target;
        QByteArray temporary;  // empty for a deletion
        int descriptor = -1;
        std::string bytes;
        std::function<void()> work;  // for other work
    };

    void add(Operation operation);
    void work();
    // Whether the worker has enough to take, or is waited for.
    bool due() const;
    // The text of a failure, when the operation failed.
    static std::optional<QString> carryOut(const Operation& operation);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Operation> queued_;
    size_t queuedBytes_ = 0;
    size_t heldBytes_ = 0;  // queued or being carried out
    bool busy_ = false;
    bool waitedFor_ = false;
    bool awaited_ = false;  // work whose result is waited for is queued
    bool stopping_ = false;
    std::optional<QString> failure_;
    QSet<QByteArray> writableFolders_;
    std::thread worker_;
};

}  // namespace platform
