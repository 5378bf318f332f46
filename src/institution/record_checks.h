#pragma once

#include "checks/check_methods.h"

#include <QString>

#include <functional>
#include <optional>

// The checks a data-provider record must pass before it is stored, as plain code: the editor
// shows the first fault in a box, the period check lists the faults of every record.
namespace institution {

// The values the checks look at, as the editor shows them: the typed text of each box, the shown
// text of each list (empty when the stored code is not in its code table), and the names looked
// up for the settlement and sector codes.
struct RecordEntries {
    QString adosajat;
    QString year;
    QString quarter;
    QString intnev;
    QString megye;
    QString telepuleskod;
    QString telepules;
    QString irsz;
    QString utca;
    QString hsz;
    QString intag;
    QString intagnev;
    QString gazdfor;
    QString antszkod;
    QString toltnev;
    QString tolttel;
    QString toltmail;
    QString vezetonev;
    QString vezetotel;
    QString vezetomail;
};

// A failed check: the AdatlapInt column it is about and what the check found.
struct RecordFault {
    QString column;
    CheckMethods::Fault fault;
};

// The checks of "Tárolás" in their order; the first that fails, or nothing when all pass.
// keyTaken tells whether another record holds the key; it is asked only when the checks before
// the duplicate-key check pass. A wrong check digit of the tax number is no failure here: it is
// the question below, which the user may answer either way.
std::optional<RecordFault> firstFailingCheck(const RecordEntries& entries,
                                             const std::function<bool()>& keyTaken);

// The check-digit question of a tax number of eight digits; nothing when the digit is right or
// the number is not eight digits (its check fails first).
std::optional<QString> checkDigitQuestion(const RecordEntries& entries);

}  // namespace institution
