#pragma once

#include <QString>

namespace exporting {

// What a save run tells of itself as it goes: the main window shows all of it in its log list,
// step label, gauge and menu; the command line prints the log and takes the end.
class SaveRunObserver {
public:
    virtual ~SaveRunObserver() = default;

    // The run begins: the lines of an earlier run go, and nothing may be sent or printed until
    // this one ends sendable.
    virtual void started() {}
    // A line of the run's log as it is shown; an error line begins with "HIBA: ".
    virtual void logLine(const QString& line, bool error) = 0;
    // The files of the period are being written.
    virtual void writingPeriod(const QString& /*year*/, const QString& /*quarter*/) {}
    // The file being written and its number of rows, none of them written yet.
    virtual void step(const QString& /*fileName*/, int /*rowCount*/) {}
    // The rows of the file written so far; told for every row.
    virtual void progressed(int /*rows*/) {}
    // Every data provider's files are written; they are being finished.
    virtual void providersWritten() {}
    // The run has ended with its files whole on the disk; whether they may be sent and printed:
    // no line was an error and no report file of an earlier run stayed.
    virtual void finished(bool sendable) = 0;
    // The run is ended by a failure, thrown after this.
    virtual void failed() {}
};

}  // namespace exporting
