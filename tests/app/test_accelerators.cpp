#include "app/accelerators.h"
#include "app/caption_period.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAccelerators : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void levels_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("main menu")
            << QStringList{u"Adatszolgáltató intézmény"_s, u"Beszerzés"_s, u"Mentés"_s, u"Küldés"_s,
                           u"Kísérőjegyzék nyomtatása"_s,  u"Kilépés"_s,   u"About"_s}
            << QStringList{
                   u"&Adatszolgáltató intézmény"_s, u"&Beszerzés"_s, u"&Mentés"_s, u"&Küldés"_s,
                   u"Kí&sérőjegyzék nyomtatása"_s,  u"K&ilépés"_s,   u"Ab&out"_s};
        QTest::newRow("quarters of a year")
            << QStringList{u"Mentés 2007-1"_s, u"Mentés 2007-3"_s, u"Mentés 2007-4"_s}
            << QStringList{u"&Mentés 2007-1"_s, u"M&entés 2007-3"_s, u"Me&ntés 2007-4"_s};
        QTest::newRow("already marked keeps its letter taken")
            << QStringList{u"Mentés"_s, u"&Mentés"_s} << QStringList{u"M&entés"_s, u"&Mentés"_s};
        QTest::newRow("digits and nothing usable")
            << QStringList{u"2007"_s, u"2008"_s, u"ééé"_s, u"-"_s}
            << QStringList{u"&2007"_s, u"2&008"_s, u"ééé"_s, u"-"_s};
        QTest::newRow("lower and upper case are one letter")
            << QStringList{u"abc"_s, u"ABC"_s} << QStringList{u"&abc"_s, u"A&BC"_s};
        QTest::newRow("literal ampersand is no marker")
            << QStringList{u"A && B"_s} << QStringList{u"&A && B"_s};
    }

    void levels() {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, marked);
        QCOMPARE(app::withAccelerators(captions), marked);
        // Serving a level again changes nothing.
        QCOMPARE(app::withAccelerators(marked), marked);
    }

    // Save items and the Send entry give their period back wherever the marker stands.
    void periodOfCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("quarter");
        QTest::newRow("save item, marker before M") << "&Mentés 2007-3"
                                                    << "2007"
                                                    << "3";
        QTest::newRow("save item, marker before e") << "M&entés 2007-3"
                                                    << "2007"
                                                    << "3";
        QTest::newRow("save item, marker before s") << "Menté&s 2008-4"
                                                    << "2008"
                                                    << "4";
        QTest::newRow("save item without marker") << "Mentés 2007-1"
                                                  << "2007"
                                                  << "1";
        QTest::newRow("send entry") << "&Küldés 2007 - 3"
                                    << "2007"
                                    << "3";
        QTest::newRow("send entry, marker before d") << "Kül&dés 2009 - 2"
                                                     << "2009"
                                                     << "2";
        QTest::newRow("send entry without marker") << "Küldés 2007 - 3"
                                                   << "2007"
                                                   << "3";
        QTest::newRow("marker in the year") << "Mentés 2&007-3"
                                            << "2007"
                                            << "3";
        QTest::newRow("empty quarter") << "&Mentés 2007-"
                                       << "2007"
                                       << "";
    }

    void periodOfCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, year);
        QFETCH(QString, quarter);
        const app::Period period = app::periodOfCaption(caption);
        QCOMPARE(period.year, year);
        QCOMPARE(period.quarter, quarter);
    }
};

QTEST_MAIN(TestAccelerators)
#include "test_accelerators.moc"
