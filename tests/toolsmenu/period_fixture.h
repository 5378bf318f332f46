#pragma once

// The fixture of the period check: one problem of each kind in 2007/3, and the lines that tell
// them.

#include "db/query.h"
#include "platform/codepage.h"

#include <QStringList>

namespace periodfixture {

// A record that passes every check but the ones a test breaks.
inline void insertRecord(const QString& adosajat, int quarter, const QString& intnev,
                         const QString& settlement) {
    db::execute(
        QStringLiteral("insert into AdatlapInt values (?, ?, '12', ?, '2660', 'x', 'Fő utca', "
                       "'1', '2441', '11', '123456', 'Kiss Anna', 'nincs', '1234', 'Nagy Béla', "
                       "'vezeto@korhaz.hu', '5678', 2007, ?)"),
        {adosajat, intnev, settlement, QString::number(quarter)});
}

// An item that passes every check but the ones a test breaks.
inline void insertItem(const QString& adosajat, int number, const QString& month,
                       const QString& group, const QString& unit) {
    db::execute(QStringLiteral("insert into AdatlapBR values (?, 2007, '3', ?, ?, '1', ?, "
                               "'24421300', '30049019', 'Tabletta', ?, 10, '1', '01', '1', "
                               "12.5, 11)"),
                {adosajat, month, number, group, unit});
}

// 12345676 (check digit right) has a good item, three bad ones, a copy of the good one and one the
// data file cannot hold; 12345678 (check digit wrong) has no name and no items; 11111111 names a
// settlement the code list lacks; 99999997's item has no record; a record of another quarter stays
// out. 22222222's county and 44444444's postal code are not those of their settlement; 33333333,
// in a Budapest district, has a code of the city.
inline void insertFixture() {
    const QString a = QStringLiteral("12345676");
    insertRecord(a, 3, QStringLiteral("Szent 'Imre' Kórház"), QStringLiteral("01508"));
    insertItem(a, 1, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 2, QStringLiteral("08"), QStringLiteral("1010"), QStringLiteral("99"));
    insertItem(a, 3, QStringLiteral("09"), QStringLiteral("9999"), QStringLiteral("01"));
    insertItem(a, 4, QStringLiteral("01"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 5, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 100000, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    db::execute(
        QStringLiteral("update AdatlapBR set Vasaroltmenny = 1234567890 "
                       "where Tetelsorszam = 100000"));
    insertRecord(QStringLiteral("12345678"), 3, QString(), QStringLiteral("01508"));
    insertRecord(QStringLiteral("11111111"), 3, QStringLiteral("Rendelő"), QStringLiteral("99999"));
    insertItem(QStringLiteral("11111111"), 1, QStringLiteral("07"), QStringLiteral("1010"),
               QStringLiteral("01"));
    insertItem(QStringLiteral("99999997"), 1, QStringLiteral("07"), QStringLiteral("1010"),
               QStringLiteral("01"));
    insertRecord(QStringLiteral("12345678"), 2, QString(), QStringLiteral("01508"));
    for (const char* adosajat : {"22222222", "33333333", "44444444"}) {
        insertRecord(QString::fromLatin1(adosajat), 3, QStringLiteral("Kórház"),
                     QStringLiteral("01508"));
        insertItem(QString::fromLatin1(adosajat), 1, QStringLiteral("07"), QStringLiteral("1010"),
                   QStringLiteral("01"));
    }
    db::execute(
        QStringLiteral("update AdatlapInt set Sz_megyekod = '13' where Adosajat = "
                       "'22222222'"));
    db::execute(
        QStringLiteral("update AdatlapInt set Sz_megyekod = '01', Sz_telepuleskod = "
                       "'09566', Irsz = '1011' where Adosajat = '33333333'"));
    db::execute(QStringLiteral("update AdatlapInt set Irsz = '5300' where Adosajat = '44444444'"));
}

// The shipped placeholder addressee is there while velkor.ini names none.
inline const QString kPlaceholderAddressee = QStringLiteral(
    "Figyelmeztetés: A kísérőjegyzék címzettje még a program mintaadata; a gyűjtő szervezet "
    "adatait a velkor.ini [addressee] csoportjában kell megadni: address, postal_address, decree");

inline const QStringList kProblems = {
    kPlaceholderAddressee,
    QStringLiteral("Adatlap 11111111 2007/3, Sz_telepuleskod: Nincs ilyen kódú település!"),
    QStringLiteral(
        "Tétel 12345676 2007/3 2., Mennyisegiegyseg: A 'Mennyiségi egység' nevű mezőben megadott "
        "\"99\" nem szerepel a kódtáblában!!!"),
    QStringLiteral("Tétel 12345676 2007/3 3., Vtszszolgkod: Nincs ilyen kódú csoport!"),
    QStringLiteral(
        "Tétel 12345676 2007/3 4., Beszerzho: A 'Beszerzés hónapja' nevű mező nincs kitöltve!!!"),
    QStringLiteral("Figyelmeztetés: Tétel 12345676 2007/3 5.: megegyezik a(z) 1. tétellel"),
    QStringLiteral(
        "Tétel 12345676 2007/3 100000., Tetelsorszam: A(z) \"100000\" érték nem fér el az "
        "adatállomány 5 karakteres mezőjében!"),
    QStringLiteral(
        "Tétel 12345676 2007/3 100000., Vasaroltmenny: A(z) \"1234567890\" érték nem fér el az "
        "adatállomány 9 karakteres mezőjében!"),
    QStringLiteral(
        "Figyelmeztetés: Adatlap 12345678 2007/3, Adosajat: A 'törzsszám' nevű mezőben megadott "
        "adószámnak ellenőrző karaktere hibás! Valóban ez az intézmény hivatalos adószáma?"),
    QStringLiteral(
        "Adatlap 12345678 2007/3, Intnev: A 'Adatszolgáltató neve' nevű mező nincs kitöltve!!!"),
    QStringLiteral("Adatlap 12345678 2007/3: nincs beszerzési tétele"),
    QStringLiteral(
        "Figyelmeztetés: Adatlap 22222222 2007/3, Sz_megyekod: A(z) 01508 kódú település megyéje "
        "12 (Nógrád), nem 13 (Pest)!"),
    QStringLiteral(
        "Figyelmeztetés: Adatlap 44444444 2007/3, Irsz: A(z) 5300 irányítószám nem a(z) 01508 kódú "
        "településé; annak irányítószámai: 2660!"),
    QStringLiteral("Tétel 99999997 2007/3 1.: nincs hozzá adatlap, a mentés kihagyja"),
};

inline QByteArray listFile(const QStringList& lines) {
    return platform::toWindows1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

}  // namespace periodfixture
