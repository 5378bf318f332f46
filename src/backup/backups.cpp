#include "backups.h"

#include "database_check.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/schema_version.h"
#include "db/statement.h"
#include "engine_file.h"
#include "platform/failure.h"
#include "platform/folder_lock.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>

namespace backup {

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kBaseName = QStringLiteral("ZovavaZuvi2007");

QString temporaryNameFor(const QString& file) {
    const QFileInfo info(file);
    return info.dir().filePath(u'.' + info.fileName() + QStringLiteral(".part"));
}

// A copy left half-written by a program that was stopped; never listed, removed before the next
// backup into the same folder.
void removeLeftovers(QDir folder) {
    for (const QString& name : folder.entryList({u'.' + kBaseName + QStringLiteral("-*.part")},
                                                QDir::Files | QDir::Hidden))
        folder.remove(name);
}

// Copies every page of the source database into a new file and renames it to target when
// complete. The engine takes the source's read lock for the whole copy, so the copy is one
// state of the database even when other processes write to it.
void copyDatabase(sqlite3* source, const QString& target) {
    const QString temporary = temporaryNameFor(target);
    QFile::remove(temporary);
    try {
        {
            const EngineFile copy(temporary, EngineFile::Mode::Create);
            // A copy under a temporary name needs no journal: a broken one is never used.
            copy.column(QStringLiteral("pragma journal_mode = off"));
            copyPages(source, copy.handle());
        }
        // The engine has written the copy to its disk; the rename lasts once its folder does.
        try {
            platform::renameIntoPlace(temporary, target, {.syncFolder = true});
        } catch (const platform::FileFailure& failure) {
            throw platform::Failure(failure.reason());
        }
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

// The files the engine keeps beside a database while it is written to.
const QStringList kCompanions{QStringLiteral("-journal"), QStringLiteral("-wal"),
                              QStringLiteral("-shm")};

// Copies the database, with whatever the engine keeps beside it, under another name; the files
// themselves stay where a process working on them has them.
void keepCopy(const QString& database, const QString& kept) {
    for (const QString& suffix : QStringList{QString()} + kCompanions) {
        if (!QFileInfo::exists(database + suffix))
            continue;
        QFile file(database + suffix);
        if (!file.open(QIODevice::ReadOnly))
            throw platform::Failure(
                QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        const QByteArray bytes = file.readAll();
        platform::writeWhole(kept + suffix, {bytes.constData(), static_cast<size_t>(bytes.size())});
    }
}

void emptyInPlace(const QString& database) {
    for (const QString& suffix : kCompanions)
        QFile::remove(database + suffix);
    if (::truncate(QFile::encodeName(database).constData(), 0) != 0)
        throw platform::Failure(
            QStringLiteral("%1: %2").arg(database, platform::systemReason(errno)));
}

// Every expired backup is tried; those that stay are told at the end.
void deleteExpired(const QList<BackupFile>& backups, const QDate& today) {
    QList<QDateTime> taken;
    for (const BackupFile& backup : backups)
        taken.append(backup.taken);
    const QList<QDateTime> expired = expiredBackups(taken, platform::backupKeepSetting(), today);
    QStringList kept;
    for (const BackupFile& backup : backups) {
        try {
            if (expired.contains(backup.taken))
                platform::removeFile(backup.path);
        } catch (const platform::FileFailure& failure) {
            kept.append(QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(backup.path),
                                                      failure.reason()));
        }
    }
    if (!kept.isEmpty())
        throw OldBackupsKept(
            QStringLiteral("A biztonsági mentés elkészült, de a régi mentések közül nem "
                           "törölhető: %1")
                .arg(kept.join(QStringLiteral(", "))));
}

bool holdsAnyRecord() {
    return !db::Query(QStringLiteral("select 1 from AdatlapInt union all select 1 from AdatlapBR "
                                     "limit 1"))
                .eof();
}

// Only a backup taken before now tells how old the newest one is: one stamped later was taken
// while the clock was wrong.
bool backupDue(const QList<BackupFile>& backups, const QDateTime& now) {
    for (const BackupFile& backup : backups)
        if (backup.taken <= now)
            return backup.taken.addDays(1) <= now;
    return true;
}

bool sameFile(const struct stat& file, const QString& other) {
    struct stat status {};
    return ::stat(QFile::encodeName(other).constData(), &status) == 0 &&
           status.st_dev == file.st_dev && status.st_ino == file.st_ino;
}

// A backup takes the place of a regular file only: never of a folder, a device, a link (or what
// it leads to), the lock file of the working folder or the database itself.
void refuseUnsafeTarget(const QString& target) {
    struct stat status {};
    if (::lstat(QFile::encodeName(target).constData(), &status) != 0)
        return;
    const auto refused = [&](const QString& why) {
        return platform::Failure(
            QStringLiteral("A biztonsági mentés nem írható a(z) %1 helyére: %2. Adjon meg új "
                           "fájlnevet vagy egy korábbi biztonsági mentés fájlját!")
                .arg(QDir::toNativeSeparators(target), why));
    };
    if (!S_ISREG(status.st_mode))
        throw refused(S_ISDIR(status.st_mode)   ? QStringLiteral("ez egy mappa")
                      : S_ISLNK(status.st_mode) ? QStringLiteral("ez egy hivatkozás")
                                                : QStringLiteral("ez nem közönséges fájl"));
    if (sameFile(status, QString::fromLatin1(db::kDatabasePath)))
        throw refused(QStringLiteral("ez maga az adatbázis"));
    if (sameFile(status, QString::fromLatin1(platform::kLockFileName)))
        throw refused(QStringLiteral("ez a program zárolófájlja"));
}

int countOf(const EngineFile& file, const QString& table) {
    return file.column(QStringLiteral("select count(*) from ") + table).value(0).toInt();
}

}  // namespace

QList<BackupFile> listBackups(const QString& folder) {
    static const QRegularExpression name(u'^' + kBaseName +
                                         QStringLiteral("-(\\d{8}-\\d{6})\\.mdb$"));
    QList<BackupFile> backups;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        const auto match = name.match(file.fileName());
        if (!match.hasMatch())
            continue;
        const QDateTime taken = QDateTime::fromString(match.captured(1), kStampFormat);
        if (taken.isValid())
            backups.append({file.filePath(), taken, file.size()});
    }
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile& a, const BackupFile& b) { return a.taken > b.taken; });
    return backups;
}

