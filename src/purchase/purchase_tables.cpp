#include "purchase_tables.h"

namespace purchase {

namespace {

using db::DeclaredColumn;
using db::ValueKind;

DeclaredColumn text(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Text};
}
DeclaredColumn integer(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Integer};
}
DeclaredColumn real(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Real};
}

// A code table of the editor's drop-down lists: ID, Nev and the listing's nevstr.
void openCodeTable(db::Table& table, const char* name) {
    table.open(QString::fromLatin1(name), {text("ID"), text("Nev"), text("nevstr")});
}

}  // namespace

void PurchaseTables::open() {
    adatlapBR.open(QStringLiteral("AdatlapBR"),
                   {text("Adosajat"), integer("Beszerzev"), text("Beszerznegyedev"),
                    text("Beszerzho"), integer("Tetelsorszam"), text("Termekszolg"),
                    text("Vtszszolgkod"), text("Termitj"), text("Vtszszolg"), text("Termszolgnev"),
                    text("Mennyisegiegyseg"), integer("Vasaroltmenny"), text("Beszerzforras"),
                    text("Felhasznter"), text("Artipus"), real("Tegysegar"), real("Bazisegysegar")},
                   {{QStringLiteral("adosajat"), QString()}});
    intezmeny.open(QStringLiteral("View_Intezmeny"), {text("id"), integer("Adatszolgev"),
                                                      text("Adatszolgnegyedev"), text("Adosajat")});
    ho.open(QStringLiteral("Torzs_ho"), {text("ID"), text("Nev"), text("Negyedev")});
    termekszolg.open(QStringLiteral("Torzs_Termekszolg"),
                     {integer("ID"), text("Nev"), text("NevStr")});
    openCodeTable(mennyisegiegyseg, "Torzs_Mennyisegiegyseg");
    openCodeTable(beszerzesiforras, "Torzs_Beszerzesiforras");
    openCodeTable(felhasznter, "Torzs_Felhasznter");
    openCodeTable(artipus, "Torzs_Artipus");
}

}  // namespace purchase
