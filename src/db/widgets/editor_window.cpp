#include "editor_window.h"

#include "checks/check_methods.h"
#include "db/table.h"
#include "platform/message_box.h"
#include "platform/window_placement.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>

namespace db {

EditorWindow::EditorWindow(const QString& objectName, const QString& caption, QSize client,
                           QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(client);
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel))
        return;
    QDialog::keyPressEvent(event);
}

void EditorWindow::controlsMade() {
    for (auto* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    platform::centreOnScreen(this);
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
