// The purchase editor opened from the main window stores items that the save run then writes:
// the editor and the data files agree on the form of every column.

#include "app/UnitFo.h"
#include "editor_driver.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QStringDecoder>

using namespace Qt::StringLiterals;
using namespace editordriver;
using testsupport::ProgramFolder;
using testsupport::readFile;
using testsupport::ScriptedMessages;

namespace {

QString padded(const QString& value, int width) {
    return value + QString(width - value.size(), u' ');
}

QStringList linesOf(const QByteArray& windows1250) {
    QStringDecoder decoder("windows-1250");
    QStringList lines = QString(decoder.decode(windows1250)).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

class TestPurchaseSaveRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    void storedItemsReachTheReportFiles() {
        ProgramFolder folder;
        ScriptedMessages messages;
        insertProvider(QStringLiteral("12345676"), 2007, QStringLiteral("3"),
                       QStringLiteral("Kórház"));
        TFormFo window;
        window.show();
        bool stored = false;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<TFormAdatlapBR*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            chooseProvider(*editor, QStringLiteral("12345676"));
            for (const Item& item :
                 {with(productItem(), QStringLiteral("Termszolgnev"), QStringLiteral("Ő'rlő")),
                  Item{{u"Beszerzho"_s, u"09"_s},
                       {u"Termekszolg"_s, u"2"_s},
                       {u"Vtszszolgkod"_s, u"2010"_s},
                       {u"Termszolgnev"_s, u"Takarítás"_s},
                       {u"Mennyisegiegyseg"_s, u"01"_s},
                       {u"Vasaroltmenny"_s, u"999999999"_s},
                       {u"Beszerzforras"_s, u"1"_s},
                       {u"Felhasznter"_s, u"01"_s},
                       {u"Artipus"_s, u"1"_s},
                       {u"Tegysegar"_s, u"999999999"_s},
                       {u"Bazisegysegar"_s, u"12"_s}}}) {
                click(editor->Button_felvitel);
                fill(*editor, item);
                click(editor->Button_tarolas);
            }
            stored = true;
            click(editor->Button_kilepes);
        });
        window.TMenuItem_Beszerzes->trigger();
        QVERIFY(stored);
        QCOMPARE(messages.takeTexts(), QStringList());

        // The cover note names the collecting organisation of the settings, commas unquoted.
        QVERIFY(testsupport::writeFile(folder.file(QStringLiteral("velkor.ini")),
                                       "[addressee]\nname = Gyűjtő Hivatal (GYH)\n"
                                       "address = 1051 Budapest, Fő utca 2.\n"
                                       "postal_address = \"1300 Budapest, Pf. 7.\"\n"));

        // The new period is in the save menu at once; its item runs the save run.
        Q_EMIT window.TMenuItem_Mentes->aboutToShow();
        QCOMPARE(window.TMenuItem_Mentes->actions().size(), 1);
        QMenu* year = window.TMenuItem_Mentes->actions().first()->menu();
        Q_EMIT year->aboutToShow();
        QCOMPARE(year->actions().size(), 1);
        year->actions().first()->trigger();
        QCOMPARE(messages.takeTexts(), QStringList());

        // Fields of 8, 4, 1, 2, 5, 1, 6, 8, 17, 80, 2, 9, 1, 2, 1, 9 and 9 characters.
        const QStringList lines = {
            QStringList{u"12345676"_s, u"2007"_s, u"3"_s, u"08"_s, u"1    "_s, u"1"_s, u"1010  "_s,
                        u"24421300"_s, padded(u"30049019"_s, 17), padded(u"Ő'rlő"_s, 80), u"01"_s,
                        u"       12"_s, u"1"_s, u"01"_s, u"1"_s, u"   1250,5"_s, u"      0,5"_s}
                .join(QString()),
            QStringList{u"12345676"_s, u"2007"_s, u"3"_s, u"09"_s, u"2    "_s, u"2"_s, u"2010  "_s,
                        u"74701100"_s, padded(u"74.70.11"_s, 17), padded(u"Takarítás"_s, 80),
                        u"01"_s, u"999999999"_s, u"1"_s, u"01"_s, u"1"_s, u"999999999"_s,
                        u"       12"_s}
                .join(QString())};
        QCOMPARE(linesOf(readFile(folder.file(QStringLiteral("text/2007_3_12345676_BR.txt")))),
                 lines);
        const QStringList note =
            linesOf(readFile(folder.file(QStringLiteral("kuldes/temp/2007_3_12345676_KJ.txt"))));
        QCOMPARE(note.mid(7, 3), (QStringList{u"         Gyűjtő Hivatal (GYH)"_s,
                                              u"         1051 Budapest, Fő utca 2."_s,
                                              u"         Postacím: 1300 Budapest, Pf. 7."_s}));
        QCOMPARE(note.value(18), QStringLiteral("         OSAP 9052/07 (az adatgyűjtést "
                                                "elrendelő kormányrendelet szerint)"));
        QCOMPARE(
            linesOf(readFile(folder.file(QStringLiteral("Listak/12345676_2007_3.xls")))).mid(8),
            (QStringList{QStringLiteral("1\t1\t1010\t'24421300'\t'30049019'\tŐ'rlő\t'01'\t"
                                        "01 darab (db)\t12\t1\t1 Gyártótól közvetlenül\t'01'"
                                        "\t01 Fekvőbeteg-ellátás\t1\t1 Listaár\t1250,50\t"
                                        "0,50\t"),
                         QStringLiteral("2\t2\t2010\t'74701100'\t'74.70.11'\tTakarítás\t'01'"
                                        "\t01 darab (db)\t999999999\t1\t1 Gyártótól "
                                        "közvetlenül\t'01'\t01 Fekvőbeteg-ellátás\t1\t1 "
                                        "Listaár\t999999999,00\t12,00\t")}));
    }
};

QTEST_MAIN(TestPurchaseSaveRun)
#include "test_purchase_save_run.moc"
