#pragma once

#include <QDateTime>

#include <QString>

namespace backup {

// "Az adatbázis (Adatok/ZovavaZuvi2007.mdb) sérült: " and the problem.
QString damagedDatabaseText(const QString& damage);

// Before the connection opens at start: a database that fails the engine's quick check is
// named with its problem, and the newest backup that could be restored (newestSoundBackup) is
// offered in its place (the damaged file is kept beside it). True when the start goes on: the
// database is sound, missing (the start reports that itself) or was replaced by the backup; false
// when the program is to end.
bool checkDatabaseAtStart(const QDateTime& now = QDateTime::currentDateTime());

}  // namespace backup
