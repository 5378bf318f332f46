#pragma once

#include <QString>

namespace app {

// The year and quarter of a save run, as its menu captions carry them.
struct Period {
    QString year;     // 4 characters
    QString quarter;  // 1 character
};

// The period a caption carries: a save item's ("Mentés 2007-3") or, once a save run has set it,
// the Send entry's ("Küldés 2007 - 3"). The year is the 4 characters after the word and its
// blank, the quarter the character after the year and its dash. The accelerator marker the menu
// puts into the caption is not counted, wherever it stands: "&Mentés 2007-3", "M&entés 2007-3"
// and "&Küldés 2007 - 3" read as they are shown.
Period periodOfCaption(const QString& caption);

// The captions of the Send and cover-note entries that carry the period of a save run:
// "Küldés 2007 - 3" and "Kísérőjegyzék nyomtatása 2007 - 3".
QString sendCaption(const QString& year, const QString& quarter);
QString coverNoteCaption(const QString& year, const QString& quarter);

}  // namespace app
