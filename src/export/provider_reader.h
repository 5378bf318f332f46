#pragma once

#include "db/row_reader.h"
#include "provider_report.h"

#include <QStringList>

#include <functional>
#include <span>

namespace exporting {

// Reads the data providers' reports of one save run. Each statement is prepared when it first
// runs, where a statement the database rejects stops the run, and is run again for every data
// provider until the run ends.
class ProviderReader {
public:
    ProviderReader();

    // Reads the record of the report's key into it; false when there is none.
    bool readRecord(ProviderReport& report);
    // The number of the provider's purchase items in the period, into the report.
    int countItems(ProviderReport& report);
    // Reads the items into the report, telling how many were read before each.
    void readItems(ProviderReport& report, const std::function<void(int)>& itemRead);
    // The whole report of the provider of the period: its record, its item count and its items.
    void readReport(ProviderReport& report, const QString& adosajat, const QString& year,
                    const QString& quarter);

private:
    // The current row's values, one for each field; an error text in the report for each that
    // does not fit its field, naming where it is and its column.
    static void readRow(ProviderReport& report, RowValues& values, db::RowReader& row,
                        std::span<const DataField> fields, const std::function<QString()>& where);

    db::RowReader providerRow_;
    db::RowReader itemCount_;
    db::RowReader purchaseRows_;
};

// The registration numbers of the period's data providers, in the order the save run takes them.
QStringList periodProviders(const QString& year, const QString& quarter);

}  // namespace exporting
