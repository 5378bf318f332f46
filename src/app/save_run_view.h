#pragma once

#include "export/save_run_observer.h"
#include "platform/pending.h"

class QAction;
class QLabel;
class QListWidget;
class QProgressBar;

namespace app {

// The main window's controls that show a save run: its log in the log list, the file being
// written in the step label, its rows in the gauge, and the period in the send and cover-note
// entries, enabled when the run ends sendable. The gauge and the label are drawn with the log at
// most every 40 ms, often enough to watch the run, seldom enough that drawing does not outweigh
// writing.
class SaveRunView : public exporting::SaveRunObserver {
public:
    SaveRunView(QListWidget* log, QProgressBar* gauge, QLabel* step, QAction* send,
                QAction* coverNote);

    void started() override;
    void logLine(const QString& line, bool error) override;
    void writingPeriod(const QString& year, const QString& quarter) override;
    void step(const QString& fileName, int rowCount) override;
    void progressed(int rows) override;
    void providersWritten() override;
    void finished(bool sendable) override;
    void failed() override;

private:
    void draw(bool now);
    void holdGauge(bool held);

    QListWidget* log_;     // ListBox1
    QProgressBar* gauge_;  // Gauge1
    QLabel* step_;         // Label1
    QAction* send_;        // the menu action of the "Küldés" submenu
    QAction* coverNote_;   // "Kísérőjegyzék nyomtatása"
    int progress_ = 0;     // the gauge's position, given to it when it is drawn
    bool gaugeHeld_ = false;
    platform::PendingDrawing drawing_;
};

}  // namespace app
