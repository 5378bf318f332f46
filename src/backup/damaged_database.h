#pragma once

#include <QDateTime>

namespace backup {

// Before the connection opens at start (examineDatabase): a write that was interrupted is rolled
// back; a database another program holds, or one the user may not read or write, is told and
// left as it is; a damaged one is named with its problem, and the newest backup that could be
// restored (newestSoundBackup) is offered in its place, No being the default answer. True when
// the start goes on: the database is sound, missing (the start reports that itself) or was
// replaced by the backup; false when the program is to end.
bool checkDatabaseAtStart(const QDateTime& now = QDateTime::currentDateTime());

}  // namespace backup
