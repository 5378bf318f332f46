#pragma once

#include "data_files.h"
#include "db/row_reader.h"
#include "provider_report.h"
#include "purchase_listing.h"

#include <functional>
#include <optional>

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
    // Reads the items into the report's lines, telling how many were read after each; the
    // listing's lines come with them once the names of the codes are read.
    void readItems(ProviderReport& report, const std::function<void(int)>& itemRead);
    // The report's listed items, read again with the names of the codes when they came without.
    void readListedItems(ProviderReport& report);

private:
    // An error text for each value of the row at the positions, naming where it is and its
    // column.
    static void addMisfits(ProviderReport& report, db::RowReader& row,
                           std::span<const DataField> fields, const std::vector<int>& positions,
                           const QString& where);

    db::RowReader providerRow_;
    db::RowReader itemCount_;
    db::RowReader purchaseRows_;
    FixedWidthRow values_;
    // Made with the first listing, which reads the code tables.
    std::optional<ListingItems> listing_;
};

}  // namespace exporting
