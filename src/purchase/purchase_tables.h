#pragma once

#include "db/table.h"

namespace purchase {

// The table cursors of the purchase editor: its purchase items, the data-provider view and the
// code tables of its drop-down lists, each opened with the columns the editor relies on. Opening
// them fails on a missing table or a declared column that is missing or of another kind.
class PurchaseTables {
public:
    // Opens every cursor; the purchase items start with the empty row filter, so none show until
    // a data provider is chosen.
    void open();

    db::Table adatlapBR;
    db::Table intezmeny;  // View_Intezmeny
    db::Table ho;
    db::Table termekszolg;
    db::Table mennyisegiegyseg;
    db::Table beszerzesiforras;
    db::Table felhasznter;
    db::Table artipus;
};

}  // namespace purchase
