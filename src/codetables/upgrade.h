#pragma once

#include "import_codes.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace codetables {

// Where the working folder notes the fingerprint of the shipped code tables last brought into
// its database.
inline constexpr char kShippedCodesNote[] = "Adatok/kodtablak.sha256";

// The fingerprint of the code-table files in folder: SHA-256 over their names and contents, in
// name order.
QByteArray fingerprintOf(const QString& folder);

// Writes the fingerprint of the code-table files in folder to notePath: the database beside it
// holds those code tables.
void noteCodeTables(const QString& folder, const QString& notePath);

// The refresh at start: when the code-table files the program ships in folder differ from those
// last brought into the open database, calls beforeRefresh (the backup before a change of many
// rows), replaces its code tables with them (importCodeTables) and notes their fingerprint. Its
// report, or nothing when the shipped tables did not change.
std::optional<ImportReport> refreshShippedCodeTables(const QString& folder,
                                                     const std::function<void()>& beforeRefresh);

// Brings the open working database up to the running program: the schema's migration steps,
// then the refresh of the code tables the program ships apart from its database, if it does.
std::optional<ImportReport> upgradeWorkingDatabase(const std::function<void()>& beforeRefresh);

}  // namespace codetables
