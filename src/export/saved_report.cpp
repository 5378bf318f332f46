#include "saved_report.h"

#include "common.h"
#include "data_files.h"
#include "db/read_transaction.h"
#include "platform/sha256.h"
#include "platform/whole_file.h"
#include "provider_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

namespace exporting {

namespace {

const QString kRecordPath = QStringLiteral("Adatok/jelentes.json");

QJsonObject toJson(const SavedReport& report) {
    QJsonArray files;
    for (const SavedFile& file : report.files)
        files.append(QJsonObject{{QStringLiteral("path"), file.path},
                                 {QStringLiteral("size"), file.size},
                                 {QStringLiteral("sha256"), QString::fromLatin1(file.sha256)}});
    return {{QStringLiteral("year"), report.year},
            {QStringLiteral("quarter"), report.quarter},
            {QStringLiteral("complete"), report.complete},
            {QStringLiteral("fingerprint"), QString::fromLatin1(report.fingerprint)},
            {QStringLiteral("at"), report.at.toString(Qt::ISODate)},
            {QStringLiteral("files"), files}};
}

SavedReport fromJson(const QJsonObject& json) {
    SavedReport report{json.value(u"year").toString(),
                       json.value(u"quarter").toString(),
                       json.value(u"complete").toBool(),
                       json.value(u"fingerprint").toString().toLatin1(),
                       QDateTime::fromString(json.value(u"at").toString(), Qt::ISODate),
                       {}};
    for (const QJsonValue& file : json.value(u"files").toArray()) {
        const QJsonObject entry = file.toObject();
        report.files.append({entry.value(u"path").toString(),
                             static_cast<qint64>(entry.value(u"size").toDouble()),
                             entry.value(u"sha256").toString().toLatin1()});
    }
    return report;
}

// The period's report files on the disk, by path.
QSet<QString> reportFilesOnDisk(const QString& year, const QString& quarter) {
    const QString prefix = year + u'_' + quarter + u'_';
    QSet<QString> paths;
    const std::pair<QString, QString> kinds[] = {{kTextFolder, QStringLiteral("_BI.txt")},
                                                 {kTextFolder, QStringLiteral("_BR.txt")},
                                                 {kCoverNoteFolder, QStringLiteral("_KJ.txt")}};
    for (const auto& [folder, kind] : kinds) {
        const QString pattern = prefix + u'*' + kind;
        for (const QString& name : entriesOf(folder, pattern))
            paths.insert(folder + name);
    }
    return paths;
}

// The files that are not as the save run wrote them, and those it did not write.
QStringList changedFiles(const SavedReport& report) {
    QSet<QString> unknown = reportFilesOnDisk(report.year, report.quarter);
    QStringList changed;
    for (const SavedFile& file : report.files) {
        unknown.remove(file.path);
        const auto digest = platform::fileDigest(file.path);
        if (!digest || digest->size != file.size || digest->sha256 != file.sha256)
            changed.append(file.path);
    }
    QStringList others = unknown.values();
    std::sort(others.begin(), others.end());
    return changed + others;
}

}  // namespace

std::optional<SavedReport> lastSavedReport() {
    QFile file(kRecordPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    return fromJson(document.object());
}

void storeSavedReport(const SavedReport& report) {
    const QByteArray bytes = QJsonDocument(toJson(report)).toJson();
    platform::writeWhole(kRecordPath, {bytes.constData(), static_cast<size_t>(bytes.size())},
                         {.syncFile = true, .syncFolder = true});
}

void Fingerprint::addProvider(const QString& adosajat, const QByteArray& institutionSha256,
                              const QByteArray& purchaseSha256) {
    lines_ += adosajat.toUtf8() + ' ' + institutionSha256 + ' ' + purchaseSha256 + '\n';
}

QByteArray Fingerprint::result() const {
    return platform::sha256Hex({lines_.constData(), static_cast<size_t>(lines_.size())});
}

// The providers and their data files as the save run reads and makes them, without writing them.
QByteArray periodFingerprint(const QString& year, const QString& quarter) {
    const db::ReadTransaction reading;
    ProviderReader reader;
    Fingerprint fingerprint;
    for (const QString& adosajat : periodProviders(year, quarter)) {
        ProviderReport report;
        reader.readReport(report, adosajat, year, quarter);
        fingerprint.addProvider(
            report.adosajat, platform::sha256Hex(institutionDataFile(report)),
            report.itemCount > 0 ? platform::sha256Hex(purchaseDataFile(report)) : QByteArray());
    }
    return fingerprint.result();
}

Readiness reportReadiness(const QString& year, const QString& quarter) {
    Readiness readiness;
    std::optional<SavedReport> last = lastSavedReport();
    if (!last || last->year != year || last->quarter != quarter) {
        readiness.reason = QStringLiteral(
                               "a(z) %1. év %2. negyedév jelentése nincs elmentve: "
                               "mentse el")
                               .arg(year, quarter);
        return readiness;
    }
    readiness.report = last;
    if (!last->complete) {
        readiness.reason = QStringLiteral("a legutóbbi mentés hibával végződött");
        return readiness;
    }
    if (const QStringList changed = changedFiles(*last); !changed.isEmpty()) {
        readiness.reason =
            QStringLiteral("hiányzik vagy megváltozott: ") + changed.join(QStringLiteral(", "));
        return readiness;
    }
    if (periodFingerprint(year, quarter) != last->fingerprint)
        readiness.reason = QStringLiteral(
                               "a(z) %1. év %2. negyedév adatai a mentés óta "
                               "megváltoztak: mentse újra")
                               .arg(year, quarter);
    return readiness;
}

QString notReadyText(const QString& year, const QString& quarter, const QString& action,
                     const Readiness& readiness) {
    return QStringLiteral("A(z) %1. év %2. negyedév jelentése nem %3: %4.")
        .arg(year, quarter, action, readiness.reason);
}

}  // namespace exporting
