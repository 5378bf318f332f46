#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace exporting {

// One data provider's report of a period as the save run read it, everything its files are made
// of. The item lines are kept as the bytes of their files (Windows-1250, CR LF): a run reads
// 100,000 items, and a value per item would cost more than writing them.
struct ProviderReport {
    QString adosajat;
    QString year;
    QString quarter;
    // The institution record's values as text, in the order of kInstitutionFields.
    QStringList record;
    // The institution data file's line; empty when a value does not fit its field.
    std::string institutionLine;
    int itemCount = 0;
    // The purchase data file's lines.
    std::string itemLines;
    // The listing's item lines, once read with the names of the items' codes.
    std::optional<std::string> listedItems;
    // Of each value that does not fit its field: where it is, its column and why.
    QStringList misfits;

    QString text(int field) const { return record.at(field); }
};

}  // namespace exporting
