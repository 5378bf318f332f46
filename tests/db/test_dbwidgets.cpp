#include "db/query.h"
#include "db/table.h"
#include "db/widgets/bound_grid.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QHeaderView>
#include <QTest>

using testsupport::ProgramFolder;

namespace {

void insertInstitution(const QString& adosajat, const QString& name, int year, const QString& q) {
    db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                               "Adatszolgnegyedev) values (?, ?, ?, ?)"),
                {adosajat, name, year, q});
}

QString storedName(const QString& adosajat) {
    return db::Query(QStringLiteral("select Intnev from AdatlapInt where Adosajat = ?"), {adosajat})
        .text(0);
}

}  // namespace

class TestDbWidgets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<ProgramFolder>();
        insertInstitution(QStringLiteral("11111111"), QStringLiteral("Első"), 2006,
                          QStringLiteral("4"));
        insertInstitution(QStringLiteral("22222222"), QStringLiteral("Második"), 2007,
                          QStringLiteral("1"));
        table_ = std::make_unique<db::Table>();
        table_->open(QStringLiteral("AdatlapInt"));
    }

    void cleanup() {
        table_.reset();
        folder_.reset();
    }

    void appendAddsAfterTheLastRow() {
        table_->setCurrentRow(0);
        table_->append();
        QCOMPARE(table_->currentRow(), 2);
        QCOMPARE(table_->mode(), db::Table::Mode::Insert);
        table_->setText(QStringLiteral("Adosajat"), QStringLiteral("33333333"));
        table_->post();
        table_->refresh();
        QCOMPARE(table_->rowCount(), 3);
        table_->setCurrentRow(2);
        QCOMPARE(table_->text(QStringLiteral("Adosajat")), QStringLiteral("33333333"));
    }

    void lineEditShowsAndWritesTheColumn() {
        db::BoundLineEdit name(*table_, QStringLiteral("intnev"));
        QCOMPARE(name.maxLength(), 80);
        QCOMPARE(name.text(), QStringLiteral("Első"));
        table_->setCurrentRow(1);
        QCOMPARE(name.text(), QStringLiteral("Második"));
        table_->edit();
        name.setFocus();
        name.selectAll();
        QTest::keyClicks(&name, QStringLiteral("Harmadik'"));
        QCOMPARE(table_->text(QStringLiteral("Intnev")), QStringLiteral("Harmadik'"));
        QCOMPARE(storedName(QStringLiteral("22222222")), QStringLiteral("Második"));
        table_->cancel();
        QCOMPARE(name.text(), QStringLiteral("Második"));
        table_->setText(QStringLiteral("Intnev"), QStringLiteral("Kívülről"));
        QCOMPARE(name.text(), QStringLiteral("Kívülről"));
    }

    void typedTextTheColumnCannotHoldStaysInTheBox() {
        db::BoundLineEdit year(*table_, QStringLiteral("Adatszolgev"));
        table_->edit();
        year.clear();
        QTest::keyClicks(&year, QStringLiteral("+20"));
        QCOMPARE(year.text(), QStringLiteral("+20"));
        QCOMPARE(table_->text(QStringLiteral("Adatszolgev")), QStringLiteral("20"));
        QTest::keyClicks(&year, QStringLiteral("-"));
        QCOMPARE(year.text(), QStringLiteral("+20-"));
        QCOMPARE(table_->text(QStringLiteral("Adatszolgev")), QStringLiteral("20"));
        QVERIFY_THROWS_EXCEPTION(platform::Failure, year.updateRecord());
        QTest::keyClick(&year, Qt::Key_Backspace);
        year.updateRecord();
        QCOMPARE(table_->text(QStringLiteral("Adatszolgev")), QStringLiteral("20"));
    }

    void lookupComboShowsTheCodeRowAndStoresItsKey() {
        db::Table quarters;
        quarters.open(QStringLiteral("Torzs_Negyedev"));
        db::BoundLookupComboBox quarter(*table_, QStringLiteral("Adatszolgnegyedev"), quarters,
                                        QStringLiteral("ID"), QStringLiteral("NevStr"));
        QCOMPARE(quarter.count(), quarters.rowCount());
        QCOMPARE(quarter.currentText(), QStringLiteral("IV. negyedév"));
        QCOMPARE(quarter.key(), QStringLiteral("4"));
        table_->setText(QStringLiteral("Adatszolgnegyedev"), QStringLiteral("9"));
        QCOMPARE(quarter.currentText(), QString());
        QCOMPARE(quarter.key(), QString());
        quarter.setCurrentIndex(quarter.findData(QStringLiteral("2")));
        Q_EMIT quarter.activated(quarter.currentIndex());
        QCOMPARE(table_->text(QStringLiteral("Adatszolgnegyedev")), QStringLiteral("2"));
    }

    void gridFollowsAndMovesTheCurrentRow() {
        db::BoundGrid grid(*table_, {QStringLiteral("Intnev"), QStringLiteral("Adosajat")});
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Intnev"));
        QCOMPARE(grid.model()->index(1, 0).data().toString(), QStringLiteral("Második"));
        QCOMPARE(grid.currentIndex().row(), 0);
        grid.setCurrentIndex(grid.model()->index(1, 0));
        QCOMPARE(table_->currentRow(), 1);
        table_->setCurrentRow(0);
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);

        // A new row shows at once, and the grid following it does not store it.
        table_->append();
        QCOMPARE(grid.model()->rowCount(), 3);
        QCOMPARE(grid.currentIndex().row(), 2);
        QCOMPARE(table_->mode(), db::Table::Mode::Insert);
        QCOMPARE(grid.model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("*"));
        table_->setText(QStringLiteral("Intnev"), QStringLiteral("Új"));
        QCOMPARE(grid.model()->index(2, 0).data().toString(), QStringLiteral("Új"));
        table_->cancel();
        QCOMPARE(grid.model()->rowCount(), 2);
    }

private:
    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<db::Table> table_;
};

QTEST_MAIN(TestDbWidgets)
#include "test_dbwidgets.moc"
