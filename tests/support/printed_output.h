#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// The text of a PDF file as `pdftotext -layout` lays it out, one entry per page, each page's
// lines without their trailing blanks.
QList<QStringList> pdfPages(const QString& path);

// The PDF files of a folder, job-2.pdf before job-10.pdf.
QStringList pdfFiles(const QString& folder);

// While it lives, print jobs go to PDF files in a temporary folder of its own, and the printer
// font is the one the program sets at start.
class PrintedToPdf {
public:
    PrintedToPdf();
    ~PrintedToPdf();
    PrintedToPdf(const PrintedToPdf&) = delete;
    PrintedToPdf& operator=(const PrintedToPdf&) = delete;

    QStringList jobs() const { return pdfFiles(dir_.path()); }

private:
    QTemporaryDir dir_;
};

}  // namespace testsupport
