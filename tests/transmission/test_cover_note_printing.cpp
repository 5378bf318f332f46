#include "platform/codepage.h"
#include "platform/widgets/printer.h"
#include "support/printed_output.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/widgets/cover_note_printing.h"
#include "transmission/widgets/lap1nyom.h"

#include <QFile>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using platform::Button;
using testsupport::PrintedToPdf;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;

namespace {

void writeNote(const QString& name, const QByteArray& bytes) {
    QFile file(QStringLiteral("kuldes/temp/") + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray asFile(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += platform::toWindows1250(line) + "\r\n";
    return bytes;
}

// A note laid out as the save run writes them: 54 lines, every line that is not empty indented
// by nine blanks, some further in.
QStringList coverNote(const QString& who, int count = 54) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) {
        if (i <= 7 || i % 5 == 0)
            lines.append(QString());
        else
            lines.append(QString(9 + (i % 3) * 4, u' ') +
                         QStringLiteral("%1 sor %2: Kísérőjegyzék, Győr").arg(who).arg(i));
    }
    return lines;
}

// The text of a job as pdftotext lays it out, which starts the leftmost text at the first column
// and leaves out empty lines where pages break: the non-empty lines without the blanks they all
// begin with.
QStringList dedented(QStringList lines) {
    lines.removeAll(QString());
    qsizetype indent = std::numeric_limits<qsizetype>::max();
    for (const QString& line : lines)
        indent = std::min(indent, line.size() - line.trimmed().size());
    for (QString& line : lines)
        line.remove(0, indent);
    return lines;
}

}  // namespace

