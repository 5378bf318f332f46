#pragma once

#include "db/query.h"
#include "picker_target.h"

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The tree picker: a chain of code tables shown as a tree, each row under the row of the table
// above whose id begins its own; the user picks a leaf (a row of the last table) and its id goes
// into the caller's column. The search box above the tree shows only the nodes whose name or code
// holds the typed text, with the nodes above them opened, and what is below them.
class TFormFa : public QDialog {
    Q_OBJECT
public:
    // Builds the window only; nothing is read before BuildTree.
    explicit TFormFa(QWidget* parent = nullptr);

    // Fills the tree from one to four tables, from the top level down, each named without its
    // "torzs_" prefix. A missing table or column is a Failure and the picker must not be shown.
    void BuildTree(const QStringList& tables, const PickerTarget& target, const QString& rootText);
    // Adds the rows of the level-th table whose id begins with the prefix under the current node,
    // each with its own children from the tables below.
    void AddTreeLevel(const QStringList& tables, const QString& prefix, int level);

    QLineEdit* Edit_kereses;
    QTreeWidget* TreeView_cont;
    QPushButton* Button_mehet;

private:
    static constexpr int kMaxLevels = 4;

    // Writes the id of the leaf named by the current node and closes; refuses any other node.
    void Button_mehetClick();
    // Shows the nodes the search box's text finds and makes the first of them current.
    void Edit_keresesChange(const QString& text);

    // The cursor of one level of the tree, from 1; ADOQuery1 also serves the choice.
    db::Query& QueryOfLevel(int level);

    db::Query ADOQuery1;
    db::Query ADOQuery2;
    db::Query ADOQuery3;
    db::Query ADOQuery4;
    PickerTarget target_;
    QString leafTable_;
    QString rootText_;
};
