#include "db/query.h"
#include "db/table.h"
#include "pickers/UnitLista.h"
#include "platform/failure.h"
#include "target_record.h"

#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// A code table whose shown lines are not in the order of their names.
void createCodeTable() {
    db::execute(
        QStringLiteral("create table torzs_proba (id varchar(5), nev varchar(30), "
                       "nevstr varchar(80))"));
    const QList<QStringList> rows = {
        {QStringLiteral("30001"), QStringLiteral("Zalaegerszeg"), QStringLiteral("A Zalaegerszeg")},
        {QStringLiteral("10002"), QStringLiteral("Karcag"), QStringLiteral("Z Karcag")},
        {QStringLiteral("20003"), QStringLiteral("Baja"), QStringLiteral("M Baja")},
        {QStringLiteral("40004"), QStringLiteral("Kalocsa"), QStringLiteral("B Kalocsa")}};
    for (const auto& row : rows)
        db::execute(QStringLiteral("insert into torzs_proba values (?, ?, ?)"),
                    {row.at(0), row.at(1), row.at(2)});
}

QStringList shownLines(const QListView& list) {
    QStringList lines;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        lines.append(list.model()->index(row, list.modelColumn()).data().toString());
    return lines;
}

}  // namespace

class TestUnitLista : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        record_ = std::make_unique<TargetRecord>(QStringLiteral("Sz_telepuleskod"),
                                                 QStringLiteral("99999"));
        createCodeTable();
    }

    void cleanup() { record_.reset(); }

    void linesInTheOrderOfNames() {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("Település"), 200, target());
        QCOMPARE(picker.windowTitle(), QStringLiteral("Település"));
        QCOMPARE(shownLines(*picker.DBLookupListBox_list),
                 (QStringList{QStringLiteral("M Baja"), QStringLiteral("B Kalocsa"),
                              QStringLiteral("Z Karcag"), QStringLiteral("A Zalaegerszeg")}));
        QVERIFY(picker.DBLookupListBox_list->selectionModel()->selectedIndexes().isEmpty());
    }

    // Names in Hungarian order: accented vowels beside their plain forms, ö and ü after o and u,
    // cs, sz and zs after every other word of c, s and z.
    void hungarianOrderOfNames() {
        const QStringList ordered = {u"Ács"_s,    u"Cegléd"_s,  u"Czapfalva"_s, u"Csenger"_s,
                                     u"Érd"_s,    u"Ócsa"_s,    u"Ózd"_s,       u"Őriszentpéter"_s,
                                     u"Sumony"_s, u"Sülysáp"_s, u"Szeged"_s,    u"Újfehértó"_s,
                                     u"Üllő"_s,   u"Záhony"_s,  u"Zomba"_s,     u"Zugló"_s,
                                     u"Zsámbék"_s};
        db::execute(QStringLiteral("create table torzs_nevek (id text, nev text, nevstr text)"));
        // Stored in byte order, which puts every accented name last.
        QStringList stored = ordered;
        std::sort(stored.begin(), stored.end(),
                  [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
        for (const QString& name : stored)
            db::execute(QStringLiteral("insert into torzs_nevek values (?, ?, ?)"),
                        {name.left(3), name, name});
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_nevek"), QStringLiteral("Település"), 200, target());
        QCOMPARE(shownLines(*picker.DBLookupListBox_list), ordered);
    }

    void geometry_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("buttonLeft");
        QTest::newRow("settlements") << 200 << 208 << 54;
        QTest::newRow("groups") << 400 << 408 << 154;
        QTest::newRow("wide") << 700 << 708 << 304;
        // The test's screen is 800 pixels wide, less the window's borders.
        QTest::newRow("wider than the screen allows") << 1000 << 796 << 348;
    }

    void geometry() {
        QFETCH(int, width);
        QFETCH(int, windowWidth);
        QFETCH(int, buttonLeft);
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("x"), width, target());
        picker.layout()->activate();
        QCOMPARE(picker.width(), windowWidth);
        // The search box above, the list as wide as the window less its borders.
        QVERIFY(picker.Edit_kereses->geometry().bottom() < picker.DBLookupListBox_list->y());
        QCOMPARE(picker.DBLookupListBox_list->width(), windowWidth - 8);
        QCOMPARE(picker.Button_mehet->geometry(),
                 QRect(buttonLeft, picker.height() - 8 - 25, 100, 25));
    }

    void mehetWithoutSelectionEmptiesTheTarget() {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("x"), 200, target());
        picker.show();
        QTest::mouseClick(picker.Button_mehet, Qt::LeftButton);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(record_->value(), QString());
    }

    void doubleClickChoosesTheLine() {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("x"), 200, target());
        picker.show();
        QListView* list = picker.DBLookupListBox_list;
        const QRect line = list->visualRect(list->model()->index(2, 0));  // Z Karcag
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QVERIFY(!picker.isVisible());
        QCOMPARE(record_->value(), QStringLiteral("10002"));
    }

    void typingANameAndEnterChooseIt_data() {
        QTest::addColumn<bool>("inSearchBox");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("id");
        QTest::newRow("name") << false << QStringLiteral("kal") << QStringLiteral("40004");
        QTest::newRow("name, first of two")
            << false << QStringLiteral("Ka") << QStringLiteral("40004");
        QTest::newRow("shown line") << false << QStringLiteral("Z K") << QStringLiteral("10002");
        QTest::newRow("search: code") << true << QStringLiteral("2000") << QStringLiteral("20003");
        QTest::newRow("search: inside a name")
            << true << QStringLiteral("LOCS") << QStringLiteral("40004");
        QTest::newRow("search: first of two")
            << true << QStringLiteral("ka") << QStringLiteral("40004");
        QTest::newRow("search: shown line")
            << true << QStringLiteral("z k") << QStringLiteral("10002");
    }

    void typingANameAndEnterChooseIt() {
        QFETCH(bool, inSearchBox);
        QFETCH(QString, typed);
        QFETCH(QString, id);
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("x"), 200, target());
        bool done = false;
        QTimer::singleShot(0, &picker, [&] {
            QWidget* box = inSearchBox ? static_cast<QWidget*>(picker.Edit_kereses)
                                       : picker.DBLookupListBox_list;
            box->setFocus();
            QTest::keyClicks(box, typed);
            QTest::keyClick(box, Qt::Key_Return);
            done = true;
        });
        QCOMPARE(picker.exec(), int(QDialog::Accepted));
        QVERIFY(done);
        QCOMPARE(record_->value(), id);
    }

    void closeBoxWritesNothing() {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_proba"), QStringLiteral("x"), 200, target());
        QTimer::singleShot(0, &picker, [&] {
            picker.DBLookupListBox_list->setCurrentIndex(
                picker.DBLookupListBox_list->model()->index(0, 0));
            picker.close();
        });
        QCOMPARE(picker.exec(), int(QDialog::Rejected));
        QCOMPARE(record_->value(), QStringLiteral("99999"));
    }

    void shippedSettlementsLoad() {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_kshtelepules"), QStringLiteral("Település"), 200,
                        target());
        QCOMPARE(picker.DBLookupListBox_list->model()->rowCount(),
                 db::Query(QStringLiteral("select count(1) as db from Torzs_KSHTELEPULES"))
                     .text(QStringLiteral("db"))
                     .toInt());
    }

    void missingTableOrColumnFails_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("table");
        QTest::newRow("no table") << QString() << QStringLiteral("torzs_nincs");
        QTest::newRow("no nevstr") << QStringLiteral("create table torzs_a (id text, nev text)")
                                   << QStringLiteral("torzs_a");
        QTest::newRow("no nev") << QStringLiteral("create table torzs_b (id text, nevstr text)")
                                << QStringLiteral("torzs_b");
    }

    void missingTableOrColumnFails() {
        QFETCH(QString, statement);
        QFETCH(QString, table);
        if (!statement.isEmpty())
            db::execute(statement);
        TFormLista picker;
        QVERIFY_THROWS_EXCEPTION(platform::Failure,
                                 picker.LoadList(table, QStringLiteral("x"), 200, target()));
    }

private:
    PickerTarget target() { return record_->target(); }

    std::unique_ptr<TargetRecord> record_;
};

QTEST_MAIN(TestUnitLista)
#include "test_unit_lista.moc"
