#pragma once

#include <QList>
#include <QString>

// Every problem of one year and quarter at once, before the save run: the records' and the
// items' store checks, items without a record and records without items.
namespace toolsmenu {

struct Problem {
    QString where;   // which record or item
    QString column;  // the column the check is about; empty when the problem is the whole row's
    QString message;
    bool warning = false;  // the user may let it pass (a tax number's check digit, an address)
};

// The problems of the period in order: per registration number its record, then its items by
// number. A year that is not a whole number or a quarter that is not in the quarter code table
// is a Failure.
QList<Problem> checkPeriod(const QString& year, const QString& quarter);

// The line of the list for one problem.
QString problemLine(const Problem& problem);

bool anyError(const QList<Problem>& problems);

// Writes the list as the program's text files are written; returns its path, relative to the
// program folder: Listak/<year>_<quarter>_ellenorzes.txt. Its errors and warnings are kept for
// the quarter's overview.
QString saveProblemList(const QString& year, const QString& quarter,
                        const QList<Problem>& problems);

// The list's only line when the period has no problem.
inline const QString kNoProblem = QStringLiteral("Nincs hiba.");

}  // namespace toolsmenu
