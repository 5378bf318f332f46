#include "engine_file.h"

#include "db/connection.h"
#include "db/engine_failure.h"

#include <QStringList>

#include <sqlite3.h>

#include <optional>

namespace backup {

EngineFileFailure::EngineFileFailure(int code, const QString& engineText)
    : Failure(db::engineFailureText(code, engineText)), code_(code), engineText_(engineText) {}

EngineFileFailure engineFileFailure(sqlite3* handle) {
    return {sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle))};
}

void copyPages(sqlite3* source, sqlite3* target) {
    sqlite3_backup* run = sqlite3_backup_init(target, "main", source, "main");
    if (run == nullptr)
        throw engineFileFailure(target);
    const int stepped = sqlite3_backup_step(run, -1);
    if (sqlite3_backup_finish(run) != SQLITE_OK)
        throw engineFileFailure(target);
    if (stepped != SQLITE_DONE)
        throw EngineFileFailure(stepped, QString::fromUtf8(sqlite3_errstr(stepped)));
}

namespace {

int openFlags(EngineFile::Mode mode) {
    switch (mode) {
        case EngineFile::Mode::Read:
            // Opening read-only never creates a missing file.
            return SQLITE_OPEN_READONLY;
        case EngineFile::Mode::Write:
            return SQLITE_OPEN_READWRITE;
        case EngineFile::Mode::Create:
            return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    return SQLITE_OPEN_READONLY;
}

}  // namespace

EngineFile::EngineFile(const QString& path, Mode mode) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &handle_, openFlags(mode), nullptr) !=
        SQLITE_OK) {
        const EngineFileFailure failure = engineFileFailure(handle_);
        sqlite3_close(handle_);
        throw failure;
    }
    sqlite3_extended_result_codes(handle_, 1);
    if (mode == Mode::Write)
        sqlite3_busy_timeout(handle_, db::kBusyTimeoutMilliseconds);
}

EngineFile::~EngineFile() {
    sqlite3_close(handle_);
}

QStringList EngineFile::column(const QString& statement, const QStringList& values) const {
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle_, statement.toUtf8().constData(), -1, &prepared, nullptr) !=
        SQLITE_OK)
        throw engineFileFailure(handle_);
    for (int i = 0; i < values.size(); ++i)
        sqlite3_bind_text(prepared, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    QStringList rows;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(prepared)) == SQLITE_ROW)
        rows.append(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(prepared, 0))));
    const std::optional<EngineFileFailure> failure =
        status == SQLITE_DONE ? std::nullopt : std::optional(engineFileFailure(handle_));
    sqlite3_finalize(prepared);
    if (failure)
        throw *failure;
    return rows;
}

void EngineFile::run(const QString& statements) const {
    if (sqlite3_exec(handle_, statements.toUtf8().constData(), nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        throw engineFileFailure(handle_);
}

}  // namespace backup
