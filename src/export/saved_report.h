#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <string_view>

// What the last save run wrote, and the one answer to whether a period's report may leave the
// machine: the send run, the copy, the printing of the cover notes and the quarter's overview all
// ask it, in the windows and on the command line.
namespace exporting {

// A report file as the save run wrote it, by its path relative to the working folder.
struct SavedFile {
    QString path;
    qint64 size = 0;
    QByteArray sha256;  // lower-case hex
};

// The record of the last save run, kept in Adatok/jelentes.json: its period, the report files it
// wrote, whether it ended with its closing lines, and the fingerprint of the period's data as it
// read them. A run records its start before it deletes anything, so one that fails or is killed
// is known as such.
struct SavedReport {
    QString year;
    QString quarter;
    bool complete = false;
    QByteArray fingerprint;
    QDateTime at;
    QList<SavedFile> files;
};

// The record of the last save run; nothing when no run left one.
std::optional<SavedReport> lastSavedReport();
// Writes the record whole and waits for it to reach the disk; a Failure when it cannot.
void storeSavedReport(const SavedReport& report);

// The fingerprint of a period's data as its report files carry them: per data provider, in the
// order the save run takes them, the registration number and the digests of its institution and
// purchase data files. A change that alters no byte of the data files (a price written alike)
// leaves it as it was; any other change of a record or an item alters it.
class Fingerprint {
public:
    void addProvider(const QString& adosajat, const QByteArray& institutionSha256,
                     const QByteArray& purchaseSha256);
    QByteArray result() const;

private:
    QByteArray lines_;
};

// The fingerprint of the period's data in the database as it is now.
QByteArray periodFingerprint(const QString& year, const QString& quarter);

// Whether the period's report is ready to leave: the last save run was of this period and ended
// with its closing lines, every file it wrote is on the disk as it wrote it and no other report
// file of the period is there, and the period's data have the fingerprint they had then. When
// not ready, the reason, as the user is told it.
struct Readiness {
    std::optional<SavedReport> report;  // the last save run's, when it was of this period
    QString reason;                     // empty when ready

    bool ready() const { return reason.isEmpty(); }
};
Readiness reportReadiness(const QString& year, const QString& quarter);

// "A(z) 2031. év 3. negyedév jelentése nem küldhető el: <reason>", the action in place of
// "küldhető el".
QString notReadyText(const QString& year, const QString& quarter, const QString& action,
                     const Readiness& readiness);

}  // namespace exporting
