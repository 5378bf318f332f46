#pragma once

#include "institution/institution_records.h"
#include "platform/failure.h"

// Starting a quarter from the last one: the data-provider record and its purchase items copied
// under the next quarter's key.
namespace toolsmenu {

// The key of the quarter after the key's own: quarter 4 rolls into the next year's quarter 1.
institution::ReportKey nextQuarter(const institution::ReportKey& key);

// The carry was refused before anything changed; the text is what the user is told.
class CarryRefused : public platform::Failure {
public:
    using Failure::Failure;
};

// Copies the record of the key under the next quarter's key, and every purchase item of the key
// with its month moved to the same place within the new quarter; item numbers, prices and
// quantities stay. One transaction: all or nothing. Returns the new key and the number of items
// copied. A missing record, a taken key (the institution store's duplicate-key warning) or an
// item whose month is not one of its quarter is a CarryRefused; a database fault is a Failure.
struct Carried {
    institution::ReportKey key;
    int items = 0;
};
Carried carryForward(const institution::ReportKey& from);

}  // namespace toolsmenu
