#pragma once

#include <QString>

#include <atomic>

class QFile;

namespace platform {
class WholeFile;
}

namespace transmission {

// What a copy to the removable medium tells whoever started it and asks them: the main window,
// the command line, a test.
class MediaCopyObserver {
public:
    virtual ~MediaCopyObserver() = default;
    // Each report file of another period, which is left alone, and at the end how many files
    // were copied where, or that the period had none.
    virtual void logLine(const QString& line) = 0;
    // A file that does not fit, and the end of a pass whose last file did not.
    virtual void warn(const QString& text) = 0;
    // After every block: the bytes copied so far of the file being copied, and its size.
    virtual void progressed(qint64 copied, qint64 size) { (void)copied, (void)size; }
    // No medium is there: whether to look again. Where no one can be asked, no.
    virtual bool askAgain(const QString& question) {
        (void)question;
        return false;
    }
};

// The copy of the last save run's report files, uncompressed and under their own names, to the
// removable medium that stands for drive "a:\": the data provider files, the purchase files and
// the cover notes of the period, in three passes. Each file is written under a temporary name
// beside its own and renamed into place once it is on the medium, so a copy cut short, by a full
// medium, a failure or a kill, leaves each report on the medium whole or absent, and a link on the
// medium is replaced, never followed.
class FloppyCopy {
public:
    // The medium is the folder given, or the one platform::removableMediaFolder finds.
    FloppyCopy(QString year, QString quarter, MediaCopyObserver& observer, QString medium = {});

    // Waits for a medium, asking the observer again until it answers no, then runs the three
    // passes. A medium inside the program's own folders is a Failure before anything is copied;
    // a failure other than a full medium ends the copy there (a Failure). Whether every file of
    // the period was copied.
    bool MasolasFloppyra();

    // True when the medium's folder is there and can be entered.
    bool FloppyPresent();

    // Copies one file in blocks of 64,000 bytes. False, after warning, when the medium lacks the
    // space, and when the copy was stopped; a copy that fails midway is not left on the medium,
    // and the failure is thrown.
    bool CopyToFloppy(const QString& source, const QString& destination);

    // Ends the copy before its next block: the file being copied is not left on the medium and
    // no later one is copied. Safe from any thread and from a signal handler.
    void stop() { stopped_ = true; }

private:
    // Copies every entry of the folder that the pattern finds; the pass ends at the first file
    // that does not fit when asked to. Warns when the last file tried did not fit. Whether every
    // file of the period was copied.
    bool copyPass(const QString& folder, const QString& pattern, bool stopAtFirstMiss);
    void copyBlocks(QFile& source, platform::WholeFile& destination);

    QString year_;
    QString quarter_;
    MediaCopyObserver& observer_;
    QString givenMedium_;
    QString medium_;
    int copied_ = 0;  // files copied by this run
    std::atomic<bool> stopped_ = false;
};

}  // namespace transmission
