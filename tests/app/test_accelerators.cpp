#include "app/accelerators.h"
#include "app/caption_period.h"

#include <QTest>

class TestAccelerators : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void levels_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("main menu")
            << QStringList{"Adatszolgáltató intézmény", "Beszerzés", "Mentés", "Küldés",
                           "Kísérőjegyzék nyomtatása",  "Kilépés",   "About"}
            << QStringList{"&Adatszolgáltató intézmény", "&Beszerzés", "&Mentés", "&Küldés",
                           "Kí&sérőjegyzék nyomtatása",  "K&ilépés",   "Ab&out"};
        QTest::newRow("quarters of a year")
            << QStringList{"Mentés 2007-1", "Mentés 2007-3", "Mentés 2007-4"}
            << QStringList{"&Mentés 2007-1", "M&entés 2007-3", "Me&ntés 2007-4"};
        QTest::newRow("already marked keeps its letter taken")
            << QStringList{"Mentés", "&Mentés"} << QStringList{"M&entés", "&Mentés"};
        QTest::newRow("digits and nothing usable")
            << QStringList{"2007", "2008", "ééé", "-"} << QStringList{"&2007", "2&008", "ééé", "-"};
        QTest::newRow("lower and upper case are one letter")
            << QStringList{"abc", "ABC"} << QStringList{"&abc", "A&BC"};
        QTest::newRow("literal ampersand is no marker")
            << QStringList{"A && B"} << QStringList{"&A && B"};
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
