#include "editor_window.h"

#include "bound_line_edit.h"
#include "checks/check_methods.h"
#include "checks/widgets/panel.h"
#include "db/table.h"
#include "platform/message_box.h"
#include "platform/widgets/window_placement.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>

#include <algorithm>

namespace db {

EditorWindow::EditorWindow(const QString& objectName, const QString& caption, QSize client,
                           QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    client_ = client;
    resize(client);
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    // Esc closes the window the way its close box does, asking first about an unstored row.
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void EditorWindow::askToStoreOnClose(Table& table, std::function<void()> store) {
    askedTable_ = &table;
    store_ = std::move(store);
}

bool EditorWindow::rowHasUnstoredInput() const {
    if (askedTable_ == nullptr || !askedTable_->isEditing())
        return false;
    if (askedTable_->hasUnstoredChanges())
        return true;
    // A number box keeps a typed text that is not a number yet out of the row.
    const auto boxes = findChildren<BoundLineEdit*>();
    return std::any_of(boxes.begin(), boxes.end(), [this](const BoundLineEdit* box) {
        return &box->table() == askedTable_ && box->isModified();
    });
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    using platform::Button;
    if (!rowHasUnstoredInput())
        return QDialog::closeEvent(event);
    const Button answer = platform::showConfirmation(
        QStringLiteral("A szerkesztett sor még nincs tárolva. Tárolja kilépés előtt?"),
        {Button::Yes, Button::No, Button::Cancel});
    if (answer == Button::Yes)
        platform::runCommand(store_);
    else if (answer == Button::No)
        askedTable_->cancel();
    // Mégse, the question's close box, a check or a store that failed: the window stays.
    if (askedTable_->isEditing())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void EditorWindow::controlsMade(bool growable) {
    for (auto* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    page_ = platform::scrollWhenLarger(this, client_, growable);
    if (growable) {
        setWindowFlag(Qt::WindowMaximizeButtonHint);
        page_->installEventFilter(this);
    }
    platform::centreAtItsSize(this);
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_ && event->type() == QEvent::Resize)
        pageResized(page_->size() - client_);
    return QDialog::eventFilter(watched, event);
}

QPushButton* EditorWindow::commandButton(QWidget* panel, const char* name, const QString& caption,
                                         const QRect& place) {
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    QFont bold = font();
    bold.setBold(true);
    button->setFont(bold);
    button->setGeometry(place);
    return button;
}

void EditorWindow::deleteCurrentRow(Table& table, QWidget* gridPanel, QWidget* grid,
                                    const std::function<bool()>& refused) {
    using CheckMethods::SetPanelEnabled;
    if (table.isEmpty()) {
        platform::showWarning(QStringLiteral("Nincs rekord, így nem törölhet!!"));
        return;
    }
    SetPanelEnabled(gridPanel, false);
    const auto restoreGrid = qScopeGuard([&] {
        SetPanelEnabled(gridPanel, true);
        grid->setFocus();
    });
    if (refused && refused())
        return;
    if (platform::showConfirmation(QStringLiteral("Biztosan törölni akarja?"),
                                   {platform::Button::No, platform::Button::Ok}) ==
        platform::Button::Ok)
        table.remove();
}

}  // namespace db
