#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>

#include <string_view>

namespace platform {

// Why a file could not be put in place: the step that failed, the file as the user is told of it
// and the system's reason. text() is the whole sentence, as in "Cannot write file
// text\2007_1_12345678_BI.txt. No space left on device"; a caller that words its own sentence
// takes the reason alone.
class FileFailure : public Failure {
public:
    FileFailure(const QString& action, const QString& path, const QString& reason);
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

// The system's words for an error number; safe on any thread.
QString systemReason(int error);

// How lasting a file put in place must be. By default neither is waited for: a writer of many
// files flushes them all at once (flushFileSystem), and a kill still leaves each file whole or
// as it was.
struct Durability {
    bool syncFile = false;    // the file's bytes are on the disk before it takes its name
    bool syncFolder = false;  // the rename is on the disk before the call returns
    bool keepMode = false;    // the file keeps the permissions of the file it replaces
};

// The one way the program writes a file whole: under the temporary name target + ".tmp" in the
// same folder, then renamed over the target, so that a failure, a kill or a full disk leaves
// the old file or the new one, never a part of it. The temporary file is made at the first
// write; one that is not committed is removed, whatever went wrong. Neither name is followed
// when it is a link: the link is replaced.
class WholeFile {
public:
    explicit WholeFile(const QString& target, Durability durability = {});
    ~WholeFile();
    WholeFile(WholeFile&& other) noexcept;
    WholeFile& operator=(WholeFile&& other) noexcept;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Each step that fails throws a FileFailure, the temporary file removed.
    void write(std::string_view bytes);
    // Closes the file and gives it its name; an empty file when nothing was written.
    void commit();
    // Removes the temporary file; nothing takes the target's name.
    void discard();

private:
    void open();
    [[noreturn]] void fail(const char* action, int error);

    QString shownPath_;
    QByteArray target_;
    QByteArray temporary_;
    Durability durability_;
    int descriptor_ = -1;
};

// The bytes as the file at target, through WholeFile.
void writeWhole(const QString& target, std::string_view bytes, Durability durability = {});

// Removes the file; one that is not there is removed already. A file that stays is a
// FileFailure with the system's reason.
void removeFile(const QString& path);

// Gives a file or folder that another has made whole under a temporary name the target's name,
// replacing a file of that name, and waits for the rename to reach the disk where asked.
void renameIntoPlace(const QString& temporary, const QString& target, Durability durability = {});

}  // namespace platform
