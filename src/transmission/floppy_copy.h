#pragma once

#include <QString>

#include <functional>

class QFile;

namespace transmission {

// The copy of the last save run's report files, uncompressed and under their own names, to the
// removable medium that stands for drive "a:\": the data provider files, the purchase files and
// the cover notes of the period, in three passes.
class FloppyCopy {
public:
    // Told the size of the file being copied and the bytes copied so far, after every block.
    using Progress = std::function<void(qint64 copied, qint64 size)>;
    // Told each report file of another period, which is left alone, and at the end how many
    // files were copied where, or that the period had none.
    using Log = std::function<void(const QString& line)>;

    // The medium is the folder given, or the one platform::removableMediaFolder finds.
    FloppyCopy(QString year, QString quarter, Log log = {}, Progress progress = {},
               QString medium = {});

    // Waits for a medium, asking again until the user answers No, then runs the three passes. A
    // failure other than a full medium ends the copy there (a Failure). Whether every file of the
    // period was copied.
    bool MasolasFloppyra();

    // True when the medium's folder is there and can be entered.
    bool FloppyPresent();

    // Copies one file in blocks of 64,000 bytes, letting the windows draw between blocks, and
    // flushes it to the medium. False, after telling the user, when the medium lacks the space;
    // a copy that fails midway is removed from the medium and the failure thrown.
    bool CopyToFloppy(const QString& source, const QString& destination);

private:
    // Copies every entry of the folder that the pattern finds; the pass ends at the first file
    // that does not fit when asked to. Warns when the last file tried did not fit. Whether every
    // file of the period was copied.
    bool copyPass(const QString& folder, const QString& pattern, bool stopAtFirstMiss);
    void copyBlocks(QFile& source, QFile& destination);

    QString year_;
    QString quarter_;
    Log log_;
    Progress progress_;
    QString givenMedium_;
    QString medium_;
    int copied_ = 0;  // files copied by this run
};

}  // namespace transmission
