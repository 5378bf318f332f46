#include "UnitLista.h"

#include "platform/failure.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

namespace {

constexpr int kListHeight = 277;
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
      Edit_kereses(new QLineEdit(this)),
      DBLookupListBox_list(new NameSearchList(this)),
      Button_mehet(new QPushButton(QStringLiteral("Mehet"), this)),
      Filter_list(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("TFormLista"));
    platform::addGuideKey(this, QStringLiteral("listavalaszto"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    // Not moved: a dialog opens centred on its parent window.
    resize(kMaxWindowWidth, 370);
    platform::fitOnScreen(this);

    Edit_kereses->setObjectName(QStringLiteral("Edit_kereses"));
    Edit_kereses->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Keresés:"), this);
    searchLabel->setBuddy(Edit_kereses);
    connect(Edit_kereses, &QLineEdit::textChanged, this, &TFormLista::Edit_keresesChange);
    // Every column counts: the shown line, the code and the name.
    Filter_list->setFilterKeyColumn(-1);
    Filter_list->setFilterCaseSensitivity(Qt::CaseInsensitive);

    DBLookupListBox_list->setObjectName(QStringLiteral("DBLookupListBox_list"));
    DBLookupListBox_list->setAccessibleName(QStringLiteral("Lista"));
    DBLookupListBox_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBLookupListBox_list->setSelectionMode(QAbstractItemView::SingleSelection);
    DBLookupListBox_list->setMinimumHeight(kListHeight / 2);

    Button_mehet->setObjectName(QStringLiteral("Button_mehet"));
    Button_mehet->setFixedSize(kButtonWidth, kButtonHeight);
    // Enter in the list or the search box chooses the line, as the button does.
    Button_mehet->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorders / 2, kBorders / 2, kBorders / 2, kBorders);
    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel);
    search->addWidget(Edit_kereses, 1);
    layout->addLayout(search);
    layout->addWidget(DBLookupListBox_list, 1);
    layout->addWidget(Button_mehet, 0, Qt::AlignHCenter);

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
    Filter_list->setSourceModel(DataSource_list.get());
    DBLookupListBox_list->setModel(Filter_list);
    resize(std::min(width + kBorders, kMaxWindowWidth), height());
    platform::fitOnScreen(this);
}

void TFormLista::Edit_keresesChange(const QString& text) {
    Filter_list->setFilterFixedString(text.trimmed());
    DBLookupListBox_list->setCurrentIndex(Filter_list->index(0, Shown));
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
