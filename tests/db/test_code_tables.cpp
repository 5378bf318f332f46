// The properties of the shipped code tables that the program relies on, checked on the database
// the build generates from data/codes, so that a bad edit of a code file fails here.

#include "db/query.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QSet>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using db::Query;
using testsupport::ProgramFolder;

namespace {

// The first column of a statement's result. A statement the engine rejects (a missing table or
// column) logs the engine's text and yields a marker value, so the caller's check fails.
QStringList firstColumn(const QString& statement) {
    QStringList values;
    try {
        for (Query query(statement); !query.eof(); query.next())
            values.append(query.text(0));
    } catch (const platform::Failure& failure) {
        qWarning("%s: %s", qPrintable(statement), qPrintable(failure.text()));
        values.append(QStringLiteral("<statement failed>"));
    }
    return values;
}

QStringList columnOf(const QString& table, const QString& column) {
    return firstColumn(
        QStringLiteral("select %1 from %2").arg(db::quoteName(column), db::quoteName(table)));
}

bool allDigits(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

// The last digit of a settlement id checks the first four: (1*d1 + 3*d2 + 7*d3 + 9*d4) mod 10.
bool checkDigitHolds(const QString& id) {
    static constexpr int kWeights[] = {1, 3, 7, 9};
    if (id.size() != 5 || !allDigits(id))
        return false;
    int sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += kWeights[i] * id.at(i).digitValue();
    return sum % 10 == id.at(4).digitValue();
}

int rowCount(const QString& table) {
    return firstColumn(QStringLiteral("select count(1) from %1").arg(db::quoteName(table)))
        .value(0)
        .toInt();
}

}  // namespace

class TestCodeTables : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolder> folder_;

private Q_SLOTS:
    void initTestCase() { folder_ = std::make_unique<ProgramFolder>(); }
    void cleanupTestCase() { folder_.reset(); }

