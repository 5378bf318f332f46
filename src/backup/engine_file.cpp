#include "engine_file.h"

#include "platform/failure.h"

#include <QStringList>

#include <sqlite3.h>

namespace backup {

QString engineReason(sqlite3* handle) {
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

EngineFile::EngineFile(const QString& path, Mode mode) {
    // Opening read-only never creates a missing file.
    const int flags =
        mode == Mode::Read ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle_, flags, nullptr) != SQLITE_OK) {
        const QString reason = engineReason(handle_);
        sqlite3_close(handle_);
        throw platform::Failure(reason);
    }
}

EngineFile::~EngineFile() {
    sqlite3_close(handle_);
}

QStringList EngineFile::column(const QString& statement, const QStringList& values) const {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle_, statement.toUtf8().constData(), -1, &prepared, nullptr) !=
        SQLITE_OK)
        throw platform::Failure(engineReason(handle_));
    for (int i = 0; i < values.size(); ++i)
        sqlite3_bind_text(prepared, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    QStringList rows;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(prepared)) == SQLITE_ROW)
        rows.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(prepared, 0))));
    const QString reason = status == SQLITE_DONE ? QString() : engineReason(handle_);
    sqlite3_finalize(prepared);
    if (status != SQLITE_DONE)
        throw platform::Failure(reason);
    return rows;
}

void EngineFile::run(const QString& statements) const {
    if (sqlite3_exec(handle_, statements.toUtf8().constData(), nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        throw platform::Failure(engineReason(handle_));
}

}  // namespace backup
