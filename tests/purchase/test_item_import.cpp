// Importing purchase items from a spreadsheet's CSV file through "velkor --import-items": the
// encodings and separators spreadsheet programs write, a failing import that lists every bad row
// and stores nothing, and malformed files.

#include "db/connection.h"
#include "db/query.h"
#include "platform/codepage.h"
#include "purchase/item_import.h"
#include "support/program_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using testsupport::ProgramFolder;
using testsupport::rowsOf;

namespace {

using Cells = QStringList;

const Cells kLabels = {u"Beszerzés hónapja:"_qs,
                       u"Termék, vagyszolgáltatás:"_qs,
                       u"Azonosító:"_qs,
                       u"Termék/szolgáltatás megnevezése:"_qs,
                       u"Mennyiségi egység:"_qs,
                       u"Vásárolt mennyiség:"_qs,
                       u"Beszerzésiforrás:"_qs,
                       u"Felhasználási terület:"_qs,
                       u"Ártípus:"_qs,
                       u"Termék nettó egységára (Ft):"_qs,
                       u"Termék bázis egységára (Ft):"_qs};
const Cells kNames = {u"Beszerzho"_qs,     u"Termekszolg"_qs,      u"Vtszszolgkod"_qs,
                      u"Termszolgnev"_qs,  u"Mennyisegiegyseg"_qs, u"Vasaroltmenny"_qs,
                      u"Beszerzforras"_qs, u"Felhasznter"_qs,      u"Artipus"_qs,
                      u"Tegysegar"_qs,     u"Bazisegysegar"_qs};

// A product by month number and codes, a service by names as the lists show them.
const Cells kProductRow = {
    u"7"_qs,  u"1"_qs,        u"1030"_qs, u"Amoxicillin \"Forte\" 500 mg; 16 db"_qs,
    u"01"_qs, u"120"_qs,      u"2"_qs,    u"02"_qs,
    u"1"_qs,  u"1 234,50"_qs, u"1200"_qs};
const Cells kServiceRow = {u"szeptember"_qs, u"Szolgáltatás"_qs,
                           u"2010"_qs,       u"Takarítás, őszi nagytakarítás"_qs,
                           u"darab (db)"_qs, u"1"_qs,
                           u"6"_qs,          u"3"_qs,
                           u"2"_qs,          u"98000"_qs,
                           u"95000.5"_qs};

// One line as a spreadsheet program writes it: a field holding the separator or a quote is
// quoted, its quotes doubled.
QString csvLine(const Cells& cells, QChar separator) {
    QStringList fields;
    for (QString cell : cells) {
        if (cell.contains(separator) || cell.contains(u'"'))
            cell = u'"' + cell.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
        fields.append(cell);
    }
    return fields.join(separator);
}

QString csvText(const QList<Cells>& lines, QChar separator = u';') {
    QString text;
    for (const Cells& line : lines)
        text += csvLine(line, separator) + QStringLiteral("\r\n");
    return text;
}

QStringList storedItems() {
    return rowsOf(QStringLiteral("select * from AdatlapBR order by Adosajat, Tetelsorszam"));
}

}  // namespace

class TestItemImport : public QObject {
    Q_OBJECT

    // A program folder with a copy of the program, the record 12345676/2007/3 holding item 5,
    // and a folder to start from with the CSV file.
    std::unique_ptr<ProgramFolder> folder_;
    QTemporaryDir start_;
    QString program_;
    QString csv_;
    QProcess velkor_;

