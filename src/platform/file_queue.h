#pragma once

#include "platform/whole_file.h"

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
#include <thread>
#include <type_traits>

namespace platform {

// Whole files finished one after another, in the order they were given, on the one thread of
// their own: a writer of many files goes on with the next while the file system finishes the
// last. The first file that fails is a Failure at the next call and at finish, and the files
// after it are finished all the same, so that every file written whole takes its name. Nothing
// the thread does can throw past it.
class FileQueue {
public:
    FileQueue();
    // Carries out what is queued, then stops.
    ~FileQueue();
    FileQueue(const FileQueue&) = delete;
    FileQueue& operator=(const FileQueue&) = delete;

    // Writes the last bytes of the file, then those makeBytes makes, if given, and gives the file
    // its name. The bytes are made on the queue's thread so that the writer goes on meanwhile; they
    // are counted as the bytes expected until they are written.
    void commit(WholeFile file, std::string bytes, std::function<std::string()> makeBytes = {},
                size_t expectedBytes = 0);
    // Runs the work on the queue's thread after what was given before it, at once; its result,
    // or what it throws, is the future's.
    template <typename Work>
    auto later(Work work) -> std::future<std::invoke_result_t<Work>> {
        auto task =
            std::make_shared<std::packaged_task<std::invoke_result_t<Work>()>>(std::move(work));
        auto result = task->get_future();
        add({std::nullopt, {}, {}, [task] { (*task)(); }});
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
        std::optional<WholeFile> file;
        std::string bytes;
        std::function<std::string()> makeBytes;  // the bytes after those above
        std::function<void()> work;              // in place of a file
        size_t held = 0;                         // the memory it holds until it is carried out
    };

    void add(Operation operation);
    void work();
    // Whether the worker has enough to take, or is waited for.
    bool due() const;
    // The text of a failure, when the operation failed.
    static std::optional<QString> carryOut(Operation& operation) noexcept;

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
