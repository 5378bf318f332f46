#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace platform {
class Printer;
}

// Printing the cover notes of the last save run, one print job per file.
namespace transmission {

// Prints every cover note *_KJ.txt of the folder (of the period only, when one is given), in the
// order the folder lists them; how many it printed. The first failure ends the printing there (a
// Failure); the files after it are not printed.
int PrintCoverNotes(const QString& year = {}, const QString& quarter = {});

// The line that ends a printing: how many notes went to which printer, or that the folder held
// none (of the period, when the caller knows one: year and quarter empty otherwise).
QString printedLine(int printed, const QString& year, const QString& quarter);

// Prints the cover note of that bare file name as one print job.
void PrintCoverNoteFile(const QString& name);

// Fills the list with every line of the cover note, the last one included, whether or not a line
// break ends it; an empty file gives one empty line. A file that cannot be read is a Failure.
void ReadLines(const QString& name, QStringList& list);

// Prints the lines as one print job in the cover notes' font.
void PrintLines(const QStringList& list, const QString& title = QString());

// "Courier New" 12 pt when the printer offers it, else "Courier" 12 pt, else its current font.
QFont coverNoteFont(const platform::Printer& printer);

}  // namespace transmission
