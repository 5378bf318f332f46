#pragma once

#include "export/saved_report.h"
#include "quarter.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// How far a quarter's report has got, step by step, from what the database, the working folders
// and the step log hold.
namespace overview {

enum class Step { Record, Items, Check, Save, Send, Print, Copy };

struct StepState {
    Step step;
    QString caption;  // the step, as the window's button names it
    QString state;    // what has been done of it
    bool done = false;
};

// The steps in the order of the work.
QList<StepState> quarterSteps(const Quarter& quarter);

// The newest send run's archive folder that holds report files of the period
// (kuldes/20070512_14_05/), with its time and the files; nothing when none does.
struct SentFolder {
    QString path;
    QDateTime at;
    int files = 0;
};
std::optional<SentFolder> sentFolder(const Quarter& quarter);

// The newest archive folder of the report's period when it holds exactly the report: every file
// the save run wrote, as it wrote it (by the folder's checksum list), compressed beside it, and no
// other file of the period; nothing otherwise.
std::optional<SentFolder> sentReport(const exporting::SavedReport& report);

// The newest quarter with a data-provider record or a purchase item; nothing when the database
// holds neither.
std::optional<Quarter> recordedQuarter();

// recordedQuarter, or the current calendar quarter when there is none.
Quarter latestQuarter();

}  // namespace overview
