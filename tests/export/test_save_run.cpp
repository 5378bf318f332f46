#include "app/save_run_view.h"
#include "db/connection.h"
#include "db/query.h"
#include "export/data_files.h"
#include "export/save_run.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <unistd.h>
#include <QVBoxLayout>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

using exporting::SaveRun;
using testsupport::ProgramFolder;
using testsupport::readFile;

namespace {

// The name of the first data provider: 80 characters with ő and ű.
const QString kLongName = QStringLiteral(
    "Szent Győző Kórház és Rendelőintézet, Fűzfa utcai telephely, Belgyógyászat 12-3.");

QString blanks(int count) {
    return QString(count, u' ');
}

// The expected file content: Windows-1250 (through the toolkit's own converter, independent of
// the program's) with CR LF after every line.
QByteArray windows1250Lines(const QStringList& lines) {
    QStringEncoder encoder("windows-1250");
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += QByteArray(encoder.encode(line)) + "\r\n";
    return bytes;
}

void exec(const QString& statement, const QVariantList& values = {}) {
    db::execute(statement, values);
}

// The fixture's own code rows, so the shipped code tables may change freely; unit 99 has none.
void insertCodes() {
    exec(
        QStringLiteral("insert or replace into Torzs_Mennyisegiegyseg (ID, Nev, NevStr) "
                       "values ('01', 'db', 'darab')"));
    exec(QStringLiteral("delete from Torzs_Mennyisegiegyseg where ID = '99'"));
    exec(
        QStringLiteral("insert or replace into Torzs_Beszerzesiforras (ID, Nev, nevstr) "
                       "values ('1', 'hazai', 'hazai forrás')"));
    exec(
        QStringLiteral("insert or replace into Torzs_Felhasznter (ID, Nev, nevstr) "
                       "values ('10', 'ápolás', 'ápolás')"));
    exec(
        QStringLiteral("insert or replace into Torzs_Artipus (ID, Nev, nevstr) "
                       "values ('1', 'nettó', 'nettó ár')"));
}

void insertInstitution(const QString& adosajat, const QVariant& name, int year,
                       const QString& quarter) {
    exec(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                        "Adatszolgnegyedev) values (?, ?, ?, ?)"),
         {adosajat, name, year, quarter});
}

struct Item {
    QString month;
    int number;
    QString kind;
    QString groupCode;
    QVariant itj;
    QString vtsz;
    QString name;
    QString unit;
    int quantity;
    double price;
    double basePrice;
};

void insertItem(const QString& adosajat, int year, const QString& quarter, const Item& item) {
    exec(QStringLiteral("insert into AdatlapBR values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                        "'1', '10', '1', ?, ?)"),
         {adosajat, year, quarter, item.month, item.number, item.kind, item.groupCode, item.itj,
          item.vtsz, item.name, item.unit, item.quantity, item.price, item.basePrice});
}

// One item of 12345678 in the period, with codes that have rows.
void insertSimpleItem(int year, const QString& quarter) {
    insertItem(QStringLiteral("12345678"), year, quarter,
               {QStringLiteral("01"),
                1,
                QStringLiteral("1"),
                QStringLiteral("1234"),
                {},
                QStringLiteral("1"),
                QStringLiteral("Só"),
                QStringLiteral("01"),
                1,
                1,
                1});
}

// Two data providers of the period, 2007-3 unless told: 12345678 with three items (the second with
// a unit that has no code row), 87654321 without items and with every column but its name NULL.
void insertFixture(int year = 2007, const QString& quarter = QStringLiteral("3")) {
    insertCodes();
    insertInstitution(QStringLiteral("12345678"), kLongName, year, quarter);
    exec(QStringLiteral(
        "update AdatlapInt set Sz_megyekod = '01', Sz_telepuleskod = '13578', Irsz = '1011', "
        "Telepules = 'Budapest', Utca = 'Fő utca', Hsz = '12', Intag = '8610', Gazdfor = '32', "
        "I_ANTSZkod = '010100', Toltnev = 'Kiss Ödön', Toltmail = 'kiss@example.hu', "
        "Vezetonev = 'Nagy Erzsébet', Vezetomail = 'nagy@example.hu' where Adosajat = '12345678'"));
    insertInstitution(QStringLiteral("87654321"), QStringLiteral("O'Brien Klinika Kft."), year,
                      quarter);
    const QString a = QStringLiteral("12345678");
    insertItem(a, year, quarter,
               {QStringLiteral("07"), 1, QStringLiteral("1"), QStringLiteral("12345678"),
                QStringLiteral("1234"), QStringLiteral("3004 90 00"),
                QStringLiteral("Fűtőolaj 'extra'"), QStringLiteral("01"), 12, 1250.5, 2});
    insertItem(a, year, quarter,
               {QStringLiteral("08"), 2, QStringLiteral("1"), QStringLiteral("87654321"),
                QStringLiteral("4321"), QStringLiteral("2710 19 43"), QStringLiteral("Gázolaj"),
                QStringLiteral("99"), 100, 0.5, 1e15});
    insertItem(a, year, quarter,
               {QStringLiteral("09"), 3, QStringLiteral("2"), QStringLiteral("5432"), QVariant(),
                QStringLiteral("85.11.1"), QStringLiteral("Takarítás külső"), QStringLiteral("01"),
                1, 0.25, 123456.78});
}