    // Keys must fit the coded columns that store them; shown columns must say something.
    void columnWidths_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("minLength");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("digits");
        const auto row = [](const char* table, const char* column, int min, int max, bool digits) {
            QTest::addRow("%s.%s", table, column) << table << column << min << max << digits;
        };
        row("Torzs_KSHMEGYE", "ID", 1, 2, true);
        row("Torzs_KSHMEGYE", "Nev", 1, 50, false);
        row("Torzs_KSHTELEPULES", "id", 5, 5, true);
        row("Torzs_KSHTELEPULES", "nev", 1, 30, false);
        row("Torzs_KSHTELEPULES", "nevstr", 1, 80, false);
        row("Torzs_IRSZ", "id", 1, 4, true);
        row("Torzs_gazdfor", "ID", 1, 2, false);
        row("Torzs_gazdfor", "NEV", 1, 100, false);
        row("Torzs_Negyedev", "ID", 1, 1, true);
        row("Torzs_ho", "ID", 1, 2, true);
        row("torzs_AH_AG", "id", 2, 2, true);
        row("torzs_AH_AGAZAT", "id", 3, 3, true);
        row("torzs_AH_SZAKAGAZAT", "id", 4, 4, true);
        row("torzs_AH_SZAKAGAZAT", "nev", 1, 150, false);
        row("Torzs_Mennyisegiegyseg", "ID", 1, 2, false);
        row("Torzs_Mennyisegiegyseg", "nevstr", 1, 255, false);
        row("Torzs_Beszerzesiforras", "ID", 1, 1, false);
        row("Torzs_Beszerzesiforras", "nevstr", 1, 255, false);
        row("Torzs_Felhasznter", "ID", 1, 2, false);
        row("Torzs_Felhasznter", "nevstr", 1, 255, false);
        row("Torzs_Artipus", "ID", 1, 1, false);
        row("Torzs_Artipus", "nevstr", 1, 255, false);
        row("Torzs_TermekCsoport", "id", 1, 8, true);
        row("Torzs_TermekCsoport", "nevstr", 1, 255, false);
        row("Torzs_TermekCsoport", "itj", 0, 8, false);
        row("Torzs_TermekCsoport", "vtsz", 0, 17, false);
        row("Torzs_SzolgaltatasCsoport", "id", 1, 8, true);
        row("Torzs_SzolgaltatasCsoport", "nevstr", 1, 255, false);
        row("Torzs_SzolgaltatasCsoport", "itj", 0, 8, false);
        row("Torzs_SzolgaltatasCsoport", "szjszam", 0, 17, false);
    }

    void columnWidths() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, minLength);
        QFETCH(int, maxLength);
        QFETCH(bool, digits);
        const QStringList values = columnOf(table, column);
        QVERIFY2(!values.isEmpty(), "the table is empty");
        QStringList misfits;
        for (const QString& value : values) {
            if (value.size() < minLength || value.size() > maxLength ||
                (digits && !allDigits(value)))
                misfits.append(value);
        }
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(QStringLiteral(" | "))));
    }

    // Every settlement and every district of Budapest (a seat there is filed under its district),
    // and every postal code of the postal service's list.
    void settlementsAndPostalCodesComplete() {
        QVERIFY(rowCount(QStringLiteral("Torzs_KSHTELEPULES")) >= 3155 + 23);
        QVERIFY(rowCount(QStringLiteral("Torzs_IRSZ")) >= 3046);
        QCOMPARE(firstColumn(QStringLiteral("select id from Torzs_IRSZ where id in "
                                            "('1011', '2030', '5900', '8900', '9985')")),
                 QStringList({u"1011"_s, u"2030"_s, u"5900"_s, u"8900"_s, u"9985"_s}));
    }

    void settlementNames_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        for (const char* row :
             {"30988|Érd|30988 Érd (Pest)", "23065|Orosháza|23065 Orosháza (Békés)",
              "32054|Zalaegerszeg|32054 Zalaegerszeg (Zala)",
              "13578|Budapest|13578 Budapest (Budapest)",
              "29744|Budapest 07. ker.|29744 Budapest 07. ker. (Budapest)"}) {
            const QStringList values = QString::fromUtf8(row).split(u'|');
            QTest::addRow("%s", qPrintable(values.at(1)))
                << values.at(0) << values.at(1) << values.at(2);
        }
    }

    void settlementNames() {
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Query query(QStringLiteral("select nev, nevstr from torzs_kshtelepules where id = ?"),
                    {id});
        QCOMPARE(query.rowCount(), 1);
        QCOMPARE(query.text(QStringLiteral("nev")), name);
        QCOMPARE(query.text(QStringLiteral("nevstr")), shown);
    }

    void settlementIdsPassTheirCheckDigit() {
        QStringList failing = columnOf(QStringLiteral("Torzs_KSHTELEPULES"), QStringLiteral("id"));
        failing.removeIf(checkDigitHolds);
        QVERIFY2(failing.isEmpty(), qPrintable(failing.join(QStringLiteral(" | "))));
    }

    // Keys identify one row; the tree picker identifies the chosen leaf by its name alone.
    void valuesUnique_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        for (const char* table : {"Torzs_KSHTELEPULES.id", "Torzs_IRSZ.id", "Torzs_KSHMEGYE.ID",
                                  "torzs_AH_SZAKAGAZAT.nev"}) {
            const QStringList parts = QString::fromLatin1(table).split(u'.');
            QTest::addRow("%s", table) << parts.at(0) << parts.at(1);
        }
    }

    void valuesUnique() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        const QStringList repeated =
            firstColumn(QStringLiteral("select %1 from %2 group by %1 having count(1) > 1")
                            .arg(db::quoteName(column), db::quoteName(table)));
        QVERIFY2(repeated.isEmpty(), qPrintable(repeated.join(QStringLiteral(" | "))));
    }

    void productAndServiceKinds() {
        QCOMPARE(firstColumn(QStringLiteral("select ID from Torzs_Termekszolg order by ID")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2")}));
    }

    void monthsCarryTheirQuarter() {
        QCOMPARE(firstColumn(QStringLiteral("select ID from Torzs_Negyedev order by ID")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")}));
        QSet<int> months;
        for (Query query(QStringLiteral("select ID, Negyedev from Torzs_ho")); !query.eof();
             query.next()) {
            const int month = query.text(QStringLiteral("ID")).toInt();
            QVERIFY2(month >= 1 && month <= 12, qPrintable(query.text(QStringLiteral("ID"))));
            QCOMPARE(query.text(QStringLiteral("Negyedev")), QString::number((month + 2) / 3));
            months.insert(month);
        }
        QCOMPARE(months.size(), 12);
    }

    void sectorChain_data() {
        QTest::addColumn<QString>("child");
        QTest::addColumn<QString>("parent");
        QTest::newRow("groups under divisions") << "torzs_AH_AGAZAT"
                                                << "torzs_AH_AG";
        QTest::newRow("classes under groups") << "torzs_AH_SZAKAGAZAT"
                                              << "torzs_AH_AGAZAT";
    }

    // The tree picker finds children by the parent's id as a prefix: an id without a parent
    // would never be offered.
    void sectorChain() {
        QFETCH(QString, child);
        QFETCH(QString, parent);
        const QStringList orphans = firstColumn(
            QStringLiteral("select c.id from %1 c where not exists "
                           "(select 1 from %2 p where substr(c.id, 1, length(p.id)) = p.id)")
                .arg(db::quoteName(child), db::quoteName(parent)));
        QVERIFY2(orphans.isEmpty(), qPrintable(orphans.join(QStringLiteral(" | "))));
    }

    void groupIdsAreWholeNumbers_data() {
        QTest::addColumn<QString>("table");
        QTest::newRow("products") << "Torzs_TermekCsoport";
        QTest::newRow("services") << "Torzs_SzolgaltatasCsoport";
    }

    // The purchase editor looks a group up by its id written as a bare number.
    void groupIdsAreWholeNumbers() {
        QFETCH(QString, table);
        const QStringList others =
            firstColumn(QStringLiteral("select id from %1 where typeof(id) <> 'integer'")
                            .arg(db::quoteName(table)));
        QVERIFY2(others.isEmpty(), qPrintable(others.join(QStringLiteral(" | "))));
    }
};

QTEST_GUILESS_MAIN(TestCodeTables)
#include "test_code_tables.moc"
