// The import window: the choices it demands, the faults it lists and saves, and an import that
// passes.

#include "db/query.h"
#include "purchase/widgets/UnitBeszerzesImport.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::MessageKind;
using testsupport::ScriptedMessages;

namespace {

const QByteArray kHeader =
    "Beszerzho;Termekszolg;Vtszszolgkod;Termszolgnev;Mennyisegiegyseg;"
    "Vasaroltmenny;Beszerzforras;Felhasznter;Artipus;Tegysegar;"
    "Bazisegysegar\r\n";

QStringList listed(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines.append(list->item(i)->text());
    return lines;
}

}  // namespace

class TestBeszerzesImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importsOrListsFaults() {
        testsupport::ProgramFolder folder;
        ScriptedMessages messages;
        db::execute(
            QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                           "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
        TFormBeszerzesImport window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Beszerzések importálása"));
        QCOMPARE(window.ComboBox_intezmenyid->itemText(0),
                 QStringLiteral("12345676 Kórház 2007/3"));

        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        QCOMPARE(messages.takeTexts(), QStringList{u"Válasszon adatszolgáltatót!"_s});
        window.ComboBox_intezmenyid->setCurrentIndex(0);
        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        QCOMPARE(messages.takeTexts(), QStringList{u"Válassza ki a CSV-fájlt!"_s});

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("tetelek.csv"));
        const QString faultList = dir.filePath(QStringLiteral("tetelek_hibak.txt"));
        QVERIFY(testsupport::writeFile(csv,
                                       kHeader + "08;1;1030;Amoxicillin;01;sok;2;02;1;100;90\r\n"));
        window.Edit_fajl->setText(csv);
        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        const QString fault = QStringLiteral(
            "2. sor, Vasaroltmenny: A 'Vásárolt mennyiség' nevű "
            "mezőben megadott \"sok\" nem egész szám!!!");
        QCOMPARE(listed(window.ListBox_hibak), QStringList{fault});
        QCOMPARE(messages.take(),
                 (QList<testsupport::ShownBox>{
                     {MessageKind::Warning,
                      QStringLiteral("Nem történt importálás: 1 hibát talált. A hibalista: ") +
                          faultList,
                      {platform::Button::Ok}}}));
        QVERIFY(QFile::exists(faultList));
        QCOMPARE(db::Query(QStringLiteral("select count(*) from AdatlapBR")).text(0), u"0");

        QVERIFY(
            testsupport::writeFile(csv, kHeader + "08;1;1030;Amoxicillin;01;12;2;02;1;100;90\r\n"));
        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        const QString summary = QStringLiteral(
            "1 tétel importálva a(z) 12345676 adószámú "
            "adatlapra (2007. év 3. negyedév), tételsorszám 1-1.");
        QCOMPARE(listed(window.ListBox_hibak), QStringList{summary});
        QCOMPARE(messages.takeTexts(), QStringList{summary});
        QVERIFY(!QFile::exists(faultList));
        QCOMPARE(db::Query(QStringLiteral("select count(*) from AdatlapBR")).text(0), u"1");

        // The same file again: the user is asked; No imports nothing, Yes imports it again.
        const QString question = QStringLiteral(
            "A CSV-fájl 1 sora már szerepel az adatlapon. Újra importálja ezeket is?");
        messages.answer(platform::Button::No);
        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        QCOMPARE(messages.takeTexts(), QStringList{question});
        QCOMPARE(listed(window.ListBox_hibak),
                 QStringList{u"2. sor: Ez a tétel már szerepel az adatlapon (1. tétel)!"_s});
        messages.answer(platform::Button::Yes);
        QTest::mouseClick(window.Button_importalas, Qt::LeftButton);
        QCOMPARE(messages.takeTexts().first(), question);
        QCOMPARE(db::Query(QStringLiteral("select count(*) from AdatlapBR")).text(0), u"2");
    }
};

QTEST_MAIN(TestBeszerzesImport)
#include "test_beszerzes_import.moc"
