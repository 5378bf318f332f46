#pragma once

#include <QString>

#include <optional>

// Checking a database file before the program works on it or puts it in the database's place.
namespace backup {

// What the check of the database before the program works on it found.
struct Finding {
    enum class Kind {
        Sound,
        Held,          // another program holds it longer than the program waits
        Inaccessible,  // the user may not read or write it, or the system cannot
        Damaged,       // the engine's check fails, or it is not a database
    };
    Kind kind = Kind::Sound;
    // What the user is told: the damage found (damagedDatabaseText), or why the program cannot
    // work on the file now and that nothing was changed.
    QString text;
};

// Checks the database as the program opens it: read-write, so that the engine first rolls back a
// write that was interrupted (its journal stays beside it until then), waiting as long as the
// program does for another process that holds it. Only the engine's quick check failing, or a
// file that is not a database, is damage. Nothing is changed but the rolled-back write.
Finding examineDatabase(const QString& path);

// "Az adatbázist (Adatok/ZovavaZuvi2007.mdb) egy másik program használja ...": what the user is
// told when another program held the database longer than the program waits; nothing was
// changed. engineText is the engine's own text, told in parentheses.
QString heldDatabaseText(const QString& path, const QString& engineText);

// "Az adatbázis (Adatok/ZovavaZuvi2007.mdb) sérült: ...", the engine's finding in parentheses.
QString damagedDatabaseText(const QString& path, const QString& damage);

// What the engine's integrity check finds wrong with a file, as the user is told it ("sérült"
// and the engine's first finding, or why it cannot read the file as a database, in
// parentheses); nothing when it is sound. The file is only read.
std::optional<QString> damageOf(const QString& path);

// Why the file cannot take the database's place: it is damaged, a newer program wrote it (its
// schema version), or its tables, columns, indexes, views and triggers are not those of the
// program's schema at its version (the first object that differs is named); nothing when it can.
// A restore and the rescue of a damaged database at start both check by it.
std::optional<QString> unfitForRestore(const QString& path);

}  // namespace backup
