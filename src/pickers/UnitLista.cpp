#include "UnitLista.h"

#include "platform/failure.h"
#include "platform/guide.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>

namespace {

constexpr int kListHeight = 277;
constexpr int kButtonTop = 288;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;
constexpr int kMaxWindowWidth = 800;
// The window is as wide as the list plus its borders.
constexpr int kBorders = 8;

// The model's columns: the line shown, the key written back, the name the lines are ordered by.
enum ListColumn { Shown, Key, Name };

// A list in which typing the first letters of a name (or of the shown line) moves to it.
class NameSearchList : public QListView {
public:
    using QListView::QListView;

    void keyboardSearch(const QString& search) override {
        if (search.isEmpty() || !model())
            return;
        if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > QApplication::keyboardInputInterval())
            typed_.clear();
        sinceTyped_.start();
        typed_ += search;
        for (int row = 0; row < model()->rowCount(); ++row) {
            const QModelIndex line = model()->index(row, Shown);
            if (line.data().toString().startsWith(typed_, Qt::CaseInsensitive) ||
                line.siblingAtColumn(Name).data().toString().startsWith(typed_,
                                                                        Qt::CaseInsensitive)) {
                setCurrentIndex(line);
                return;
            }
        }
    }

private:
    QString typed_;
    QElapsedTimer sinceTyped_;
};

}  // namespace

TFormLista::TFormLista(QWidget* parent)
    : QDialog(parent),
      DBLookupListBox_list(new NameSearchList(this)),
      Button_mehet(new QPushButton(QStringLiteral("Mehet"), this)) {
    setObjectName(QStringLiteral("TFormLista"));
    platform::addGuideKey(this, QStringLiteral("listavalaszto"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(kMaxWindowWidth, 370);
    move(0, 0);

    DBLookupListBox_list->setObjectName(QStringLiteral("DBLookupListBox_list"));
    DBLookupListBox_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBLookupListBox_list->setSelectionMode(QAbstractItemView::SingleSelection);
    DBLookupListBox_list->setGeometry(0, 0, kMaxWindowWidth, kListHeight);

    Button_mehet->setObjectName(QStringLiteral("Button_mehet"));
    Button_mehet->setGeometry(0, kButtonTop, kButtonWidth, kButtonHeight);
    // Enter in the list chooses the line, as the button does.
    Button_mehet->setDefault(true);

    connect(Button_mehet, &QPushButton::clicked, this,
            [this] { platform::runCommand([this] { Button_mehetClick(); }); });
    connect(DBLookupListBox_list, &QListView::doubleClicked, this,
            [this] { platform::runCommand([this] { Button_mehetClick(); }); });
}

void TFormLista::LoadList(const QString& table, const QString& caption, int width,
                          const PickerTarget& target) {
    setWindowTitle(caption);
    target_ = target;
    ADOTable_list.open(table);
    ADOTable_list.setSort(QStringLiteral("nev"));
    DataSource_list = std::make_unique<db::TableModel>(
        ADOTable_list,
        QStringList{QStringLiteral("nevstr"), QStringLiteral("id"), QStringLiteral("nev")});
    DBLookupListBox_list->setModel(DataSource_list.get());
    DBLookupListBox_list->resize(width, kListHeight);
    const int windowWidth = std::min(width + kBorders, kMaxWindowWidth);
    resize(windowWidth, height());
    Button_mehet->move((windowWidth - kButtonWidth) / 2, kButtonTop);
}

void TFormLista::Button_mehetClick() {
    const auto selected = DBLookupListBox_list->selectionModel()
                              ? DBLookupListBox_list->selectionModel()->selectedIndexes()
                              : QModelIndexList();
    const QString id =
        selected.isEmpty() ? QString() : selected.first().siblingAtColumn(Key).data().toString();
    target_.table->setText(target_.column, id);
    accept();
}
