#include "quarter_steps.h"

#include "db/query.h"
#include "export/common.h"
#include "export/saved_report.h"
#include "step_log.h"
#include "transmission/archive_checksums.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace overview {

namespace {

QString timeText(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy.MM.dd. hh:mm"));
}

QVariantList periodValues(const Quarter& quarter) {
    return {quarter.year, quarter.quarterText()};
}

int countOf(const QString& statement, const Quarter& quarter) {
    return db::Query(statement, periodValues(quarter)).value(0).toInt();
}

StepState saveStep(const exporting::Readiness& readiness) {
    StepState step{Step::Save, QStringLiteral("Mentés"), readiness.reason, readiness.ready()};
    if (step.done)
        step.state = QStringLiteral("%1 állomány megvan, ép (%2)")
                         .arg(readiness.report->files.size())
                         .arg(timeText(readiness.report->at));
    return step;
}

// Done only for the data as they were checked.
StepState checkStep(const Quarter& quarter) {
    StepState step{Step::Check, QStringLiteral("Negyedév ellenőrzése"), {}, false};
    const auto check = lastCheck(quarter.yearText(), quarter.quarterText());
    if (!check) {
        step.state = QStringLiteral("még nem futott");
        return step;
    }
    const bool asChecked = check->fingerprint ==
                           exporting::periodFingerprint(quarter.yearText(), quarter.quarterText());
    step.done = check->errors == 0 && asChecked;
    step.state = QStringLiteral("%1, %2 figyelmeztetés (%3)")
                     .arg(check->errors == 0 ? QStringLiteral("hiba nélkül")
                                             : QStringLiteral("%1 hiba").arg(check->errors))
                     .arg(check->warnings)
                     .arg(timeText(check->at));
    if (!asChecked)
        step.state += QStringLiteral("; az adatok azóta megváltoztak");
    return step;
}

// Sent only while the report is ready and the newest archive of the period holds exactly it.
StepState sendStep(const Quarter& quarter, const exporting::Readiness& readiness) {
    StepState step{Step::Send, QStringLiteral("Küldés"), QStringLiteral("még nem küldte el"),
                   false};
    std::optional<SentFolder> sent;
    if (readiness.ready())
        sent = sentReport(*readiness.report);
    if (sent) {
        step.state = QStringLiteral("%1: %2 állomány (%3)")
                         .arg(QDir::toNativeSeparators(sent->path))
                         .arg(sent->files)
                         .arg(timeText(sent->at));
        step.done = true;
    } else if (const auto earlier = sentFolder(quarter)) {
        step.state = QStringLiteral("a mentett jelentés még nincs elküldve (korábbi küldés: %1)")
                         .arg(QDir::toNativeSeparators(earlier->path));
    }
    return step;
}

// A delivery counts only when it came after the save run that wrote the files, while they are
// ready.
StepState deliveryStep(const Quarter& quarter, Delivery delivery, Step kind, const QString& caption,
                       const exporting::Readiness& readiness) {
    StepState step{kind, caption, {}, false};
    const QString doneText =
        delivery == Delivery::Printed ? QStringLiteral("nyomtatva") : QStringLiteral("átmásolva");
    const auto at = lastDelivery(delivery, quarter.yearText(), quarter.quarterText());
    if (!at)
        step.state = QStringLiteral("nincs ") + doneText;
    else if (!readiness.ready() || *at < readiness.report->at)
        step.state = QStringLiteral("a legutóbbi mentés óta nincs ") + doneText;
    else {
        step.state = doneText + u' ' + timeText(*at);
        step.done = true;
    }
    return step;
}

}  // namespace

