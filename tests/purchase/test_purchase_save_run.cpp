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
                  Item{{"Beszerzho", "09"},
                       {"Termekszolg", "2"},
                       {"Vtszszolgkod", "2010"},
                       {"Termszolgnev", "Takarítás"},
                       {"Mennyisegiegyseg", "01"},
                       {"Vasaroltmenny", "999999999"},
                       {"Beszerzforras", "1"},
                       {"Felhasznter", "01"},
                       {"Artipus", "1"},
                       {"Tegysegar", "999999999"},
                       {"Bazisegysegar", "12"}}}) {
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
            QStringList{"12345676", "2007", "3", "08", "1    ", "1", "1010  ", "24421300",
                        padded("30049019", 17), padded("Ő'rlő", 80), "01", "       12", "1", "01",
                        "1", "   1250,5", "      0,5"}
                .join(QString()),
            QStringList{"12345676", "2007", "3", "09", "2    ", "2", "2010  ", "74701100",
                        padded("74.70.11", 17), padded("Takarítás", 80), "01", "999999999", "1",
                        "01", "1", "999999999", "       12"}
                .join(QString())};
        QCOMPARE(linesOf(readFile(folder.file(QStringLiteral("text/2007_3_12345676_BR.txt")))),
                 lines);
        const QStringList note =
            linesOf(readFile(folder.file(QStringLiteral("kuldes/temp/2007_3_12345676_KJ.txt"))));
        QCOMPARE(note.mid(7, 3),
                 (QStringList{"         Gyűjtő Hivatal (GYH)", "         1051 Budapest, Fő utca 2.",
                              "         Postacím: 1300 Budapest, Pf. 7."}));
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
