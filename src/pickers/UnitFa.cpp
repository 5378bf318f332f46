#include "UnitFa.h"

#include "db/table.h"
#include "platform/failure.h"
#include "platform/guide.h"
#include "platform/message_box.h"

#include <QPushButton>
#include <QTreeWidget>

namespace {

QString chainTable(const QString& element) {
    return db::quoteName(QStringLiteral("torzs_") + element);
}

int depthOf(const QTreeWidgetItem* node) {
    int depth = 0;
    for (; node->parent(); node = node->parent())
        ++depth;
    return depth;
}

}  // namespace

TFormFa::TFormFa(QWidget* parent)
    : QDialog(parent),
      TreeView_cont(new QTreeWidget(this)),
      Button_mehet(new QPushButton(QStringLiteral("Mehet"), this)) {
    setObjectName(QStringLiteral("TFormFa"));
    platform::addGuideKey(this, QStringLiteral("favalaszto"));
    setWindowTitle(QStringLiteral("Fa"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(482, 334);
    move(0, 0);

    TreeView_cont->setObjectName(QStringLiteral("TreeView_cont"));
    TreeView_cont->setGeometry(0, 0, 473, 257);
    TreeView_cont->setIndentation(19);
    TreeView_cont->setHeaderHidden(true);
    TreeView_cont->setColumnCount(1);

    Button_mehet->setObjectName(QStringLiteral("Button_mehet"));
    Button_mehet->setGeometry(204, 272, 74, 25);
    Button_mehet->setDefault(true);

    connect(Button_mehet, &QPushButton::clicked, this,
            [this] { platform::runCommand([this] { Button_mehetClick(); }); });
    connect(TreeView_cont, &QTreeWidget::itemDoubleClicked, this,
            [this] { platform::runCommand([this] { Button_mehetClick(); }); });
}

void TFormFa::BuildTree(const QStringList& tables, const PickerTarget& target,
                        const QString& rootText) {
    if (tables.isEmpty() || tables.size() > kMaxLevels)
        throw platform::Failure(QStringLiteral("A tree has one to %1 levels, not %2")
                                    .arg(kMaxLevels)
                                    .arg(tables.size()));
    rootText_ = rootText;
    target_ = target;
    leafTable_ = tables.last();
    TreeView_cont->clear();
    auto* root = new QTreeWidgetItem(TreeView_cont, {rootText_});
    TreeView_cont->setCurrentItem(root);
    AddTreeLevel(tables, QString(), 1);
    root->setExpanded(true);
    TreeView_cont->scrollToItem(root);
}

void TFormFa::AddTreeLevel(const QStringList& tables, const QString& prefix, int level) {
    db::Query& query = QueryOfLevel(level);
    const QString table = chainTable(tables.at(level - 1));
    if (prefix.isEmpty())
        query.run(QStringLiteral("select * from %1 order by id").arg(table));
    else
        query.run(QStringLiteral("select * from %1 where id like ? order by id").arg(table),
                  {prefix + u'%'});
    for (; !query.eof(); query.next()) {
        const QString id = query.text(QStringLiteral("ID"));
        const QString name = query.text(QStringLiteral("nev"));
        auto* node = new QTreeWidgetItem(TreeView_cont->currentItem(), {name});
        TreeView_cont->setCurrentItem(node);
        const int depth = depthOf(node);
        if (depth < tables.size())
            AddTreeLevel(tables, id, depth + 1);
        TreeView_cont->setCurrentItem(node->parent());
        node->setExpanded(false);
    }
    query.close();
}

db::Query& TFormFa::QueryOfLevel(int level) {
    switch (level) {
        case 1:
            return ADOQuery1;
        case 2:
            return ADOQuery2;
        case 3:
            return ADOQuery3;
        default:
            return ADOQuery4;
    }
}

void TFormFa::Button_mehetClick() {
    const QTreeWidgetItem* node = TreeView_cont->currentItem();
    db::Query& query = ADOQuery1;
    query.run(QStringLiteral("select id from %1 where nev = ?").arg(chainTable(leafTable_)),
              {node ? node->text(0) : QString()});
    if (query.rowCount() == 0) {
        query.close();
        platform::showMessage(QStringLiteral("Csak levélelem választható!!"));
        return;
    }
    target_.table->setText(target_.column, query.text(QStringLiteral("id")));
    query.close();
    accept();
}
