#include "database_check.h"

#include "db/schema_version.h"
#include "engine_file.h"
#include "platform/failure.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>

namespace backup {

namespace {

// The tables and the view the program's windows and runs open.
const QStringList kNeededTables = {
    QStringLiteral("AdatlapInt"),
    QStringLiteral("AdatlapBR"),
    QStringLiteral("View_Intezmeny"),
    QStringLiteral("Torzs_KSHMEGYE"),
    QStringLiteral("Torzs_KSHTELEPULES"),
    QStringLiteral("Torzs_IRSZ"),
    QStringLiteral("Torzs_gazdfor"),
    QStringLiteral("Torzs_Negyedev"),
    QStringLiteral("torzs_AH_AG"),
    QStringLiteral("torzs_AH_AGAZAT"),
    QStringLiteral("torzs_AH_SZAKAGAZAT"),
    QStringLiteral("Torzs_ho"),
    QStringLiteral("Torzs_Termekszolg"),
    QStringLiteral("Torzs_Mennyisegiegyseg"),
    QStringLiteral("Torzs_Beszerzesiforras"),
    QStringLiteral("Torzs_Felhasznter"),
    QStringLiteral("Torzs_Artipus"),
    QStringLiteral("Torzs_TermekCsoport"),
    QStringLiteral("Torzs_SzolgaltatasCsoport"),
};

QString missingTable(const EngineFile& file) {
    QSet<QString> present;
    for (const QString& name : file.column(QStringLiteral(
             "select lower(name) from sqlite_master where type in ('table', 'view')")))
        present.insert(name);
    for (const QString& table : kNeededTables)
        if (!present.contains(table.toLower()))
            return QStringLiteral("hiányzik belőle a(z) %1 tábla").arg(table);
    return {};
}

}  // namespace

QString damageOf(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("a fájl nem található");
    try {
        const EngineFile file(path, EngineFile::Mode::Read);
        const QStringList findings = file.column(QStringLiteral("pragma quick_check"));
        if (findings == QStringList{QStringLiteral("ok")})
            return {};
        // The first finding begins with a line naming the database ("*** in database main ***").
        QStringList lines = findings.mid(0, 3).join(u'\n').split(u'\n');
        lines.removeIf([](const QString& line) { return line.startsWith(u'*'); });
        return lines.isEmpty() ? findings.first() : lines.join(QStringLiteral("; "));
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
}

QString unfitForRestore(const QString& path) {
    if (const QString damage = damageOf(path); !damage.isEmpty())
        return damage;
    try {
        db::refuseNewerSchema(db::schemaVersionOfFile(path), path);
        return missingTable(EngineFile(path, EngineFile::Mode::Read));
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
}

}  // namespace backup
