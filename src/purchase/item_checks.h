#pragma once

#include "checks/check_methods.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace db {
class Query;
}

// The rules a purchase item must pass before it is stored, as plain code: the editor shows the
// first fault in a box, the import lists the faults of every row.
namespace purchase {

// The values the checks look at, as the editor shows them: the shown text of each list, the
// typed text of each box, and the group name shown beside the group chooser.
struct ItemEntries {
    QString month;
    QString kind;
    QString code;
    QString groupName;
    QString name;
    QString unit;
    QString quantity;
    QString source;
    QString area;
    QString priceType;
    QString price;
    QString basePrice;
};

// A failed check: the AdatlapBR column it is about and what the check found.
struct ItemFault {
    QString column;
    CheckMethods::Fault fault;
};

// The checks of "Tárolás" in their order; the first that fails, or nothing when all pass.
std::optional<ItemFault> firstFailingCheck(const ItemEntries& entries);

// The message for a value given for the labelled field that the field does not take, quoting it.
QString valueFault(const QString& label, const QString& value, const QString& problem);
// The fault of a code list's column (Termekszolg, Mennyisegiegyseg, …) holding a code that its
// code table lacks, which the editor's list would show empty.
ItemFault missingCodeFault(const QString& column, const QString& code);

// The eleven columns of an item that the user enters, in AdatlapBR's order: two items of one
// record alike in all of them are most likely one purchase entered twice.
extern const QStringList kEnteredColumns;

// One text for an item's entered values (their texts as stored values show, in the order of
// kEnteredColumns), the same for items alike in all of them.
QString enteredValuesKey(const QStringList& texts);

// The group code tables of the two kinds of item, and the look-up's text for a missing group.
inline const QString kProductGroupTable = QStringLiteral("Torzs_TermekCsoport");
inline const QString kServiceGroupTable = QStringLiteral("Torzs_SzolgaltatasCsoport");
inline const QString kGroupNotFound = QStringLiteral("Nincs ilyen kódú csoport!");

// The group code table of a kind of item (Torzs_Termekszolg ID "1" or "2"); empty for any other.
QString groupTableOf(const QString& kind);

// A group row: its name and the codes an item of the group carries.
struct Group {
    QString name;
    QString itj;
    QString number;  // vtsz of a product group, szjszam of a service group
};

// Looks the code up in the group table with the given query; nothing when the table has no such
// group.
std::optional<Group> lookUpGroup(db::Query& query, const QString& groupTable, const QString& code);

}  // namespace purchase
