#pragma once

#include <QString>

namespace db {
class Table;
}

// The column of the caller's current row that a picker writes the chosen code into; the caller
// keeps the table open and has put the row into editing.
struct PickerTarget {
    db::Table* table = nullptr;
    QString column;
};
