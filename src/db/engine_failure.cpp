#include "engine_failure.h"

#include <sqlite3.h>

namespace db {

namespace {

QString adviceFor(int primaryCode, const QString& engineText) {
    switch (primaryCode) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "Az adatbázist egy másik program használja; zárja be, és próbálja újra.");
        case SQLITE_READONLY:
            return QStringLiteral(
                "Az adatbázis fájlja vagy mappája csak olvasható; tegye "
                "írhatóvá, és próbálja újra.");
        case SQLITE_FULL:
            return QStringLiteral("Betelt a lemez; szabadítson fel helyet, és próbálja újra.");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral(
                "Az adatbázis fájlja megsérült; állítsa vissza egy biztonsági "
                "mentésből.");
        case SQLITE_ERROR:
            // The engine names a missing table only in its text.
            if (engineText.startsWith(QLatin1String("no such table")))
                return QStringLiteral(
                    "Az adatbázisból hiányzik egy tábla; állítsa vissza egy "
                    "biztonsági mentésből.");
            return {};
        default:
            return {};
    }
}

}  // namespace

QString engineFailureText(int resultCode, const QString& engineText) {
    const QString advice = adviceFor(resultCode & 0xff, engineText);
    return advice.isEmpty() ? engineText : advice + QStringLiteral(" (") + engineText + u')';
}

platform::Failure engineFailure(sqlite3* handle) {
    return platform::Failure(engineFailureText(sqlite3_extended_errcode(handle),
                                               QString::fromUtf8(sqlite3_errmsg(handle))));
}

}  // namespace db
