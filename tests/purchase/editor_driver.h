#pragma once

// Drives the purchase editor as the user does: choosing entries, typing, picking groups.

#include "db/query.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "pickers/UnitLista.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "support/user_input.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace editordriver {

// One purchase item as the user enters it, column by column in the order of the edit panel; the
// group code is picked in the list picker.
using Item = QList<std::pair<QString, QString>>;

inline Item productItem() {
    return {{QStringLiteral("Beszerzho"), QStringLiteral("08")},
            {QStringLiteral("Termekszolg"), QStringLiteral("1")},
            {QStringLiteral("Vtszszolgkod"), QStringLiteral("1010")},
            {QStringLiteral("Termszolgnev"), QStringLiteral("Tabletta")},
            {QStringLiteral("Mennyisegiegyseg"), QStringLiteral("01")},
            {QStringLiteral("Vasaroltmenny"), QStringLiteral("12")},
            {QStringLiteral("Beszerzforras"), QStringLiteral("1")},
            {QStringLiteral("Felhasznter"), QStringLiteral("01")},
            {QStringLiteral("Artipus"), QStringLiteral("1")},
            {QStringLiteral("Tegysegar"), QStringLiteral("1250,5")},
            {QStringLiteral("Bazisegysegar"), QStringLiteral("0,5")}};
}

inline Item with(Item item, const QString& column, const QString& value) {
    for (auto& [name, text] : item)
        if (name == column)
            text = value;
    return item;
}

using testsupport::choose;
using testsupport::chooseKey;
using testsupport::click;
using testsupport::type;

// Chooses the data-provider record of a registration number.
inline void chooseProvider(TFormAdatlapBR& form, const QString& adosajat) {
    QComboBox* list = form.DBLookupComboBox_intezmenyid;
    for (int entry = 0; entry < list->count(); ++entry)
        if (list->itemText(entry).startsWith(adosajat))
            return choose(list, entry);
    QFAIL(qPrintable(adosajat));
}

// Presses the group button and chooses the group of that id in the picker; an empty id closes
// the picker without a choice. Returns the picker's caption.
inline QString pickGroup(TFormAdatlapBR& form, const QString& id) {
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* picker = qobject_cast<TFormLista*>(QApplication::activeModalWidget());
        QVERIFY(picker);
        caption = picker->windowTitle();
        if (id.isEmpty())
            return (void)picker->close();
        QListView* list = picker->DBLookupListBox_list;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 1).data().toString() == id)
                list->setCurrentIndex(list->model()->index(row, 0));
        picker->Button_mehet->click();
    });
    click(form.Button_termszolgcsopval);
    return caption;
}

inline QWidget* control(TFormAdatlapBR& form, const QString& column) {
    for (auto* box : form.GroupBox_edit->findChildren<db::BoundLineEdit*>())
        if (box->column().compare(column, Qt::CaseInsensitive) == 0)
            return box;
    const QHash<QString, QWidget*> lookups = {
        {QStringLiteral("Beszerzho"), form.DBLookupComboBox_beszerzho},
        {QStringLiteral("Termekszolg"), form.DBLookupComboBox_termekszolg},
        {QStringLiteral("Mennyisegiegyseg"), form.DBLookupComboBox_mennyisegiegyseg},
        {QStringLiteral("Beszerzforras"), form.DBLookupComboBox_Beszerzesiforras},
        {QStringLiteral("Felhasznter"), form.DBLookupComboBox_Felhasznter},
        {QStringLiteral("Artipus"), form.DBLookupComboBox_Artipus}};
    return lookups.value(column);
}

// Fills the edit panel of the item being added or modified.
inline void fill(TFormAdatlapBR& form, const Item& item) {
    for (const auto& [column, value] : item) {
        QWidget* box = control(form, column);
        if (column == u"Vtszszolgkod")
            pickGroup(form, value);
        else if (auto* list = qobject_cast<db::BoundLookupComboBox*>(box))
            chooseKey(list, value);
        else
            type(qobject_cast<QLineEdit*>(box), value);
    }
}

// The stored purchase items in their order, each as its non-empty columns.
inline QList<QMap<QString, QString>> storedItems() {
    QList<QMap<QString, QString>> items;
    for (db::Query query(QStringLiteral("select * from AdatlapBR order by rowid")); !query.eof();
         query.next()) {
        QMap<QString, QString> item;
        for (int i = 0; i < query.fieldCount(); ++i)
            if (!query.text(i).isEmpty())
                item.insert(query.fieldName(i), query.text(i));
        items.append(item);
    }
    return items;
}

inline void insertProvider(const QString& adosajat, int year, const QString& quarter,
                           const QString& name) {
    db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                               "Adatszolgnegyedev) values (?, ?, ?, ?)"),
                {adosajat, name, year, quarter});
}

}  // namespace editordriver
