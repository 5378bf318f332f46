#include "save_run_view.h"

#include "caption_period.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include <algorithm>

namespace app {

SaveRunView::SaveRunView(QListWidget* log, QProgressBar* gauge, QLabel* step, QAction* send,
                         QAction* coverNote)
    : log_(log), gauge_(gauge), step_(step), send_(send), coverNote_(coverNote) {}

void SaveRunView::started() {
    log_->show();
    log_->clear();
    send_->setEnabled(false);
    coverNote_->setEnabled(false);
    progress_ = 0;
}

void SaveRunView::logLine(const QString& line, bool /*error*/) {
    log_->addItem(line);
}

void SaveRunView::writingPeriod(const QString& year, const QString& quarter) {
    step_->show();
    gauge_->show();
    holdGauge(true);
    gauge_->setRange(0, 1);
    gauge_->setValue(0);
    draw(true);
    send_->setText(sendCaption(year, quarter));
    coverNote_->setText(coverNoteCaption(year, quarter));
}

// The gauge counts the rows of the file being written; an empty result shows an empty gauge
// rather than a busy one.
void SaveRunView::step(const QString& fileName, int rowCount) {
    gauge_->setRange(0, std::max(rowCount, 1));
    progress_ = 0;
    gauge_->setValue(0);
    step_->setText(fileName + QStringLiteral(" mentése"));
    draw(false);
}

// The gauge takes the position when it is drawn and when the run ends: every position it is
// given costs it an accessibility notification, far more than writing the row.
void SaveRunView::progressed(int rows) {
    progress_ = rows;
    draw(false);
}

void SaveRunView::providersWritten() {
    gauge_->setValue(progress_);
    gauge_->hide();
    step_->hide();
}

void SaveRunView::finished(bool sendable) {
    holdGauge(false);
    send_->setEnabled(sendable);
    coverNote_->setEnabled(sendable);
}

// A run that fails leaves the gauge's figures behind as they were.
void SaveRunView::failed() {
    holdGauge(false);
    gauge_->setValue(progress_);
}

// A shown gauge repaints itself at once whenever its position changes, which over a run of
// 100,000 lines would take far longer than writing them. While the run writes, the gauge takes
// its figures with its own drawing held back; it is drawn with the rest when pending messages
// are processed.
void SaveRunView::holdGauge(bool held) {
    if (held != gaugeHeld_)
        gauge_->setUpdatesEnabled(!held);
    gaugeHeld_ = held;
}

void SaveRunView::draw(bool now) {
    if (!drawing_.due(now))
        return;
    gauge_->setValue(progress_);
    gauge_->setUpdatesEnabled(true);
    drawing_.draw(true);
    gauge_->setUpdatesEnabled(!gaugeHeld_);
}

}  // namespace app
