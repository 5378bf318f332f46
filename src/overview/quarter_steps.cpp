#include "quarter_steps.h"

#include "db/query.h"
#include "export/common.h"
#include "step_log.h"

#include <QDir>
#include <QFileInfo>

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

// The report files a save run of the period writes: per data-provider record its two data files
// and its cover note.
QStringList expectedFiles(const Quarter& quarter) {
    QStringList paths;
    for (db::Query records(QStringLiteral("select distinct Adosajat from AdatlapInt where "
                                          "Adatszolgev = ? and Adatszolgnegyedev = ? order by 1"),
                           periodValues(quarter));
         !records.eof(); records.next()) {
        const QString name = quarter.filePrefix() + records.text(0);
        paths << exporting::kTextFolder + name + QStringLiteral("_BI.txt")
              << exporting::kTextFolder + name + QStringLiteral("_BR.txt")
              << exporting::kCoverNoteFolder + name + QStringLiteral("_KJ.txt");
    }
    return paths;
}

// What the last save run of the period left: the report files present, and any left under a
// temporary name by a run that did not finish.
struct SavedFiles {
    QStringList expected;
    QStringList missing;
    int unfinished = 0;
    QDateTime newest;  // when the newest file present was written
};

SavedFiles savedFiles(const Quarter& quarter) {
    SavedFiles saved{expectedFiles(quarter), {}, 0, {}};
    for (const QString& path : saved.expected) {
        const QFileInfo file(path);
        if (!file.isFile())
            saved.missing.append(file.fileName());
        else if (file.lastModified() > saved.newest)
            saved.newest = file.lastModified();
    }
    const QString temporary = quarter.filePrefix() + QStringLiteral("*.tmp");
    for (const QString& folder : {exporting::kTextFolder, exporting::kCoverNoteFolder})
        saved.unfinished += static_cast<int>(exporting::entriesOf(folder, temporary).size());
    return saved;
}

StepState saveStep(const SavedFiles& saved) {
    StepState step{Step::Save, QStringLiteral("Mentés"), {}, false};
    const auto present = saved.expected.size() - saved.missing.size();
    if (saved.unfinished > 0)
        step.state = QStringLiteral("%1 félbemaradt állomány; mentse újra").arg(saved.unfinished);
    else if (present == 0)
        step.state = QStringLiteral("még nem készült");
    else if (!saved.missing.isEmpty())
        step.state = QStringLiteral("%1 / %2 állomány; hiányzik: %3")
                         .arg(present)
                         .arg(saved.expected.size())
                         .arg(saved.missing.join(QStringLiteral(", ")));
    else {
        step.state =
            QStringLiteral("%1 állomány megvan, ép (%2)").arg(present).arg(timeText(saved.newest));
        step.done = true;
    }
    return step;
}

StepState checkStep(const Quarter& quarter) {
    StepState step{Step::Check, QStringLiteral("Negyedév ellenőrzése"), {}, false};
    const auto check = lastCheck(quarter.yearText(), quarter.quarterText());
    if (!check) {
        step.state = QStringLiteral("még nem futott");
        return step;
    }
    step.done = check->errors == 0;
    step.state = QStringLiteral("%1, %2 figyelmeztetés (%3)")
                     .arg(step.done ? QStringLiteral("hiba nélkül")
                                    : QStringLiteral("%1 hiba").arg(check->errors))
                     .arg(check->warnings)
                     .arg(timeText(check->at));
    return step;
}

StepState sendStep(const Quarter& quarter) {
    StepState step{Step::Send, QStringLiteral("Küldés"), QStringLiteral("még nem küldte el"),
                   false};
    if (const auto sent = sentFolder(quarter)) {
        step.state = QStringLiteral("%1: %2 állomány (%3)")
                         .arg(QDir::toNativeSeparators(sent->path))
                         .arg(sent->files)
                         .arg(timeText(sent->at));
        step.done = true;
    }
    return step;
}

// A delivery counts only when it came after the save run that wrote the files.
StepState deliveryStep(const Quarter& quarter, Delivery delivery, Step kind, const QString& caption,
                       const SavedFiles& saved) {
    StepState step{kind, caption, {}, false};
    const QString doneText =
        delivery == Delivery::Printed ? QStringLiteral("nyomtatva") : QStringLiteral("átmásolva");
    const auto at = lastDelivery(delivery, quarter.yearText(), quarter.quarterText());
    if (!at)
        step.state = QStringLiteral("nincs ") + doneText;
    else if (saved.newest.isValid() && *at < saved.newest)
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
    const SavedFiles saved = savedFiles(quarter);
    return {
        {Step::Record, QStringLiteral("Adatszolgáltató intézmény"),
         records > 0 ? QStringLiteral("%1 adatlap").arg(records) : QStringLiteral("nincs adatlap"),
         records > 0},
        {Step::Items, QStringLiteral("Beszerzés"),
         items > 0 ? QStringLiteral("%1 tétel").arg(items) : QStringLiteral("nincs tétel"),
         items > 0},
        checkStep(quarter),
        saveStep(saved),
        sendStep(quarter),
        deliveryStep(quarter, Delivery::Printed, Step::Print,
                     QStringLiteral("Kísérőjegyzék nyomtatása"), saved),
        deliveryStep(quarter, Delivery::Copied, Step::Copy, QStringLiteral("Másolás adathordozóra"),
                     saved),
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
