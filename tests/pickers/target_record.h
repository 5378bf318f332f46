#pragma once

#include "db/query.h"
#include "db/table.h"
#include "pickers/picker_target.h"
#include "support/program_folder.h"

// A program folder with one data-provider record being edited; one of its columns, holding a
// value at first, receives the picker's choice.
class TargetRecord {
public:
    TargetRecord(const QString& column, const QString& value) : column_(column) {
        db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, %1) values ('12345676', ?)")
                        .arg(db::quoteName(column)),
                    {value});
        table_.open(QStringLiteral("AdatlapInt"));
        table_.edit();
    }

    PickerTarget target() { return {&table_, column_}; }
    QString value() const { return table_.text(column_); }

private:
    testsupport::ProgramFolder folder_;
    db::Table table_;
    QString column_;
};