class TestCoverNotePrinting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // No print service answers here, so nothing reaches a printer of this machine.
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    }

    // Every cover note is one job; its lines come out in order with their leading blanks, a
    // 54-line note on one page, longer notes and wider lines going on at the left edge.
    void printsEveryCoverNote_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QStringList>>("notes");
        QTest::addColumn<QList<int>>("pageCounts");
        QTest::addColumn<QList<QStringList>>("printed");

        QTest::newRow("none") << QStringList{} << QList<QStringList>{} << QList<int>{}
                              << QList<QStringList>{};
        const QStringList names{QStringLiteral("2007_3_12345676_KJ.txt"),
                                QStringLiteral("2007_3_23456789_KJ.txt"),
                                QStringLiteral("2007_3_34567890_KJ.txt")};
        const QList<QStringList> three{coverNote(QStringLiteral("Egy")),
                                       coverNote(QStringLiteral("Kettő")),
                                       coverNote(QStringLiteral("Három"))};
        QTest::newRow("three providers") << names << three << QList<int>{1, 1, 1} << three;
        QTest::newRow("empty file") << QStringList{names[0]} << QList<QStringList>{{}}
                                    << QList<int>{1} << QList<QStringList>{{}};
        // 55 lines a page: two line heights stay free above the bottom edge of the 57 that fit.
        const QStringList longNote = coverNote(QStringLiteral("Hosszú"), 111);
        QTest::newRow("long note") << QStringList{names[0]} << QList<QStringList>{longNote}
                                   << QList<int>{3} << QList<QStringList>{longNote};
        // 74 characters fit in the width of an A4 page between margins of 10 mm.
        const QString wide = QString(9, u' ') + QString(100, u'x') + QString(60, u'y');
        QTest::newRow("wide line")
            << QStringList{names[0]} << QList<QStringList>{{QStringLiteral("Első"), wide}}
            << QList<int>{1}
            << QList<QStringList>{
                   {QStringLiteral("Első"), wide.left(74), wide.mid(74, 74), wide.mid(148)}};
    }
    void printsEveryCoverNote() {
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, notes);
        QFETCH(QList<int>, pageCounts);
        QFETCH(QList<QStringList>, printed);
        ProgramFolder folder(false);
        folder.setAddressee();
        PrintedToPdf output;
        ScriptedMessages boxes;
        for (qsizetype i = 0; i < names.size(); ++i)
            writeNote(names[i], asFile(notes[i]));
        writeNote(QStringLiteral("hibalista.txt"), "nem kísérőjegyzék\r\n");

        TLap1nyom_Form printing;

        QVERIFY(boxes.take().isEmpty());
        const QStringList jobs = output.jobs();
        QCOMPARE(jobs.size(), names.size());
        for (qsizetype i = 0; i < jobs.size(); ++i) {
            const QList<QStringList> pages = testsupport::pdfPages(jobs[i]);
            QCOMPARE(pages.size(), pageCounts[i]);
            QStringList laidOut;
            for (const QStringList& page : pages)
                laidOut += page;
            QCOMPARE(dedented(laidOut), dedented(printed[i]));
        }
    }

    // While the addressee is the shipped placeholder the window asks first and prints only on Yes.
    void placeholderAddresseeAsksFirst_data() {
        QTest::addColumn<Button>("answer");
        QTest::newRow("No prints nothing") << Button::No;
        QTest::newRow("Yes prints") << Button::Yes;
    }
    void placeholderAddresseeAsksFirst() {
        QFETCH(Button, answer);
        ProgramFolder folder(false);
        PrintedToPdf output;
        ScriptedMessages boxes;
        writeNote(QStringLiteral("2007_3_12345676_KJ.txt"), "Kiserojegyzek\r\n");
        boxes.answer(answer);
        TLap1nyom_Form printing;
        QVERIFY(boxes.takeTexts().value(0).contains(QStringLiteral("[addressee]")));
        QCOMPARE(output.jobs().size(), answer == Button::Yes ? 1 : 0);
    }

    // Courier New at 12 points whatever the current printer font, the name offered through the
    // metric-compatible font this system maps it to: ten narrow and ten wide letters both take
    // 72 points, 7.2 each.
    void printsInMonospacedTwelvePoints() {
        ProgramFolder folder(false);
        folder.setAddressee();
        PrintedToPdf output;
        ScriptedMessages boxes;
        writeNote(QStringLiteral("2007_3_12345676_KJ.txt"), "iiiiiiiiii\r\nWWWWWWWWWW\r\n");
        auto& printer = platform::Printer::instance();
        printer.setFont(QFont(QStringLiteral("No such font family"), 10));
        QVERIFY(printer.offersFont(QStringLiteral("Courier")));
        QVERIFY(!printer.offersFont(QStringLiteral("No such font family")));

        TLap1nyom_Form printing;

        const QFont font = printer.font();
        QCOMPARE(font.family(), QStringLiteral("Courier New"));
        QCOMPARE(font.pointSize(), 12);
        QVERIFY(QFontInfo(font).fixedPitch());

        QProcess bbox;
        bbox.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-bbox"), output.jobs().value(0), QStringLiteral("-")});
        QVERIFY(bbox.waitForFinished(30000));
        const QString html = QString::fromUtf8(bbox.readAllStandardOutput());
        const QRegularExpression word(
            QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)")re"));
        int words = 0;
        for (const auto& match : word.globalMatch(html)) {
            const double width = match.captured(2).toDouble() - match.captured(1).toDouble();
            QVERIFY2(qAbs(width - 72.0) < 0.5, qPrintable(QString::number(width)));
            ++words;
        }
        QCOMPARE(words, 2);
    }

    // The first failure is shown with its reason and ends the printing: notes after it stay
    // unprinted.
    void failureStopsPrinting_data() {
        QTest::addColumn<bool>("printerPresent");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("jobs");
        QTest::newRow("no printer")
            << false
            << QStringLiteral(
                   "Nincs kiválasztott nyomtató, ezért a nyomtatás nem indult el. Alapértelmezett "
                   "nyomtatót a rendszergazda választhat minden felhasználónak (lpadmin -d "
                   "NYOMTATÓ), a felhasználó magának (lpoptions -d NYOMTATÓ); vagy adja meg a "
                   "nyomtató nevét a velkor.ini [printer] csoportjának name kulcsában.")
            << 0;
        QTest::newRow("unreadable note")
            << true
            << QStringLiteral(
                   "Cannot open file kuldes/temp/2007_3_23456789_KJ.txt. No such file "
                   "or directory.")
            << 1;
    }
    void failureStopsPrinting() {
        QFETCH(bool, printerPresent);
        QFETCH(QString, box);
        QFETCH(int, jobs);
        ProgramFolder folder(false);
        folder.setAddressee();
        PrintedToPdf output;
        if (!printerPresent)
            platform::Printer::instance().setPdfFolder(QString());
        ScriptedMessages boxes;
        writeNote(QStringLiteral("2007_3_12345676_KJ.txt"), asFile(coverNote(QStringLiteral("A"))));
        QVERIFY(QFile::link(QStringLiteral("gone.txt"),
                            QStringLiteral("kuldes/temp/2007_3_23456789_KJ.txt")));
        writeNote(QStringLiteral("2007_3_34567890_KJ.txt"), asFile(coverNote(QStringLiteral("C"))));

        TLap1nyom_Form printing;

        QCOMPARE(boxes.take(), (QList<testsupport::ShownBox>{
                                   {platform::MessageKind::Error, box, {platform::Button::Ok}}}));
        QCOMPARE(output.jobs().size(), jobs);
    }

    // Every line is an entry, the last one whether or not a line break ends it.
    void readsEveryLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList{QString()};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{QString()};
        QTest::newRow("ended") << QByteArray("  a\r\nb \r\n") << QStringList{u"  a"_s, u"b "_s};
        QTest::newRow("last not ended") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << QStringList{u"a"_s, u""_s};
        QTest::newRow("Windows-1250")
            << QByteArray("\xf5r\xfb \xe1\x9a\r\n") << QStringList{QStringLiteral("őrű áš")};
    }
    void readsEveryLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        ProgramFolder folder(false);
        writeNote(QStringLiteral("x_KJ.txt"), bytes);
        QStringList read;
        transmission::ReadLines(QStringLiteral("x_KJ.txt"), read);
        QCOMPARE(read, lines);
    }
};

QTEST_MAIN(TestCoverNotePrinting)
#include "test_cover_note_printing.moc"
