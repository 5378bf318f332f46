#include "printed_output.h"

#include "platform/widgets/printer.h"

#include <QCollator>
#include <QDir>
#include <QProcess>
#include <QtGlobal>

#include <algorithm>

namespace testsupport {

QList<QStringList> pdfPages(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                     path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0) {
        qWarning("pdftotext failed on %s", qPrintable(path));
        return {};
    }
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\f');
    pages.removeLast();  // after the last page's form feed
    QList<QStringList> result;
    for (const QString& page : pages) {
        QStringList lines = page.split(u'\n');
        for (QString& line : lines) {
            while (line.endsWith(u' '))
                line.chop(1);
        }
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        result.append(lines);
    }
    return result;
}

QStringList pdfFiles(const QString& folder) {
    QStringList names = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    QCollator numbersByValue;
    numbersByValue.setNumericMode(true);
    std::sort(names.begin(), names.end(), numbersByValue);
    QStringList paths;
    for (const QString& name : names)
        paths.append(QDir(folder).filePath(name));
    return paths;
}

PrintedToPdf::PrintedToPdf() {
    auto& printer = platform::Printer::instance();
    printer.setPdfFolder(dir_.path());
    printer.setFont(QFont(QStringLiteral("Courier New"), 12));
}

PrintedToPdf::~PrintedToPdf() {
    platform::Printer::instance().setPdfFolder(QString());
}

}  // namespace testsupport