QList<StepState> quarterSteps(const Quarter& quarter) {
    const int records = countOf(QStringLiteral("select count(*) from AdatlapInt where "
                                               "Adatszolgev = ? and Adatszolgnegyedev = ?"),
                                quarter);
    const int items = countOf(QStringLiteral("select count(*) from AdatlapBR where "
                                             "Beszerzev = ? and Beszerznegyedev = ?"),
                              quarter);
    const exporting::Readiness readiness =
        exporting::reportReadiness(quarter.yearText(), quarter.quarterText());
    return {
        {Step::Record, QStringLiteral("Adatszolgáltató intézmény"),
         records > 0 ? QStringLiteral("%1 adatlap").arg(records) : QStringLiteral("nincs adatlap"),
         records > 0},
        {Step::Items, QStringLiteral("Beszerzés"),
         items > 0 ? QStringLiteral("%1 tétel").arg(items) : QStringLiteral("nincs tétel"),
         items > 0},
        checkStep(quarter),
        saveStep(readiness),
        sendStep(quarter, readiness),
        deliveryStep(quarter, Delivery::Printed, Step::Print,
                     QStringLiteral("Kísérőjegyzék nyomtatása"), readiness),
        deliveryStep(quarter, Delivery::Copied, Step::Copy, QStringLiteral("Másolás adathordozóra"),
                     readiness),
    };
}

std::optional<SentFolder> sentFolder(const Quarter& quarter) {
    const QString& archive = platform::kSendFolder;
    // The folders are named by their time, so the newest comes last.
    QStringList folders = QDir(archive).entryList({QStringLiteral("????????_??_??")}, QDir::Dirs,
                                                  QDir::Name | QDir::Reversed);
    for (const QString& folder : folders) {
        const int files = static_cast<int>(
            exporting::entriesOf(archive + folder, quarter.filePrefix() + QStringLiteral("*.zip"))
                .size());
        const QDateTime at = QDateTime::fromString(folder, QStringLiteral("yyyyMMdd_hh_mm"));
        if (files > 0 && at.isValid())
            return SentFolder{archive + folder + u'/', at, files};
    }
    return std::nullopt;
}

namespace {

// The checksum list of an archive folder: each file's digest by its name.
QHash<QString, QByteArray> checksumsOf(const QString& folder) {
    QHash<QString, QByteArray> sums;
    QFile list(folder + QLatin1StringView(transmission::kChecksumFileName));
    if (!list.open(QIODevice::ReadOnly))
        return sums;
    for (const QByteArray& line : list.readAll().split('\n')) {
        const qsizetype gap = line.indexOf("  ");
        if (gap > 0)
            sums.insert(QString::fromUtf8(line.mid(gap + 2)), line.left(gap));
    }
    return sums;
}

// Whether the archive folder holds the report's files, each as the save run wrote it and
// compressed beside it, and no other file of the period.
bool holdsExactly(const QString& folder, const exporting::SavedReport& report) {
    const QString prefix = report.year + u'_' + report.quarter + u'_';
    const QHash<QString, QByteArray> sums = checksumsOf(folder);
    QSet<QString> expected;
    for (const exporting::SavedFile& file : report.files) {
        const QString name = QFileInfo(file.path).fileName();
        const QString compressed = name.chopped(4) + QStringLiteral(".zip");
        if (sums.value(name) != file.sha256 || !QFileInfo::exists(folder + name) ||
            !sums.contains(compressed) || !QFileInfo::exists(folder + compressed))
            return false;
        expected << name << compressed;
    }
    QSet<QString> held;
    for (const QString& name : exporting::entriesOf(folder, prefix + u'*'))
        held.insert(name);
    return held == expected;
}

}  // namespace

std::optional<SentFolder> sentReport(const exporting::SavedReport& report) {
    const auto quarter = Quarter::of(report.year, report.quarter);
    const auto sent = quarter ? sentFolder(*quarter) : std::nullopt;
    if (!sent || !holdsExactly(sent->path, report))
        return std::nullopt;
    return sent;
}

std::optional<Quarter> recordedQuarter() {
    db::Query latest(QStringLiteral(
        "select y, q from (select Adatszolgev as y, Adatszolgnegyedev as q from AdatlapInt "
        "union select Beszerzev, Beszerznegyedev from AdatlapBR) order by y desc, q desc limit 1"));
    if (latest.eof())
        return std::nullopt;
    return Quarter::of(latest.text(0), latest.text(1));
}

Quarter latestQuarter() {
    const QDate today = QDate::currentDate();
    return recordedQuarter().value_or(Quarter{today.year(), (today.month() + 2) / 3});
}

}  // namespace overview
