#pragma once

#include <QFont>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QPrinter;

namespace platform {

// The printer: its canvas font, which the program sets at start and printing may change, and its
// font list. Jobs go to the print queue the settings name ([printer] name), else to the print
// service's default printer; when a PDF folder is set,
// they go to PDF files in that folder instead (job-1.pdf, job-2.pdf, ...), laid out by the same
// printer object.
class Printer {
public:
    static Printer& instance();

    // The font is kept monospaced: a name that resolves to a proportional font gives the
    // system's fixed-pitch font at the same size.
    void setFont(const QFont& font);
    const QFont& font() const { return font_; }

    // True when the font list offers the family, a stand-in the system maps the name to included.
    bool offersFont(const QString& family) const;

    // An empty folder sends the jobs to the default printer again; job numbers restart at 1.
    void setPdfFolder(const QString& folder);
    const QString& pdfFolder() const { return pdfFolder_; }
    // Where the last job went, as the user knows it: the print queue's name, or the PDF folder.
    QString destination() const;

private:
    friend class PrintJob;
    QString nextPdfFile();

    QFont font_;
    QString pdfFolder_;
    int pdfJobs_ = 0;
    QString queue_;
};

// One print job with the printer's font: each line starts at the left edge one line height below
// the previous one, a line wider than the printable width goes on in the next line, and a new
// page starts when the next line would come closer than two line heights to the bottom edge.
// No printer, a missing, stopped or refusing one, or a printer error is a Failure saying so in the
// user's words, with what to do; a job not ended is discarded.
class PrintJob {
public:
    explicit PrintJob(const QString& title, Printer& printer = Printer::instance());
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Sets the printer's font for the lines that follow.
    void setFont(const QFont& font);
    void writeLine(const QString& line);
    // Releases the job to the printer.
    void end();

private:
    void placeLine(const QString& text);
    qsizetype charactersThatFit(const QString& text) const;

    Printer& printer_;
    QString title_;
    QString printerName_;  // empty when printing to a PDF file
    QTemporaryDir spool_;
    std::unique_ptr<QPrinter> device_;
    QPainter painter_;
    qreal lineHeight_ = 0;
    qreal y_ = 0;
};

}  // namespace platform