QString backupFileName(const QDateTime& taken) {
    return kBaseName + u'-' + taken.toString(kStampFormat) + QStringLiteral(".mdb");
}

QString takenText(const QDateTime& taken) {
    return taken.toString(QStringLiteral("yyyy.MM.dd. HH:mm:ss"));
}

QList<QDateTime> expiredBackups(QList<QDateTime> taken, int keep, QDate today) {
    std::sort(taken.begin(), taken.end(), std::greater<>());
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-11);
    QSet<int> monthsKept;
    QList<QDateTime> expired;
    for (qsizetype i = 0; i < taken.size(); ++i) {
        const QDate day = taken[i].date();
        const int month = day.year() * 12 + day.month();
        const bool newestOfItsMonth = day >= firstMonth && !monthsKept.contains(month);
        if (newestOfItsMonth)
            monthsKept.insert(month);
        if (i >= keep && !newestOfItsMonth)
            expired.append(taken[i]);
    }
    return expired;
}

void writeBackup(const QString& file) {
    refuseUnsafeTarget(file);
    copyDatabase(db::engineHandle(), file);
}

BackupFile backUpNow(const QDateTime& now) {
    QDir folder(QString::fromLatin1(kBackupFolder));
    if (!QDir().mkpath(folder.path()) || !QFileInfo(folder.path()).isDir())
        throw platform::Failure(QStringLiteral("A(z) %1 mappa nem hozható létre")
                                    .arg(QDir::toNativeSeparators(folder.path())));
    removeLeftovers(folder);
    const QString path = folder.filePath(backupFileName(now));
    writeBackup(path);
    deleteExpired(listBackups(folder.path()), now.date());
    return {path, now, QFileInfo(path).size()};
}

