#include "backups.h"

#include "database_check.h"
#include "db/connection.h"
#include "db/engine_failure.h"
#include "db/query.h"
#include "db/schema_version.h"
#include "db/statement.h"
#include "engine_file.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

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

// Copies every page of source into target's main database in one step. A copy that the engine
// could not finish (a lock held too long by another process, a full disk) is a Failure.
void copyPages(sqlite3* source, sqlite3* target) {
    sqlite3_backup* run = sqlite3_backup_init(target, "main", source, "main");
    if (run == nullptr)
        throw db::engineFailure(target);
    const int stepped = sqlite3_backup_step(run, -1);
    if (sqlite3_backup_finish(run) != SQLITE_OK)
        throw db::engineFailure(target);
    if (stepped != SQLITE_DONE)
        throw platform::Failure(
            db::engineFailureText(stepped, QString::fromUtf8(sqlite3_errstr(stepped))));
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
    copyPages(EngineFile(file, EngineFile::Mode::Read).handle(), db::engineHandle());
    // A backup of an older program's version is brought up to this one's.
    db::migrateSchema();
}

std::optional<BackupFile> newestSoundBackup() {
    for (const BackupFile& backup : listBackups())
        if (!unfitForRestore(backup.path))
            return backup;
    return std::nullopt;
}

QString replaceDamagedDatabase(const QString& backupFile, const QDateTime& now) {
    const QString database = QString::fromLatin1(db::kDatabasePath);
    const QString kept = database + QStringLiteral(".serult-") + now.toString(kStampFormat);
    const EngineFile source(backupFile, EngineFile::Mode::Read);
    if (!QFile::rename(database, kept))
        throw platform::Failure(
            QStringLiteral("A sérült adatbázis nem nevezhető át: %1").arg(kept));
    copyDatabase(source.handle(), database);
    return kept;
}

}  // namespace backup
