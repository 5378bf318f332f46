#pragma once

#include "platform/failure.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <stdexcept>

// Backups of the database: consistent copies made through the engine's backup interface, kept
// in Adatok/mentes/ under the time they were taken, and put back in the database's place.
namespace backup {

// The folder of the backups, relative to the working folder.
inline constexpr char kBackupFolder[] = "Adatok/mentes";

struct BackupFile {
    QString path;
    QDateTime taken;
    qint64 size = 0;
};

// The complete backups in the folder, newest first: only files named
// ZovavaZuvi2007-YYYYMMDD-HHMMSS.mdb, so a copy still being written is never among them.
QList<BackupFile> listBackups(const QString& folder = QString::fromLatin1(kBackupFolder));

// The name of the backup taken at that time: "ZovavaZuvi2007-20071231-235959.mdb".
QString backupFileName(const QDateTime& taken);

// The time a backup was taken as the user reads it: "2007.12.31. 23:59:59".
QString takenText(const QDateTime& taken);

// Of the backups taken at these times, those to delete: all but the keep newest and, besides
// them, the newest of each of the twelve months up to today's.
QList<QDateTime> expiredBackups(QList<QDateTime> taken, int keep, QDate today);

// Writes a consistent copy of the open database to file, replacing one of that name. It is
// written under a hidden temporary name beside it and renamed when complete, so the file is
// either whole or absent. A failure is a Failure with the reason, and file is as it was.
void writeBackup(const QString& file);

// The backup was taken, but a backup no longer kept could not be deleted: the text names it.
class OldBackupsKept : public platform::Failure {
public:
    using Failure::Failure;
};

// Takes a backup into the backup folder and deletes the backups that are no longer kept
// ([backup] keep of velkor.ini). Returns the new backup; a failure is a Failure, OldBackupsKept
// when only the deletion failed.
BackupFile backUpNow(const QDateTime& now = QDateTime::currentDateTime());

// How a failed backup is told: once, with its reason; the work goes on.
using FailureNotice = std::function<void(const QString& text)>;
// The warning box, for the windows.
void warnInWindow(const QString& text);
// What the user is told of a failed backup.
QString failureText(const QString& reason);

// The one call before a change of many rows (a code-table refresh, an item import, a
// carry-forward, a restore): takes a backup; when that fails, tells notice once and returns
// false, and the caller goes on with its change.
bool backUpBeforeChange(const FailureNotice& notice);

// At start: takes a backup when the database holds any record or item and the newest backup
// taken before now is more than a day old (or there is none). A failure is told to notice.
void backUpIfDue(const FailureNotice& notice, const QDateTime& now = QDateTime::currentDateTime());

// What a backup holds: its data-provider records and purchase items.
struct Contents {
    int records = 0;
    int items = 0;
};
// A file that cannot be read is a Failure.
Contents contentsOf(const QString& path);
// "12 adatlap, 340 tétel".
QString describe(const Contents& contents);

// The file cannot take the database's place; the text says why, and nothing was changed.
class RestoreRefused : public platform::Failure {
public:
    using Failure::Failure;
};

// A file that is damaged, of a newer schema version, or without the program's tables and their
// columns is a RestoreRefused naming the file and the reason.
void checkRestorable(const QString& file);

// Puts the file's contents in place of the open database's, in one step, after the database
// has itself been backed up (a failure of that backup is told to notice). A file that fails
// checkRestorable is a RestoreRefused, and nothing is changed.
void restoreFrom(const QString& file, const FailureNotice& notice);

// The newest backup that passes the check of a file to restore (unfitForRestore); none when
// there is no such.
std::optional<BackupFile> newestSoundBackup();

// While no connection is open: keeps the damaged database beside it as
// "ZovavaZuvi2007.mdb.serult-YYYYMMDD-HHMMSS" and puts a copy of the backup in its place.
// Returns the path the damaged file was kept under; a failure is a Failure.
QString replaceDamagedDatabase(const QString& backupFile,
                               const QDateTime& now = QDateTime::currentDateTime());

}  // namespace backup
