#include "db/query.h"
#include "db/table.h"
#include "pickers/UnitFa.h"
#include "platform/failure.h"
#include "support/scripted_messages.h"
#include "target_record.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using platform::MessageKind;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

namespace {

const QStringList kSectorChain = {QStringLiteral("AH_AG"), QStringLiteral("AH_AGAZAT"),
                                  QStringLiteral("AH_SZAKAGAZAT")};

struct Code {
    QString id;
    QString name;
};

QList<Code> codes(const QString& table) {
    QList<Code> rows;
    for (db::Query query(QStringLiteral("select id, nev from ") + db::quoteName(table) +
                         QStringLiteral(" order by id"));
         !query.eof(); query.next())
        rows.append({query.text(0), query.text(1)});
    return rows;
}

// The expected subtree of one code: the rows of the next table whose id begins with it.
void compareChildren(const QTreeWidgetItem* node, const QString& prefix,
                     const QList<QList<Code>>& levels, int level) {
    QList<Code> children;
    if (level < levels.size()) {
        for (const auto& code : levels.at(level)) {
            if (code.id.startsWith(prefix))
                children.append(code);
        }
    }
    QCOMPARE(node->childCount(), children.size());
    for (int i = 0; i < children.size(); ++i) {
        const QTreeWidgetItem* child = node->child(i);
        QCOMPARE(child->text(0), children.at(i).name);
        QVERIFY2(!child->isExpanded(), qPrintable(child->text(0)));
        compareChildren(child, children.at(i).id, levels, level + 1);
    }
}

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// A double-click as the window system delivers it: press, release, double-click, release.
void doubleClickAt(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

}  // namespace

class TestUnitFa : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        record_ = std::make_unique<TargetRecord>(QStringLiteral("Intag"), QStringLiteral("9999"));
    }

    void cleanup() { record_.reset(); }

    void constructedWithoutADatabase() {
        record_.reset();
        TFormFa picker;
        QCOMPARE(picker.windowTitle(), QStringLiteral("Fa"));
        picker.layout()->activate();
        QCOMPARE(picker.size(), QSize(482, 334));
        QVERIFY(picker.Edit_kereses->geometry().bottom() < picker.TreeView_cont->y());
        QCOMPARE(picker.TreeView_cont->indentation(), 19);
        QCOMPARE(picker.Button_mehet->geometry(), QRect(204, 334 - 8 - 25, 74, 25));
        QCOMPARE(picker.Button_mehet->text(), QStringLiteral("Mehet"));
    }

    void sectorTreeFollowsTheCodeTables() {
        // A group whose id begins with no division id stays out of the tree.
        db::execute(QStringLiteral("insert into torzs_AH_AGAZAT values ('999', 'Árva ágazat')"));
        TFormFa picker;
        picker.BuildTree(kSectorChain, target(), QStringLiteral("Szakágazat"));
        QTreeWidget* tree = picker.TreeView_cont;
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Szakágazat"));
        QVERIFY(root->isExpanded());
        QCOMPARE(tree->currentItem(), root);
        const QList<QList<Code>> levels = {codes(QStringLiteral("torzs_AH_AG")),
                                           codes(QStringLiteral("torzs_AH_AGAZAT")),
                                           codes(QStringLiteral("torzs_AH_SZAKAGAZAT"))};
        QVERIFY(levels.at(0).size() > 1);
        compareChildren(root, QString(), levels, 0);
        QCOMPARE(findNode(tree, QStringLiteral("Árva ágazat")), nullptr);

        // A fixed corner of the shipped tree: the health division with its groups in id order.
        QTreeWidgetItem* health = findNode(tree, QStringLiteral("Egészségügyi, szociális ellátás"));
        QVERIFY(health);
        QCOMPARE(health->parent(), root);
        QCOMPARE(health->child(0)->text(0), QStringLiteral("Humán-egészségügyi ellátás"));
        QCOMPARE(health->child(0)->child(1)->text(0), QStringLiteral("Járóbeteg-ellátás"));
    }

    void choosing_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("id");  // empty: refused
        QTest::newRow("leaf") << QStringLiteral("Járóbeteg-ellátás") << false
                              << QStringLiteral("8512");
        QTest::newRow("leaf, double-click")
            << QStringLiteral("Fogorvosi ellátás") << true << QStringLiteral("8513");
        QTest::newRow("root") << QStringLiteral("Szakágazat") << false << QString();
        QTest::newRow("division") << QStringLiteral("Egészségügyi, szociális ellátás") << false
                                  << QString();
        QTest::newRow("group, double-click")
            << QStringLiteral("Humán-egészségügyi ellátás") << true << QString();
        QTest::newRow("group named like its leaf")
            << QStringLiteral("Kötelező társadalombiztosítás") << false << QStringLiteral("7530");
        QTest::newRow("leaf with an apostrophe")
            << QStringLiteral("Gyermekek' napközbeni ellátása") << false << QStringLiteral("8533");
    }

    void choosing() {
        QFETCH(QString, node);
        QFETCH(bool, doubleClick);
        QFETCH(QString, id);
        db::execute(QStringLiteral("insert into torzs_AH_SZAKAGAZAT values ('8533', ?)"),
                    {QStringLiteral("Gyermekek' napközbeni ellátása")});
        ScriptedMessages messages;
        TFormFa picker;
        picker.BuildTree(kSectorChain, target(), QStringLiteral("Szakágazat"));
        picker.show();
        QTreeWidgetItem* item = findNode(picker.TreeView_cont, node);
        QVERIFY(item);
        picker.TreeView_cont->setCurrentItem(item);
        if (doubleClick) {
            for (auto* parent = item->parent(); parent; parent = parent->parent())
                parent->setExpanded(true);
            picker.TreeView_cont->scrollToItem(item);
            const QRect line = picker.TreeView_cont->visualItemRect(item);
            doubleClickAt(picker.TreeView_cont->viewport(), line.center());
        } else {
            QTest::mouseClick(picker.Button_mehet, Qt::LeftButton);
        }
        if (id.isEmpty()) {
            QCOMPARE(messages.take(),
                     (QList<ShownBox>{{MessageKind::Plain,
                                       QStringLiteral("Csak levélelem választható!!"),
                                       {platform::Button::Ok}}}));
            QVERIFY(picker.isVisible());
            QCOMPARE(picker.TreeView_cont->currentItem(), item);
            QCOMPARE(record_->value(), QStringLiteral("9999"));
        } else {
            QVERIFY(messages.take().isEmpty());
            QVERIFY(!picker.isVisible());
            QCOMPARE(picker.result(), int(QDialog::Accepted));
            QCOMPARE(record_->value(), id);
        }
    }

    void searchingAndEnterChoose_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("id");
        QTest::newRow("code") << QStringLiteral("8512") << QStringLiteral("Járóbeteg-ellátás")
                              << QStringLiteral("8512");
        QTest::newRow("inside a name")
            << QStringLiteral("FOGORV") << QStringLiteral("Fogorvosi ellátás")
            << QStringLiteral("8513");
    }

    void searchingAndEnterChoose() {
        QFETCH(QString, typed);
        QFETCH(QString, node);
        QFETCH(QString, id);
        TFormFa picker;
        picker.BuildTree(kSectorChain, target(), QStringLiteral("Szakágazat"));
        picker.show();
        QTest::keyClicks(picker.Edit_kereses, typed);
        QTreeWidgetItem* found = picker.TreeView_cont->currentItem();
        QCOMPARE(found->text(0), node);
        QVERIFY(found->parent()->isExpanded());
        // Only the found node and those above it stay in sight.
        QSet<const QTreeWidgetItem*> path;
        for (const QTreeWidgetItem* above = found; above; above = above->parent())
            path.insert(above);
        for (const auto* other : picker.TreeView_cont->findItems(
                 QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive))
            QCOMPARE(other->isHidden(), !path.contains(other));
        QTest::keyClick(picker.Edit_kereses, Qt::Key_Return);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(record_->value(), id);
    }

    void closeBoxWritesNothing() {
        TFormFa picker;
        picker.BuildTree(kSectorChain, target(), QStringLiteral("Szakágazat"));
        QTimer::singleShot(0, &picker, [&] {
            picker.TreeView_cont->setCurrentItem(
                findNode(picker.TreeView_cont, QStringLiteral("Járóbeteg-ellátás")));
            picker.close();
        });
        QCOMPARE(picker.exec(), int(QDialog::Rejected));
        QCOMPARE(record_->value(), QStringLiteral("9999"));
    }

    void oneLevelChain() {
        TFormFa picker;
        picker.BuildTree({QStringLiteral("AH_SZAKAGAZAT")}, target(), QStringLiteral("Fa"));
        const QTreeWidgetItem* root = picker.TreeView_cont->topLevelItem(0);
        QCOMPARE(root->childCount(), codes(QStringLiteral("torzs_AH_SZAKAGAZAT")).size());
        QCOMPARE(root->child(0)->childCount(), 0);
    }

    void missingTableFails() {
        TFormFa picker;
        QVERIFY_THROWS_EXCEPTION(
            platform::Failure, picker.BuildTree({QStringLiteral("AH_AG"), QStringLiteral("NINCS")},
                                                target(), QStringLiteral("Szakágazat")));
    }

private:
    PickerTarget target() { return record_->target(); }

    std::unique_ptr<TargetRecord> record_;
};

QTEST_MAIN(TestUnitFa)
#include "test_unit_fa.moc"