    void run(const QStringList& key = {u"12345676"_qs, u"2007"_qs, u"3"_qs},
             const QStringList& options = {}) {
        velkor_.setWorkingDirectory(start_.path());
        velkor_.start(
            program_,
            options + QStringList{QStringLiteral("--import-items"), QStringLiteral("tetelek.csv")} +
                key);
        QVERIFY(velkor_.waitForFinished(30000));
    }
    QString errors() { return QString::fromUtf8(velkor_.readAllStandardError()); }
    // The fault lines printed, without the closing line naming the list.
    QStringList faultsPrinted() {
        QStringList lines = errors().split(u'\n', Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            lines.removeLast();
        return lines;
    }

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<ProgramFolder>(false);
        program_ = folder_->copyProgram();
        csv_ = start_.filePath(QStringLiteral("tetelek.csv"));
        QFile::remove(csv_);
        QFile::remove(start_.filePath(QStringLiteral("tetelek_hibak.txt")));
        db::openConnection(folder_->databasePath());
        db::execute(
            QStringLiteral("insert into AdatlapInt (Adosajat, Adatszolgev, "
                           "Adatszolgnegyedev) values ('12345676', 2007, '3')"));
        db::execute(
            QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                           "Tetelsorszam) values ('12345676', 2007, '3', 5)"));
    }
    void cleanup() {
        db::closeConnection();
        folder_.reset();
    }

    void importsSpreadsheetFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString byLabels = csvText({kLabels, kProductRow, kServiceRow});
        const QString byNames =
            csvText({kNames, kProductRow, {}, kServiceRow, {u""_qs, u""_qs, u""_qs}});
        auto utf8 = [](const QString& text) { return text.toUtf8(); };
        auto bom = [](const QString& text) { return "\xEF\xBB\xBF" + text.toUtf8(); };
        auto cp1250 = [](const QString& text) { return platform::toWindows1250(text); };
        for (const QChar separator : {u';', u',', u'\t'}) {
            const QString labels = csvText({kLabels, kProductRow, kServiceRow}, separator);
            const QString names = csvText({kNames, kProductRow, kServiceRow}, separator);
            const QString name = separator == u'\t' ? QStringLiteral("TAB") : QString(separator);
            QTest::addRow("UTF-8, %s, labels", qPrintable(name)) << utf8(labels);
            QTest::addRow("UTF-8 BOM, %s, names", qPrintable(name)) << bom(names);
            QTest::addRow("Windows-1250, %s, labels", qPrintable(name)) << cp1250(labels);
        }
        // Empty rows a spreadsheet writes for formatted cells, and lines ending in LF only.
        QTest::newRow("empty rows, LF") << utf8(byNames).replace("\r\n", "\n");
        QTest::newRow("CR only") << cp1250(byLabels).replace("\r\n", "\r");
        // Points grouping the thousands of a number with a decimal comma.
        Cells grouped = kProductRow;
        grouped[9] = QStringLiteral("1.234,50");
        QTest::newRow("grouped thousands") << utf8(csvText({kNames, grouped, kServiceRow}));
        QTest::newRow("separator named")
            << "sep=,\r\n" + utf8(csvText({kNames, kProductRow, kServiceRow}, u','));
    }
    // Both rows stored after the highest item number with their codes, the groups' codes copied;
    // a fault list left by an earlier attempt goes.
    void importsSpreadsheetFile() {
        QFETCH(QByteArray, bytes);
        QVERIFY(testsupport::writeFile(csv_, bytes));
        QVERIFY(testsupport::writeFile(start_.filePath(QStringLiteral("tetelek_hibak.txt")),
                                       "earlier faults"));
        run();
        QCOMPARE(errors(), QString());
        QCOMPARE(velkor_.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(velkor_.readAllStandardOutput()),
                 QStringLiteral("2 tétel importálva a(z) 12345676 adószámú adatlapra (2007. év 3. "
                                "negyedév), tételsorszám 6-7.\n"));
        QCOMPARE(storedItems(),
                 (QStringList{u"12345676|2007|3||5||||||||||||"_qs,
                              u"12345676|2007|3|07|6|1|1030|24421110|30042010|Amoxicillin "
                              u"\"Forte\" 500 mg; 16 db|01|120|2|02|1|1234.5|1200"_qs,
                              u"12345676|2007|3|09|7|2|2010|74701100|74.70.11|Takarítás, őszi "
                              u"nagytakarítás|01|1|6|03|2|98000|95000.5"_qs}));
        QVERIFY(!QFile::exists(start_.filePath(QStringLiteral("tetelek_hibak.txt"))));
    }

    // Many rows, stored several at a time, keep their order, their numbers and their values.
    void storesManyRows() {
        QList<Cells> lines = {kNames};
        QStringList expected = storedItems();
        for (int row = 0; row < 150; ++row) {
            Cells cells = row % 2 == 0 ? kProductRow : kServiceRow;
            cells[3] = QStringLiteral("Tétel %1").arg(row);
            lines.append(cells);
            const QString stored = row % 2 == 0
                                       ? QStringLiteral(
                                             "12345676|2007|3|07|%1|1|1030|24421110|30042010|%2|"
                                             "01|120|2|02|1|1234.5|1200")
                                       : QStringLiteral(
                                             "12345676|2007|3|09|%1|2|2010|74701100|74.70.11|%2|"
                                             "01|1|6|03|2|98000|95000.5");
            expected.append(stored.arg(row + 6).arg(cells[3]));
        }
        QVERIFY(testsupport::writeFile(csv_, csvText(lines).toUtf8()));
        QCOMPARE(purchase::importItemFile(csv_, {u"12345676"_qs, u"2007"_qs, u"3"_qs}).imported,
                 150);
        QCOMPARE(storedItems(), expected);
    }

    // The template of the import window is imported as it is.
    void templateImportsUnchanged() {
        purchase::writeItemTemplate(csv_, QStringLiteral("3"));
        QVERIFY(testsupport::readFile(csv_).startsWith(
            "\xEF\xBB\xBF"
            "Beszerzés hónapja;\"Termék, vagyszolgáltatás\";Azonosító;"));
        run();
        QCOMPARE(errors(), QString());
        QCOMPARE(storedItems().value(1),
                 u"12345676|2007|3|07|6|1|1010|24421300|30049019|Amoxicillin 500 mg "
                 u"kapszula|01|1200|1|01|1|1250.5|1180"_qs);
    }

    // Every bad row is listed with its line and column, on the error output and beside the
    // file; nothing is stored.
    void failingImportListsEveryRow() {
        Cells outOfQuarter = kProductRow, noKind = kProductRow, noGroup = kProductRow,
              badCodes = kServiceRow, longName = kServiceRow, tooLong = kProductRow;
        outOfQuarter[0] = QStringLiteral("1");
        outOfQuarter[5] = QStringLiteral("sok");
        noKind[1].clear();
        noGroup[2] = QStringLiteral("9999");
        badCodes[4] = QStringLiteral("zz");
        badCodes[9] = QStringLiteral("12,5,0");
        longName[3] = QString(81, u'x');
        tooLong[5] = QStringLiteral("1234567890");
        tooLong[9] = QStringLiteral("12 345 678 901");
        QVERIFY(testsupport::writeFile(csv_, csvText({kNames,
                                                      kProductRow,
                                                      outOfQuarter,
                                                      noKind,
                                                      noGroup,
                                                      {u"07"_qs, u"1"_qs, u"1030"_qs},
                                                      badCodes,
                                                      longName,
                                                      tooLong})
                                                 .toUtf8()));
        const QStringList before = storedItems();
        run();
        QCOMPARE(velkor_.exitCode(), 1);
        const QStringList faults = {
            u"3. sor, Beszerzho: A 'Beszerzés hónapja' nevű mezőben megadott \"1\" nem a(z) 3. "
            u"negyedév hónapja!!!"_qs,
            u"3. sor, Vasaroltmenny: A 'Vásárolt mennyiség' nevű mezőben megadott \"sok\" nem "
            u"egész szám!!!"_qs,
            u"4. sor, Termekszolg: A 'Termék vagy szolgáltatás' nevű mező nincs kitöltve!!!"_qs,
            u"5. sor, Vtszszolgkod: Nincs ilyen kódú csoport!"_qs,
            u"6. sor: A sorban 3 mező van, a fejlécben 11 oszlop!"_qs,
            u"7. sor, Mennyisegiegyseg: A 'Mennyiségi egység' nevű mezőben megadott \"zz\" nem "
            u"szerepel a kódtáblában!!!"_qs,
            u"7. sor, Tegysegar: A 'Termék egységár' nevű mezőben megadott \"12,5,0\" nem szám!!!"_qs,
            u"8. sor, Termszolgnev: A 'Termék/szolgáltatás neve' nevű mező legfeljebb 80 karakter "
            u"lehet!!!"_qs,
            u"9. sor, Vasaroltmenny: A(z) \"1234567890\" érték nem fér el az adatállomány 9 "
            u"karakteres mezőjében!"_qs,
            u"9. sor, Tegysegar: A(z) \"12345678901\" érték nem fér el az adatállomány 9 "
            u"karakteres mezőjében!"_qs};
        const QString list = start_.filePath(QStringLiteral("tetelek_hibak.txt"));
        const QStringList printed =
            faults + QStringList{QStringLiteral("Nem történt importálás. A hibalista: ") +
                                     QDir::toNativeSeparators(list),
                                 QString()};
        QCOMPARE(errors().split(u'\n'), printed);
        QCOMPARE(
            testsupport::readFile(list),
            platform::toWindows1250(faults.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
        QCOMPARE(storedItems(), before);
    }

    void refusesMalformedFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("key");
        QTest::addColumn<QString>("fault");
        const QStringList key = {u"12345676"_qs, u"2007"_qs, u"3"_qs};
        Cells unknown = kNames, filled = kNames, missing = kNames, twice = kNames;
        unknown[3] = QStringLiteral("Megjegyzés");
        filled.append(QStringLiteral("Tetelsorszam"));
        missing.removeLast();
        twice[0] = QStringLiteral("Beszerzés hónapja");
        twice[1] = QStringLiteral("beszerzho");
        auto file = [](const QList<Cells>& lines) { return csvText(lines).toUtf8(); };
        QTest::newRow("empty") << QByteArray() << key << "A CSV-fájl üres: nincs benne fejléc sor.";
        QTest::newRow("blank lines only")
            << QByteArray("\r\n;;\r\n") << key << "A CSV-fájl üres: nincs benne fejléc sor.";
        QTest::newRow("header only")
            << file({kNames}) << key << "A CSV-fájlban nincs egy tétel sem!";
        QTest::newRow("unknown column") << file({unknown, kProductRow}) << key
                                        << "1. sor, Megjegyzés: Ismeretlen oszlop! Az oszlopot a "
                                           "beszerzési adatlap felirata (pl. 'Vásárolt "
                                           "mennyiség') vagy az oszlop neve (pl. Vasaroltmenny) "
                                           "nevezze meg.\n"
                                           "1. sor, Termszolgnev: Hiányzik ez az oszlop a "
                                           "fejlécből: 'Termék/szolgáltatás megnevezése'!";
        QTest::newRow("filled by the import")
            << file({filled, kProductRow + Cells{u"3"_qs}}) << key
            << "1. sor, Tetelsorszam: Ezt az oszlopot az importálás tölti ki; hagyja el!";
        QTest::newRow("missing column") << file({missing, kProductRow}) << key
                                        << "1. sor, Bazisegysegar: Hiányzik ez az oszlop a "
                                           "fejlécből: 'Termék bázis egységára (Ft)'!";
        QTest::newRow("column twice") << file({twice, kProductRow}) << key
                                      << "1. sor, beszerzho: Az oszlop kétszer szerepel a "
                                         "fejlécben!\n"
                                         "1. sor, Termekszolg: Hiányzik ez az oszlop a fejlécből: "
                                         "'Termék, vagyszolgáltatás'!";
        QTest::newRow("quote left open")
            << QByteArray(file({kNames}) + "07;1;\"1030;x\r\n") << key
            << "A CSV-fájl 2. sorában kezdődő idézőjeles mező nincs lezárva.";
        // Control characters in any column, named by its label.
        Cells name = kProductRow, month = kProductRow, price = kProductRow;
        name[3].insert(3, QChar(0));
        month[0].append(QChar(0x1B));
        price[9].insert(1, u'\t');
        QTest::newRow("control characters")
            << file({kNames, name, month, price}) << key
            << "2. sor, Termszolgnev: A 'Termék/szolgáltatás neve' nevű mező nem tartalmazhat "
               "vezérlőkaraktert!!!\n3. sor, Beszerzho: A 'Beszerzés hónapja' nevű mező nem "
               "tartalmazhat vezérlőkaraktert!!!\n4. sor, Tegysegar: A 'Termék egységár' nevű "
               "mező nem tartalmazhat vezérlőkaraktert!!!";
        // Values the data file would change: a point that may group thousands, a number it
        // writes with an exponent, a character its code page lacks.
        Cells grouped = kProductRow, huge = kProductRow, arrow = kProductRow;
        grouped[9] = QStringLiteral("1.250");
        huge[10] = QStringLiteral("1e308");
        arrow[3] = QStringLiteral("Fecskendő → 5 ml");
        QTest::newRow("values the data file would change")
            << file({kNames, grouped, huge, arrow}) << key
            << "2. sor, Tegysegar: A 'Termék egységár' nevű mezőben megadott \"1.250\" nem "
               "egyértelmű: a pont ezreseket is tagolhat. Tizedesjelnek vesszőt írjon (1,25), az "
               "ezreseket ne tagolja, vagy szóközzel (1 250)!!!\n3. sor, Bazisegysegar: A 'Termék "
               "bázisegységár' nevű mezőben megadott \"1e308\" nem írható le kitevő nélkül az "
               "adatállományba!!!\n4. sor, Termszolgnev: A 'Termék/szolgáltatás neve' nevű mező "
               "nem tartalmazhat \"→\" karaktert: az adatállomány kódlapjában nincs ilyen!!!";
        QTest::newRow("no such record")
            << file({kNames, kProductRow}) << QStringList{u"12345676"_qs, u"2007"_qs, u"4"_qs}
            << "Nincs adatlap a(z) 12345676 adószámmal, 2007. év 4. negyedévre!";
    }
    // A clear message, the same in the list beside the file, and nothing stored.
    void refusesMalformedFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, key);
        QFETCH(QString, fault);
        QVERIFY(testsupport::writeFile(csv_, bytes));
        const QStringList before = storedItems();
        run(key);
        QCOMPARE(velkor_.exitCode(), 1);
        QCOMPARE(errors().section(u'\n', 0, -3), fault);
        QCOMPARE(storedItems(), before);
    }

    // Rows alike in every entered value to items stored for the record are refused with the list
    // unless allowed; rows that differ are no reason to refuse.
    void importingStoredRowsAgain_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("refused")
            << QStringList() << 1
            << QStringList{u"2. sor: Ez a tétel már szerepel az adatlapon (6. tétel)!"_qs,
                           u"4. sor: Ez a tétel már szerepel az adatlapon (7. tétel)!"_qs};
        QTest::newRow("allowed") << QStringList{u"--allow-duplicates"_qs} << 0 << QStringList();
    }
    void importingStoredRowsAgain() {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QStringList, faults);
        QVERIFY(testsupport::writeFile(csv_, csvText({kNames, kProductRow, kServiceRow}).toUtf8()));
        QCOMPARE(purchase::importItemFile(csv_, {u"12345676"_qs, u"2007"_qs, u"3"_qs}).imported, 2);
        Cells otherPrice = kProductRow;
        otherPrice[9] = QStringLiteral("1234,51");
        QVERIFY(testsupport::writeFile(
            csv_, csvText({kNames, kProductRow, otherPrice, kServiceRow}).toUtf8()));
        run({u"12345676"_qs, u"2007"_qs, u"3"_qs}, options);
        QCOMPARE(velkor_.exitCode(), exitCode);
        QCOMPARE(faultsPrinted(), faults);
        QCOMPARE(storedItems().size(), exitCode == 0 ? 6 : 3);
    }

    // Input that would take memory or time without bound, or that the data file cannot hold, is
    // refused with a short message and stores nothing. link: the CSV file is a link to it, or a
    // pipe; highest: the record's highest stored item number.
    void refusesUnboundedInput_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("highest");
        QTest::addColumn<QStringList>("faults");
        const QByteArray header = csvText({kNames}).toUtf8();
        const QByteArray good = csvText({kProductRow}).toUtf8();
        const QStringList notFile = {
            QStringLiteral("A(z) %1 nem közönséges fájl, nem importálható.")
                .arg(start_.filePath(QStringLiteral("tetelek.csv")))};
        QTest::newRow("device") << QByteArray() << "/dev/zero" << 5 << notFile;
        QTest::newRow("pipe") << QByteArray() << "fifo" << 5 << notFile;
        const QStringList tooLong = {u"A CSV-fájl 3. sorában kezdődő sor hosszabb 64 KiB-nál."_qs};
        QTest::newRow("row over 64 KiB")
            << header + good + "07;1;" + QByteArray(70000, 'x') + "\r\n" + good << QString() << 5
            << tooLong;
        QTest::newRow("quote open over 64 KiB")
            << header + good + "07;1;\"x" + QByteArray(70000, '\n') << QString() << 5 << tooLong;
        const QStringList numbersRunOut = {
            u"3. sor: Innen a tételsorszám meghaladná a(z) 99999-et: egy adatlapon legfeljebb "
            u"ennyi tétel lehet!"_qs};
        QTest::newRow("item numbers past five digits")
            << header + good + good << QString() << 99998 << numbersRunOut;
        // The file is refused there: what follows is not read.
        QTest::newRow("nothing read past the last item number")
            << header + good + good + "07;1;\"x" << QString() << 99998 << numbersRunOut;
        Cells month = kProductRow, quantity = kProductRow;
        month[0] = QString(200, u'ő');
        QTest::newRow("long value quoted short")
            << header + csvText({month}).toUtf8() << QString() << 5
            << QStringList{u"2. sor, Beszerzho: A 'Beszerzés hónapja' nevű mezőben megadott \""_qs +
                           QString(79, u'ő') + u"…\" nem szerepel a kódtáblában!!!"_qs};
        quantity[5] = QStringLiteral("sok");
        QStringList listed;
        for (int line = 2; line < 1002; ++line)
            listed.append(QStringLiteral("%1. sor, Vasaroltmenny: A 'Vásárolt mennyiség' nevű "
                                         "mezőben megadott \"sok\" nem egész szám!!!")
                              .arg(line));
        QTest::newRow("1,000 failing rows listed")
            << header + csvText({quantity}).toUtf8().repeated(1003) << QString() << 5
            << listed + QStringList{u"… és további 3 hibás sor."_qs};
    }
    void refusesUnboundedInput() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, link);
        QFETCH(int, highest);
        QFETCH(QStringList, faults);
        QVERIFY(testsupport::placeFile(csv_, link, bytes));
        db::execute(QStringLiteral("update AdatlapBR set Tetelsorszam = ?"), {highest});
        const QStringList before = storedItems();
        run();
        QCOMPARE(velkor_.exitCode(), 1);
        QCOMPARE(faultsPrinted(), faults);
        QCOMPARE(storedItems(), before);
        // Only a regular file gets its fault list beside it.
        QCOMPARE(QFile::exists(start_.filePath(QStringLiteral("tetelek_hibak.txt"))),
                 link.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestItemImport)
#include "test_item_import.moc"
