#include "cover_note_printing.h"

#include "export/common.h"
#include "overview/step_log.h"
#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/widgets/printer.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace transmission {

using exporting::kCoverNoteFolder;

int PrintCoverNotes(const QString& year, const QString& quarter) {
    const QString period = year.isEmpty() ? QString() : year + u'_' + quarter + u'_';
    const QStringList names =
        exporting::entriesOf(kCoverNoteFolder, period + QStringLiteral("*_KJ.txt"));
    for (const QString& name : names)
        PrintCoverNoteFile(name);
    // The quarter's overview tells the notes of a period printed once all of them are.
    QSet<QString> periods;
    for (const QString& name : names)
        periods.insert(name.section(u'_', 0, 1));
    for (const QString& period : periods)
        overview::recordDelivery(overview::Delivery::Printed, period.section(u'_', 0, 0),
                                 period.section(u'_', 1, 1));
    return static_cast<int>(names.size());
}

QString printedLine(int printed, const QString& year, const QString& quarter) {
    if (printed > 0)
        return QStringLiteral("%1 kísérőjegyzék a(z) %2 nyomtatóra küldve")
            .arg(printed)
            .arg(platform::Printer::instance().destination());
    if (year.isEmpty())
        return QStringLiteral("Nincs nyomtatandó kísérőjegyzék a(z) %1 mappában.")
            .arg(kCoverNoteFolder);
    return QStringLiteral("Nincs nyomtatandó kísérőjegyzék a(z) %1. év %2. negyedévére.")
        .arg(year, quarter);
}

void PrintCoverNoteFile(const QString& name) {
    QStringList lines;
    ReadLines(name, lines);
    PrintLines(lines, name);
}

void ReadLines(const QString& name, QStringList& list) {
    QFile file(kCoverNoteFolder + name);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Failure(
            QStringLiteral("Cannot open file %1. %2")
                .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw platform::Failure(
            QStringLiteral("Cannot read file %1. %2")
                .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    // A line ends at CR LF, or at a lone LF; the break after the last line adds no empty line.
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        list.append(platform::fromWindows1250(line));
    }
}

void PrintLines(const QStringList& list, const QString& title) {
    auto& printer = platform::Printer::instance();
    platform::PrintJob job(title, printer);
    job.setFont(coverNoteFont(printer));
    for (const QString& line : list)
        job.writeLine(line);
    job.end();
}

QFont coverNoteFont(const platform::Printer& printer) {
    for (const QString& family : {QStringLiteral("Courier New"), QStringLiteral("Courier")}) {
        if (printer.offersFont(family))
            return QFont(family, 12);
    }
    return printer.font();
}

}  // namespace transmission