void warnInWindow(const QString& text) {
    platform::showWarning(text);
}

QString failureText(const QString& reason) {
    return QStringLiteral("Nem sikerült a biztonsági mentés: %1\nA munka ettől folytatódik.")
        .arg(platform::withFullStop(reason));
}

bool backUpBeforeChange(const FailureNotice& notice) {
    try {
        backUpNow();
        return true;
    } catch (const OldBackupsKept& failure) {
        notice(platform::withFullStop(failure.text()));
        return true;
    } catch (const std::exception& failure) {
        notice(failureText(QString::fromUtf8(failure.what())));
        return false;
    }
}

void backUpIfDue(const FailureNotice& notice, const QDateTime& now) {
    try {
        if (backupDue(listBackups(), now) && holdsAnyRecord())
            backUpNow(now);
    } catch (const OldBackupsKept& failure) {
        notice(platform::withFullStop(failure.text()));
    } catch (const std::exception& failure) {
        notice(failureText(QString::fromUtf8(failure.what())));
    }
}

Contents contentsOf(const QString& path) {
    const EngineFile file(path, EngineFile::Mode::Read);
    return {countOf(file, QStringLiteral("AdatlapInt")),
            countOf(file, QStringLiteral("AdatlapBR"))};
}

QString describe(const Contents& contents) {
    return QStringLiteral("%1 adatlap, %2 tétel").arg(contents.records).arg(contents.items);
}

void checkRestorable(const QString& file) {
    if (const std::optional<QString> reason = unfitForRestore(file))
        throw RestoreRefused(
            QStringLiteral("A(z) %1 nem tölthető vissza: %2")
                .arg(QDir::toNativeSeparators(file), platform::withFullStop(*reason)));
}

void restoreFrom(const QString& file, const FailureNotice& notice) {
    checkRestorable(file);
    backUpBeforeChange(notice);
    // One write transaction on the database: all of its pages are replaced, or none.
    try {
        copyPages(EngineFile(file, EngineFile::Mode::Read).handle(), db::engineHandle());
    } catch (const EngineFileFailure& failure) {
        if (failure.primaryCode() != SQLITE_BUSY && failure.primaryCode() != SQLITE_LOCKED)
            throw;
        throw RestoreRefused(
            heldDatabaseText(QString::fromLatin1(db::kDatabasePath), failure.engineText()));
    }
    // A backup of an older program's version is brought up to this one's.
    db::migrateSchema();
}

std::optional<BackupFile> newestSoundBackup() {
    for (const BackupFile& backup : listBackups())
        if (!unfitForRestore(backup.path))
            return backup;
    return std::nullopt;
}

QString keptDamagedName(const QDateTime& now) {
    return QString::fromLatin1(db::kDatabasePath) + QStringLiteral(".serult-") +
           now.toString(kStampFormat);
}

QString replaceDamagedDatabase(const QString& backupFile, const QDateTime& now) {
    const QString database = QString::fromLatin1(db::kDatabasePath);
    const QString kept = keptDamagedName(now);
    keepCopy(database, kept);
    const EngineFile source(backupFile, EngineFile::Mode::Read);
    try {
        copyPages(source.handle(), EngineFile(database, EngineFile::Mode::Write).handle());
    } catch (const EngineFileFailure& failure) {
        if (failure.primaryCode() != SQLITE_NOTADB && failure.primaryCode() != SQLITE_CORRUPT)
            throw;
        // The engine cannot read the file as a database, so no process can be working in it:
        // it is emptied in place, without the journal that belonged to the damaged contents
        // (both are kept in the copy), and filled from the backup.
        emptyInPlace(database);
        copyPages(source.handle(), EngineFile(database, EngineFile::Mode::Write).handle());
    }
    return kept;
}

}  // namespace backup
