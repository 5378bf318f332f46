#pragma once

// One data provider, 12345676, whose records and items of 2007 pass every store check.

#include "db/query.h"

#include <QString>

namespace fixture {

inline void insertRecord(int quarter) {
    db::execute(QStringLiteral("insert into AdatlapInt values ('12345676', 'Városi Kórház', '12', "
                               "'01508', '2660', 'x', 'Fő utca', '1', '2441', '11', '123456', "
                               "'Kiss Anna', 'nincs', '1234', 'Nagy Béla', 'nincs', '5678', 2007, "
                               "?)"),
                {QString::number(quarter)});
}

struct Item {
    int quarter;
    int number;
    const char* kind;  // 1 product, 2 service
    const char* group;
    const char* unit;
    double price;
    double basePrice;
    int quantity;
};

// In the quarter's first month.
inline void insertItem(const Item& item) {
    db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                               "Beszerzho, Tetelsorszam, Termekszolg, Vtszszolgkod, Termitj, "
                               "Vtszszolg, Termszolgnev, Mennyisegiegyseg, Vasaroltmenny, "
                               "Beszerzforras, Felhasznter, Artipus, Tegysegar, Bazisegysegar) "
                               "values ('12345676', 2007, ?, ?, ?, ?, ?, '24421300', '30049019', "
                               "'Tétel', ?, ?, '1', '01', '1', ?, ?)"),
                {QString::number(item.quarter),
                 QStringLiteral("%1").arg(item.quarter * 3 - 2, 2, 10, QChar(u'0')), item.number,
                 QString::fromLatin1(item.kind), QString::fromLatin1(item.group),
                 QString::fromLatin1(item.unit), item.quantity, item.price, item.basePrice});
}

}  // namespace fixture