// Every file the save run writes into the working folders, with its bytes, by its path there.
QMap<QString, QByteArray> savedFiles() {
    QMap<QString, QByteArray> files;
    for (const QString& folder : {u"text/"_qs, u"Listak/"_qs, u"kuldes/temp/"_qs}) {
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            files.insert(folder + name, readFile(folder + name));
    }
    return files;
}

// The rows of a workbook as the listing's lines, read by another program (workbook_rows.py).
QByteArray workbookLines(const QString& path) {
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {qEnvironmentVariable("VK_SOURCE_DIR") + u"/tests/export/workbook_rows.py"_qs, path});
    reader.waitForFinished(30000);
    return reader.readAllStandardOutput() + reader.readAllStandardError();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// Makes a path impossible to delete even for root: a non-empty folder of that name.
void lock(const QString& path) {
    QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
}

// The ways a user keeps an old file from being deleted: a folder of that name, the file marked
// read-only, or the file open in a spreadsheet program, which leaves its lock file beside it; and
// the system's own refusal, as for an immutable file.
enum class Protection { Folder, ReadOnly, OpenInSpreadsheet, Immutable };

void writeEmptyFile(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void protect(const QString& path, Protection protection) {
    const QFileInfo info(path);
    switch (protection) {
        case Protection::Folder:
            lock(path);
            return;
        case Protection::ReadOnly:
            writeEmptyFile(path);
            QVERIFY(QFile::setPermissions(
                path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
            return;
        case Protection::OpenInSpreadsheet:
            writeEmptyFile(path);
            writeEmptyFile(info.path() + QStringLiteral("/.~lock.") + info.fileName() + u'#');
            return;
        case Protection::Immutable:
            writeEmptyFile(path);
            if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
                QSKIP("Marking a file immutable needs root and a file system that has the mark");
            return;
    }
}

// Lets the temporary folder go again.
void unprotect(const QString& path, Protection protection) {
    if (protection == Protection::Immutable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
}

}  // namespace

Q_DECLARE_METATYPE(Protection)

namespace {

const QByteArray kClosingLines = "Text \xE1llom\xE1nyok elk\xE9sz\xFCltek\r\n\r\n";

}  // namespace

class TestSaveRun : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<QWidget> window_;
    // The main window's controls that show the run.
    struct {
        QListWidget* log;
        QProgressBar* gauge;
        QLabel* step;
        QAction* send;
        QAction* coverNote;
    } controls_{};

    void save(const QString& year, const QString& quarter, QDate today = QDate(2007, 10, 15)) {
        app::SaveRunView view(controls_.log, controls_.gauge, controls_.step, controls_.send,
                              controls_.coverNote);
        SaveRun(view, [today] { return today; }).Ment(year, quarter);
    }

    QString failureOf(const QString& year, const QString& quarter) {
        try {
            save(year, quarter);
        } catch (const platform::Failure& failure) {
            return failure.text();
        }
        return {};
    }

    QStringList logLines() const {
        QStringList lines;
        for (int i = 0; i < controls_.log->count(); ++i)
            lines.append(controls_.log->item(i)->text());
        return lines;
    }

    QByteArray file(const QString& relative) const { return readFile(folder_->file(relative)); }

    // Runs the program in the test's folder to its end, with the decimal comma the window's run
    // wrote with.
    bool ranProgram(QProcess& velkor, const QStringList& arguments) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("hu_HU.UTF-8"));
        velkor.setProcessEnvironment(environment);
        velkor.start(folder_->copyProgram(), arguments);
        return velkor.waitForFinished(30000);
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    void init() {
        folder_ = std::make_unique<ProgramFolder>();
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        controls_.log = new QListWidget;
        controls_.step = new QLabel;
        controls_.gauge = new QProgressBar;
        for (QWidget* widget :
             {static_cast<QWidget*>(controls_.log), static_cast<QWidget*>(controls_.step),
              static_cast<QWidget*>(controls_.gauge)}) {
            layout->addWidget(widget);
            widget->hide();
        }
        controls_.send = new QAction(QStringLiteral("Küldés"), window_.get());
        controls_.coverNote =
            new QAction(QStringLiteral("Kísérőjegyzék nyomtatása"), window_.get());
        controls_.send->setEnabled(false);
        window_->show();
    }

    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void goldenFiles() {
        insertFixture();
        controls_.log->addItem(QStringLiteral("a line of the previous run"));
        save(u"2007"_qs, u"3"_qs);

        QCOMPARE(
            file(QStringLiteral("text/2007_3_12345678_BI.txt")),
            windows1250Lines({QStringLiteral("12345678") + kLongName + QStringLiteral("0113578") +
                              QStringLiteral("1011") + QStringLiteral("Budapest") + blanks(22) +
                              QStringLiteral("Fő utca") + blanks(23) + QStringLiteral("12 8610") +
                              QStringLiteral("32010100") + QStringLiteral("Kiss Ödön") +
                              blanks(21) + QStringLiteral("kiss@example.hu") + blanks(15) +
                              blanks(20) + QStringLiteral("Nagy Erzsébet") + blanks(17) +
                              QStringLiteral("nagy@example.hu") + blanks(15) + blanks(20) +
                              QStringLiteral("20073")}));
        QCOMPARE(file(QStringLiteral("text/2007_3_12345678_BI.txt")).size(), 339 + 2);
        // The bytes of ő and ű themselves.
        QCOMPARE(file(QStringLiteral("text/2007_3_12345678_BI.txt")).mid(14, 5),
                 QByteArray("Gy\xF5z\xF5"));

        QCOMPARE(file(QStringLiteral("text/2007_3_12345678_BR.txt")),
                 windows1250Lines(
                     {QStringLiteral("1234567820073071    11234561234    3004 90 00       ") +
                          QStringLiteral("Fűtőolaj 'extra'") + blanks(64) +
                          QStringLiteral("01       121101   1250,5        2"),
                      QStringLiteral("1234567820073082    18765434321    2710 19 43       ") +
                          QStringLiteral("Gázolaj") + blanks(73) +
                          QStringLiteral("99      1001101      0,5     1E15"),
                      QStringLiteral("1234567820073093    25432          85.11.1          ") +
                          QStringLiteral("Takarítás külső") + blanks(65) +
                          QStringLiteral("01        11101     0,25123456,78")}));

        QCOMPARE(file(QStringLiteral("text/2007_3_87654321_BI.txt")),
                 windows1250Lines({QStringLiteral("87654321O'Brien Klinika Kft.") + blanks(60) +
                                   blanks(246) + QStringLiteral("20073")}));
        QVERIFY(!QFile::exists(folder_->file(QStringLiteral("text/2007_3_87654321_BR.txt"))));

        const QString titles = QStringLiteral(
            "tétel sorszám\ttermék vagy szolgáltatás kód\tkódszám\tITJ\tVTSZ-SZJ\tmegnevezés\t"
            "mértékegység\t\tvásárolt mennyiség\tbeszerzési forrás\t\tfelhasználási terület\t\t"
            "ártípus\t\ttény egységár (Ft)\tbázis egységár (Ft)");
        QCOMPARE(
            file(QStringLiteral("Listak/12345678_2007_3.xls")),
            windows1250Lines(
                {QStringLiteral("Árinformációs adatjelentés, beszerzési adatok listája"), QString(),
                 QStringLiteral("Intézet neve: ") + kLongName, QStringLiteral("adószám: 12345678"),
                 QStringLiteral("Beszerzési időszak (év, negyedév): 2007, 3"), QString(), QString(),
                 titles,
                 QStringLiteral("1\t1\t12345678\t'1234'\t'3004 90 00'\tFűtőolaj 'extra'\t"
                                "'01'\tdarab\t12\t1\thazai forrás\t'10'\tápolás\t1\tnettó ár\t"
                                "1250,50\t2,00\t"),
                 QStringLiteral("3\t2\t5432\t''\t'85.11.1'\tTakarítás külső\t'01'\tdarab\t1\t"
                                "1\thazai forrás\t'10'\tápolás\t1\tnettó ár\t0,25\t"
                                "123456,78\t")}));
        QCOMPARE(file(QStringLiteral("Listak/87654321_2007_3.xls")),
                 windows1250Lines(
                     {QStringLiteral("Árinformációs adatjelentés, beszerzési adatok listája"),
                      QString(), QStringLiteral("Intézet neve: O'Brien Klinika Kft."),
                      QStringLiteral("adószám: 87654321"),
                      QStringLiteral("Beszerzési időszak (év, negyedév): 2007, 3"), QString(),
                      QString(), titles}));

        const QString indent = blanks(9);
        QStringList note = {QString(), QString(), QString(), QString(),
                            QString(), QString(), QString()};
        note << indent + QStringLiteral("Egészségügyi Árinformációs Adatgyűjtő Központ (EÁAK)")
             << indent + QStringLiteral("1000 Budapest, Minta utca 1.")
             << indent + QStringLiteral("Postacím: 1000 Budapest, Pf. 100.") << QString()
             << QString() << indent + QStringLiteral("Iktató szám:")
             << indent + QStringLiteral("Melléklet:") << QString() << QString()
             << indent + QStringLiteral("Tárgy: Az Egészségügyi intézmények árinformációi,")
             << indent + QStringLiteral("intézményi beszerzések adatjelentésének megküldése")
             << indent + QStringLiteral(
                             "OSAP 9052/07 (az adatgyűjtést elrendelő "
                             "kormányrendelet szerint)")
             << QString() << QString() << QString()
             << indent + QStringLiteral("Az adatszolgáltatás időszaka (év, negyedév): 2007, 3")
             << QString() << QString() << indent + QStringLiteral("Az adatszolgáltató intézmény")
             << indent + QStringLiteral("Neve: ") + kLongName
             << indent + QStringLiteral("KSH törzsszáma: 12345678")
             << indent + QStringLiteral("Címe: 1011 Budapest Fő utca 12") << QString()
             << indent + QStringLiteral(
                             "A negyedévben elküldött beszerzések tételszáma "
                             "(tétel sorszám): 3")
             << QString() << QString()
             << indent + QStringLiteral("Az adatszolgáltatásért felelős vezető") << QString()
             << indent + QStringLiteral("Neve        : Nagy Erzsébet")
             << indent + QStringLiteral("e-mail címe : nagy@example.hu")
             << indent + QStringLiteral("telefonszáma: ") << QString() << QString()
             << indent + QStringLiteral("A kitöltő")
             << indent + QStringLiteral("Neve        : Kiss Ödön")
             << indent + QStringLiteral("e-mail címe : kiss@example.hu")
             << indent + QStringLiteral("telefonszáma: ") << QString() << QString() << QString()
             << QString() << indent + QStringLiteral("Kelt: ............, 2007.10.15.") << QString()
             << QString() << QString() << QString()
             << indent + QStringLiteral("Aláírás: ....................");
        QCOMPARE(note.size(), 54);
        QCOMPARE(file(QStringLiteral("kuldes/temp/2007_3_12345678_KJ.txt")),
                 windows1250Lines(note));

        const QList<QByteArray> other =
            file(QStringLiteral("kuldes/temp/2007_3_87654321_KJ.txt")).split('\n');
        QCOMPARE(other.size(), 54 + 1);
        QCOMPARE(other.at(26), QByteArray("         Neve: O'Brien Klinika Kft.\r"));
        QCOMPARE(other.at(28), QByteArray("         C\xEDme:    \r"));
        QVERIFY(other.at(30).endsWith(": 0\r"));

        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), kClosingLines);
        QCOMPARE(logLines(), (QStringList{QStringLiteral("Text állományok elkészültek"), {}}));
        QVERIFY(controls_.log->isVisible());
        QVERIFY(!controls_.gauge->isVisible());
        QVERIFY(!controls_.step->isVisible());
        QVERIFY(controls_.send->isEnabled());
        QVERIFY(controls_.coverNote->isEnabled());
        QCOMPARE(controls_.step->text(), QStringLiteral("2007_3_87654321_BR.txt mentése"));
    }

    void cleanUpAcrossPeriods() {
        insertFixture();
        insertInstitution(QStringLiteral("12345678"), QStringLiteral("Kórház"), 2007,
                          QStringLiteral("4"));
        insertSimpleItem(2007, QStringLiteral("4"));
        save(u"2007"_qs, u"3"_qs);
        save(u"2007"_qs, u"4"_qs);

        QCOMPARE(filesIn(folder_->file(QStringLiteral("text"))),
                 (QStringList{QStringLiteral("2007_4_12345678_BI.txt"),
                              QStringLiteral("2007_4_12345678_BR.txt"),
                              QStringLiteral("hibalista.txt")}));
        QCOMPARE(filesIn(folder_->file(QStringLiteral("kuldes/temp"))),
                 QStringList{QStringLiteral("2007_4_12345678_KJ.txt")});
        QCOMPARE(filesIn(folder_->file(QStringLiteral("Listak"))),
                 (QStringList{QStringLiteral("12345678_2007_3.xls"),
                              QStringLiteral("12345678_2007_4.xls"),
                              QStringLiteral("87654321_2007_3.xls")}));
        QCOMPARE(controls_.send->text(), QStringLiteral("Küldés 2007 - 4"));
    }

    void periodWithoutInstitutionRecord() {
        insertCodes();
        insertSimpleItem(2008, QStringLiteral("1"));
        save(u"2008"_qs, u"1"_qs);
        QCOMPARE(filesIn(folder_->file(QStringLiteral("text"))),
                 QStringList{QStringLiteral("hibalista.txt")});
        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), kClosingLines);
        QVERIFY(controls_.send->isEnabled());
        QVERIFY(controls_.coverNote->isEnabled());
    }

    // A price at the top of the double range is written as the largest 15-digit form that still
    // reads back, so the listing can show it and the run goes to its end.
    void largestPriceEndsNoRun() {
        insertCodes();
        insertInstitution(QStringLiteral("12345678"), QStringLiteral("Kórház"), 2007,
                          QStringLiteral("3"));
        insertSimpleItem(2007, QStringLiteral("3"));
        exec(QStringLiteral("update AdatlapBR set Tegysegar = ?, Bazisegysegar = ?"),
             {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()});
        QCOMPARE(failureOf(QStringLiteral("2007"), QStringLiteral("3")), QString());
        QVERIFY(logLines().at(1).contains(u"\"-1,79769313486231E308\""));
        QVERIFY(!controls_.send->isEnabled());
    }

    // A locked listing of any provider is an error line that holds back the closing lines and
    // the two entries; only that listing is skipped.
    void lockedListing_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<Protection>("protection");
        QTest::addColumn<QByteArray>("errorList");
        const QByteArray firstError("HIBA: 12345678_2007_3.xls file nem t\xF6r\xF6lhet\xF5!\r\n");
        const QByteArray lastError("HIBA: 87654321_2007_3.xls file nem t\xF6r\xF6lhet\xF5!\r\n");
        QTest::newRow("first provider")
            << QStringLiteral("12345678_2007_3.xls") << Protection::Folder << firstError;
        QTest::newRow("first provider, found in another case")
            << QStringLiteral("12345678_2007_3.XLS") << Protection::Folder
            << QByteArray("HIBA: 12345678_2007_3.XLS file nem t\xF6r\xF6lhet\xF5!\r\n");
        QTest::newRow("last provider")
            << QStringLiteral("87654321_2007_3.xls") << Protection::Folder << lastError;
        QTest::newRow("first provider, read-only")
            << QStringLiteral("12345678_2007_3.xls") << Protection::ReadOnly << firstError;
        QTest::newRow("last provider, open in a spreadsheet")
            << QStringLiteral("87654321_2007_3.xls") << Protection::OpenInSpreadsheet << lastError;
        QTest::newRow("first provider, immutable")
            << QStringLiteral("12345678_2007_3.xls") << Protection::Immutable << firstError;
    }

    void lockedListing() {
        QFETCH(QString, locked);
        QFETCH(Protection, protection);
        QFETCH(QByteArray, errorList);
        insertFixture();
        const QString path = folder_->file(QStringLiteral("Listak/") + locked);
        protect(path, protection);
        save(u"2007"_qs, u"3"_qs);
        unprotect(path, protection);

        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), errorList);
        QCOMPARE(logLines().first(), QStringLiteral("HIBA: %1 file nem törölhető!").arg(locked));
        QVERIFY(!controls_.send->isEnabled());
        QVERIFY(!controls_.coverNote->isEnabled());
        // The locked listing stays as it was; the provider's cover note is still written.
        QCOMPARE(QFileInfo(path).isDir(), protection == Protection::Folder);
        QVERIFY(QFileInfo(path).isDir() || readFile(path).isEmpty());
        QCOMPARE(filesIn(folder_->file(QStringLiteral("kuldes/temp"))).size(), 2);
    }

    // A second run of the period replaces the listing and the cover note with new ones.
    void secondRunReplaces() {
        insertFixture();
        save(u"2007"_qs, u"3"_qs);
        exec(QStringLiteral("update AdatlapInt set Intnev = 'Új név' where Adosajat = '87654321'"));
        save(u"2007"_qs, u"3"_qs, QDate(2008, 1, 2));

        const QList<QByteArray> listing =
            file(QStringLiteral("Listak/87654321_2007_3.xls")).split('\n');
        QCOMPARE(listing.size(), 8 + 1);
        QCOMPARE(listing.at(2), QByteArray("Int\xE9zet neve: \xDAj n\xE9v\r"));
        const QList<QByteArray> note =
            file(QStringLiteral("kuldes/temp/2007_3_87654321_KJ.txt")).split('\n');
        QCOMPARE(note.size(), 54 + 1);
        QCOMPARE(note.at(26), QByteArray("         Neve: \xDAj n\xE9v\r"));
        QCOMPARE(note.at(48), QByteArray("         Kelt: ............, 2008.01.02.\r"));
    }

    // The old listing is looked up by its exact name: a registration number holding wildcard
    // characters touches no other provider's listing.
    void listingNameIsNoPattern() {
        insertCodes();
        insertInstitution(QStringLiteral("1234567*"), QStringLiteral("X"), 2007,
                          QStringLiteral("3"));
        QFile other(folder_->file(QStringLiteral("Listak/12345678_2007_3.xls")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        save(u"2007"_qs, u"3"_qs);
        save(u"2007"_qs, u"3"_qs);

        QCOMPARE(filesIn(folder_->file(QStringLiteral("Listak"))),
                 (QStringList{QStringLiteral("1234567*_2007_3.xls"),
                              QStringLiteral("12345678_2007_3.xls")}));
        QVERIFY(controls_.send->isEnabled());
    }

    // "velkor --save" writes the same files as the window's save item, byte for byte, and prints
    // the window's log; it exits with 0 only when the run ends ready to be sent.
    void commandLineSavesAsTheWindow_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("complete") << QString() << 0;
        QTest::newRow("a value longer than its field")
            << u"update AdatlapBR set Tetelsorszam = 100000 where Tetelsorszam = 2"_qs << 1;
    }

    void commandLineSavesAsTheWindow() {
        QFETCH(QString, change);
        QFETCH(int, exitCode);
        insertFixture(2031, QStringLiteral("3"));
        if (!change.isEmpty())
            exec(change);
        save(u"2031"_qs, u"3"_qs, QDate::currentDate());
        const QMap<QString, QByteArray> saved = savedFiles();
        for (const QString& folder : {u"text"_qs, u"Listak"_qs, u"kuldes/temp"_qs})
            QVERIFY(QDir(folder).removeRecursively() && QDir().mkpath(folder));
        db::closeConnection();

        QProcess velkor;
        QVERIFY(ranProgram(velkor, {u"--save"_qs, u"2031"_qs, u"3"_qs}));
        QCOMPARE(velkor.exitCode(), exitCode);
        QStringList printed = QString::fromUtf8(velkor.readAllStandardOutput()).split(u'\n');
        QCOMPARE(printed.takeLast(), QString());
        QCOMPARE(printed, logLines());
        QCOMPARE(savedFiles().keys(), saved.keys());
        for (const auto& [path, bytes] : saved.asKeyValueRange())
            QVERIFY2(readFile(path) == bytes, qPrintable(path));
    }

    // "velkor --listing" writes beside each listing its workbook, read back here by another
    // program: the listing's rows, with ő and ű, the item number, the quantity and the prices
    // as numbers. The next save run of the period takes the workbooks with the old listings.
    void listingWorkbooks() {
        insertFixture(2031, QStringLiteral("3"));
        save(u"2031"_qs, u"3"_qs, QDate::currentDate());
        db::closeConnection();
        QProcess velkor;
        QVERIFY(ranProgram(velkor, {u"--listing"_qs, u"2031"_qs, u"3"_qs}));
        QCOMPARE(velkor.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardOutput()),
                 u"Listak/12345678_2031_3.xlsx\nListak/87654321_2031_3.xlsx\n"_qs);

        for (const QString& name : {u"12345678_2031_3"_qs, u"87654321_2031_3"_qs}) {
            QStringDecoder listing("windows-1250");
            QCOMPARE(
                QString::fromUtf8(workbookLines(folder_->file(u"Listak/"_qs + name + u".xlsx"_qs))),
                QString(listing(file(u"Listak/"_qs + name + u".xls"_qs))));
        }

        db::openConnection();
        save(u"2031"_qs, u"3"_qs, QDate::currentDate());
        QCOMPARE(QDir(QStringLiteral("Listak")).entryList({QStringLiteral("*.xlsx")}),
                 QStringList());
    }

    // A value is cut to its field or filled with blanks; widths count Windows-1250 bytes.
    void padField_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("left");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("empty quarter") << QByteArray() << 1 << false << QByteArray(" ");
        QTest::newRow("exact") << QByteArray("2007") << 4 << false << QByteArray("2007");
        QTest::newRow("left") << QByteArray("3") << 5 << true << QByteArray("3    ");
        QTest::newRow("right") << QByteArray("12") << 9 << false << QByteArray("       12");
        QTest::newRow("cut") << QByteArray("1234567,89") << 9 << false << QByteArray("1234567,8");
        QTest::newRow("one byte a letter")
            << QByteArray("\xF5\xFB") << 3 << true << QByteArray("\xF5\xFB ");
    }

    void padField() {
        QFETCH(QByteArray, value);
        QFETCH(int, width);
        QFETCH(bool, left);
        QFETCH(QByteArray, field);
        QCOMPARE(exporting::PadField(value, width, left), field);
    }

    // Every byte below 0x20 and 0x7f is a control character wherever it stands in a value, among
    // ASCII or UTF-8; no other byte is.
    void controlCharacterAnywhere() {
        for (const char around : {'a', '\xC5', '\x7E', ' '}) {
            for (int byte = 0; byte < 256; ++byte) {
                for (int at = 0; at < 17; ++at) {
                    std::string value(17, around);
                    value[static_cast<size_t>(at)] = static_cast<char>(byte);
                    QVERIFY2(exporting::hasControlCharacter(value) == (byte < 0x20 || byte == 0x7f),
                             qPrintable(QStringLiteral("%1 at %2").arg(byte).arg(at)));
                }
            }
        }
    }

    // A report file of an earlier run that stays could be sent as this run's: the run ends
    // without its closing lines and the entries stay disabled.
    void lockedTextFileOfAnotherPeriod_data() {
        QTest::addColumn<Protection>("protection");
        QTest::newRow("folder") << Protection::Folder;
        QTest::newRow("read-only") << Protection::ReadOnly;
        QTest::newRow("open in a spreadsheet") << Protection::OpenInSpreadsheet;
    }

    void lockedTextFileOfAnotherPeriod() {
        QFETCH(Protection, protection);
        insertFixture();
        const QString locked = folder_->file(QStringLiteral("text/2006_1_11111111_BI.txt"));
        protect(locked, protection);
        QFile stray(folder_->file(QStringLiteral("kuldes/temp/old.TXT")));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.close();
        // What a killed run left under a temporary name goes; another's file stays.
        const QString leftover = folder_->file(QStringLiteral("text/2006_1_11111111_BR.txt.tmp"));
        const QString notOurs = folder_->file(QStringLiteral("text/notes.tmp"));
        writeEmptyFile(leftover);
        writeEmptyFile(notOurs);
        save(u"2007"_qs, u"3"_qs);
        QVERIFY(!QFileInfo::exists(leftover));
        QVERIFY(QFileInfo::exists(notOurs));

        QCOMPARE(logLines(),
                 QStringList{QStringLiteral("HIBA: 2006_1_11111111_BI.txt file nem törölhető!")});
        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), QByteArray());
        QVERIFY(QFileInfo::exists(locked));
        QVERIFY(!stray.exists());
        QVERIFY(!controls_.send->isEnabled());
    }

    // A failure ends the run where it happens: what was written stays, the entries stay
    // disabled, no closing lines, and the error list is closed.
    void failureStopsTheRun_data() {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("gauge");  // position/maximum left shown, when shown
        const QStringList firstDataFiles = {QStringLiteral("text/2007_3_12345678_BI.txt"),
                                            QStringLiteral("text/2007_3_12345678_BR.txt")};
        const QStringList firstProvider =
            firstDataFiles + QStringList{QStringLiteral("Listak/12345678_2007_3.xls"),
                                         QStringLiteral("kuldes/temp/2007_3_12345678_KJ.txt")};
        QTest::newRow("no text folder")
            << QStringLiteral("text") << QStringLiteral("Cannot create file text/hibalista.txt")
            << QStringList() << QString();
        QTest::newRow("no listing folder")
            << QStringLiteral("Listak")
            << QStringLiteral("Cannot create file Listak/12345678_2007_3.xls") << firstDataFiles
            << QStringLiteral("3/3");
        QTest::newRow("no cover-note folder")
            << QStringLiteral("kuldes/temp")
            << QStringLiteral("Cannot create file kuldes/temp/2007_3_12345678_KJ.txt")
            << firstDataFiles + QStringList{QStringLiteral("Listak/12345678_2007_3.xls")}
            << QStringLiteral("3/3");
        QTest::newRow("locked data file of the period")
            << QStringLiteral("text/2007_3_87654321_BI.txt")
            << QStringLiteral("Cannot create file text/2007_3_87654321_BI.txt") << firstProvider
            << QStringLiteral("1/1");
        QTest::newRow("statement rejected")
            << QStringLiteral("Torzs_Artipus") << QStringLiteral("no such table") << firstDataFiles
            << QStringLiteral("3/3");
    }

    void failureStopsTheRun() {
        QFETCH(QString, cause);
        QFETCH(QString, failure);
        QFETCH(QStringList, written);
        QFETCH(QString, gauge);
        insertFixture();
        if (cause.startsWith(QStringLiteral("Torzs")))
            exec(QStringLiteral("drop table ") + cause);
        else if (cause.endsWith(QStringLiteral(".txt")))
            lock(folder_->file(cause));
        else
            QVERIFY(QDir(folder_->file(cause)).removeRecursively());
        controls_.send->setEnabled(true);
        controls_.coverNote->setEnabled(true);

        const QString shown = failureOf(u"2007"_qs, u"3"_qs);
        QVERIFY2(shown.contains(failure), qPrintable(shown));
        QVERIFY(!controls_.send->isEnabled());
        QVERIFY(!controls_.coverNote->isEnabled());
        // The gauge and the step label stay as the failure found them.
        QCOMPARE(controls_.gauge->isVisible(), cause != QStringLiteral("text"));
        QCOMPARE(controls_.step->isVisible(), cause != QStringLiteral("text"));
        if (!gauge.isEmpty())
            QCOMPARE(QStringLiteral("%1/%2")
                         .arg(controls_.gauge->value())
                         .arg(controls_.gauge->maximum()),
                     gauge);
        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), QByteArray());
        for (const QString& path : written)
            QVERIFY2(QFileInfo(folder_->file(path)).isFile(), qPrintable(path));
        // No part of the file being written is left under its name: beside those files only the
        // error list and a locked data file.
        qsizetype left = 0;
        for (const QString& name : {u"text"_qs, u"Listak"_qs, u"kuldes/temp"_qs})
            left += filesIn(folder_->file(name)).size();
        QCOMPARE(left, written.size() + (cause != u"text") + cause.endsWith(u".txt"));
        const QStringList later = {QStringLiteral("text/2007_3_87654321_BI.txt"),
                                   QStringLiteral("kuldes/temp/2007_3_87654321_KJ.txt")};
        for (const QString& path : later)
            QVERIFY2(!QFileInfo(folder_->file(path)).isFile(), qPrintable(path));
    }

    // A file the file system cannot take fails the run before its closing lines, however late the
    // failure shows: the error is told, no closing line is logged or in the error list, and the
    // two entries stay disabled.
    void fullDiskStopsBeforeTheClosingLines_data() {
        QTest::addColumn<QString>("full");
        QTest::newRow("cover notes") << QStringLiteral("kuldes/temp");
        QTest::newRow("data files and error list") << QStringLiteral("text");
    }

    void fullDiskStopsBeforeTheClosingLines() {
        QFETCH(QString, full);
        if (geteuid() != 0)
            QSKIP("Mounting a small disk needs root");
        insertFixture();
        const QString mounted = folder_->file(full);
        QCOMPARE(QProcess::execute(u"mount"_qs, {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=64k"_qs,
                                                 u"tmpfs"_qs, mounted}),
                 0);
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_qs, {mounted}); });
        testsupport::writeFile(mounted + QStringLiteral("/filler"), QByteArray(64 << 10, 'x'));

        const QString shown = failureOf(u"2007"_qs, u"3"_qs);
        QVERIFY2(shown.contains(QStringLiteral("No space left on device")) &&
                     shown.contains(full + u'/'),
                 qPrintable(shown));
        QVERIFY(!logLines().contains(QStringLiteral("Text állományok elkészültek")));
        QVERIFY(!file(QStringLiteral("text/hibalista.txt")).contains("Text"));
        QVERIFY(!controls_.send->isEnabled());
        QVERIFY(!controls_.coverNote->isEnabled());
    }

    // Prices of every kind that fit, in the purchase data file as the C library writes them with
    // 15 significant digits ("%.15g", the exponent as E) filled to 9 characters, and in the
    // listing that text read back and written with two decimals as the toolkit's "%.2f" does,
    // which rounds an exact half away from zero (0.125 as 0,13).
    void pricesAsWrittenAndListed() {
        insertCodes();
        insertInstitution(QStringLiteral("12345678"), QStringLiteral("Kórház"), 2007,
                          QStringLiteral("3"));
        const auto printed = [](const char* format, double value) {
            char text[400];
            std::snprintf(text, sizeof text, format, value);
            return QString::fromLatin1(text).replace(QLatin1Char(*std::localeconv()->decimal_point),
                                                     u'.');
        };
        const auto written = [&](double value) {
            static const QRegularExpression exponent(QStringLiteral("e\\+?(-?)0*(\\d)"));
            return printed("%.15g", value).replace(exponent, QStringLiteral("E\\1\\2"));
        };
        QRandomGenerator random(2007);
        QList<double> prices = {0.5,  -0.5, 0.01, -0.07,   1250.05, 0.125,      1e-5,
                                1e13, 1e15, 0.0,  1.0 / 3, 99.995,  12345678.9, 1e12 + 0.01};
        while (prices.size() < 400) {
            const double cents = static_cast<double>(random.bounded(1 << 30)) / 100;
            prices << cents << -cents / 1000
                   << std::ldexp(random.generateDouble(), random.bounded(-20, 50))
                   << static_cast<double>(random.bounded(100000000)) / 100
                   << -static_cast<double>(random.bounded(1000000)) / 1000;
        }
        prices.removeIf([&](double price) { return written(price).size() > 9; });
        prices.resize(prices.size() / 2 * 2);
        db::inTransaction([&] {
            for (int i = 0; i + 1 < prices.size(); i += 2)
                insertItem(QStringLiteral("12345678"), 2007, QStringLiteral("3"),
                           {QStringLiteral("07"),
                            i,
                            QStringLiteral("1"),
                            QStringLiteral("1"),
                            {},
                            QStringLiteral("1"),
                            QStringLiteral("x"),
                            QStringLiteral("01"),
                            1,
                            prices[i],
                            prices[i + 1]});
        });
        save(u"2007"_qs, u"3"_qs);

        const QList<QByteArray> dataLines =
            file(QStringLiteral("text/2007_3_12345678_BR.txt")).split('\n');
        const QList<QByteArray> listingLines =
            file(QStringLiteral("Listak/12345678_2007_3.xls")).split('\n').mid(8);
        for (int i = 0; i < prices.size(); ++i) {
            const QString text = written(prices[i]);
            const QByteArray field =
                QString(text.size() < 9 ? blanks(9 - text.size()) + text : text.left(9))
                    .replace(u'.', u',')
                    .toLatin1();
            QCOMPARE(dataLines.at(i / 2).mid(147 + 9 * (i % 2), 9), field);
            const QString listed = QString::asprintf("%.2f", text.toDouble()).replace(u'.', u',');
            QCOMPARE(QString::fromLatin1(listingLines.at(i / 2).split('\t').at(15 + i % 2)),
                     listed);
        }
    }

    // A value longer than its field is never cut: each is an error line naming the provider, the
    // item and the column, the provider gets no file, and the run fails.
    void valueLongerThanItsField() {
        insertFixture();
        exec(
            QStringLiteral("update AdatlapBR set Tetelsorszam = 100000, Vasaroltmenny = "
                           "1234567890 where Tetelsorszam = 2"));
        save(u"2007"_qs, u"3"_qs);
        const QString error = QStringLiteral(
            "HIBA: 12345678, 100000. tétel, %1: A(z) \"%2\" érték nem fér el az adatállomány %3 "
            "karakteres mezőjében!");
        QCOMPARE(logLines(), (QStringList{error.arg(u"Tetelsorszam", u"100000", u"5"),
                                          error.arg(u"Vasaroltmenny", u"1234567890", u"9")}));
        QCOMPARE(file(QStringLiteral("text/hibalista.txt")), windows1250Lines(logLines()));
        QCOMPARE(filesIn(folder_->file(QStringLiteral("text"))),
                 (QStringList{u"2007_3_87654321_BI.txt"_qs, u"hibalista.txt"_qs}));
        QCOMPARE(filesIn(folder_->file(QStringLiteral("kuldes/temp"))),
                 QStringList{u"2007_3_87654321_KJ.txt"_qs});
        QVERIFY(!controls_.send->isEnabled());
    }
};

QTEST_MAIN(TestSaveRun)
#include "test_save_run.moc"
