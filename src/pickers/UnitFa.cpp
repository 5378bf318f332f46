#include "UnitFa.h"

#include "db/table.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString chainTable(const QString& element) {
    return db::quoteName(QStringLiteral("torzs_") + element);
}

// The column role that holds a node's code.
constexpr int kCodeRole = Qt::UserRole;

// Shows the node when it, a node above it or one below it is found, and opens it when one below
// is found. Returns whether it or one below it is found.
bool showFound(QTreeWidgetItem* node, const QString& text, bool aboveFound,
               QTreeWidgetItem*& firstFound) {
    const bool found = !text.isEmpty() && (node->text(0).contains(text, Qt::CaseInsensitive) ||
                                           node->data(0, kCodeRole).toString().startsWith(text));
    if (found && firstFound == nullptr)
        firstFound = node;
    bool belowFound = false;
    for (int i = 0; i < node->childCount(); ++i)
        belowFound |= showFound(node->child(i), text, aboveFound || found, firstFound);
    node->setHidden(!text.isEmpty() && !found && !belowFound && !aboveFound);
    if (!text.isEmpty())
        node->setExpanded(belowFound);
    return found || belowFound;
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
      Edit_kereses(new QLineEdit(this)),
      TreeView_cont(new QTreeWidget(this)),
      Button_mehet(new QPushButton(QStringLiteral("Mehet"), this)) {
    setObjectName(QStringLiteral("TFormFa"));
    platform::addGuideKey(this, QStringLiteral("favalaszto"));
    setWindowTitle(QStringLiteral("Fa"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    // Not moved: a dialog opens centred on its parent window.
    resize(482, 334);
    platform::fitOnScreen(this);

    Edit_kereses->setObjectName(QStringLiteral("Edit_kereses"));
    Edit_kereses->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Keresés:"), this);
    searchLabel->setBuddy(Edit_kereses);
    connect(Edit_kereses, &QLineEdit::textChanged, this, &TFormFa::Edit_keresesChange);

    TreeView_cont->setObjectName(QStringLiteral("TreeView_cont"));
    TreeView_cont->setAccessibleName(QStringLiteral("Fa"));
    TreeView_cont->setIndentation(19);
    TreeView_cont->setHeaderHidden(true);
    TreeView_cont->setColumnCount(1);

    Button_mehet->setObjectName(QStringLiteral("Button_mehet"));
    Button_mehet->setFixedSize(74, 25);
    // Enter in the tree or the search box chooses the node, as the button does.
    Button_mehet->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel);
    search->addWidget(Edit_kereses, 1);
    layout->addLayout(search);
    layout->addWidget(TreeView_cont, 1);
    layout->addWidget(Button_mehet, 0, Qt::AlignHCenter);

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
        node->setData(0, kCodeRole, id);
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

void TFormFa::Edit_keresesChange(const QString& text) {
    QTreeWidgetItem* firstFound = nullptr;
    for (int i = 0; i < TreeView_cont->topLevelItemCount(); ++i)
        showFound(TreeView_cont->topLevelItem(i), text.trimmed(), false, firstFound);
    if (firstFound != nullptr)
        TreeView_cont->setCurrentItem(firstFound);
}
