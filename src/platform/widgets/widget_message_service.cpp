#include "widget_message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

QString titleOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QStringLiteral("Warning");
        case MessageKind::Confirmation:
            return QStringLiteral("Confirm");
        case MessageKind::Plain:
        case MessageKind::Error:
            break;
    }
    return QString::fromUtf16(kApplicationTitle);
}

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

// Tells a close from the title bar apart from a click, which QMessageBox reports as its escape
// button.
class Box : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedFromTitleBar = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (clickedButton() == nullptr)
            closedFromTitleBar = true;
        QMessageBox::closeEvent(event);
    }
};

}  // namespace

Button WidgetMessageService::show(MessageKind kind, const QString& text, const Buttons& buttons) {
    return showWithDefault(kind, text, buttons, Button::None);
}

Button WidgetMessageService::showWithDefault(MessageKind kind, const QString& text,
                                             const Buttons& buttons, Button defaultButton) {
    Box box(iconOf(kind), titleOf(kind), text, QMessageBox::NoButton, QApplication::activeWindow());
    // Buttons are added as action roles so that Qt keeps the order in which they are added.
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    const bool ownQuestion = offers(buttons, Button::Cancel);
    if (offers(buttons, Button::Yes))
        yes = box.addButton(ownQuestion ? QStringLiteral("&Igen") : QStringLiteral("&Yes"),
                            QMessageBox::ActionRole);
    if (offers(buttons, Button::No))
        no = box.addButton(ownQuestion ? QStringLiteral("&Nem") : QStringLiteral("&No"),
                           QMessageBox::ActionRole);
    if (offers(buttons, Button::Ok) || (!yes && !no && !ownQuestion))
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::ActionRole);
    if (ownQuestion)
        cancel = box.addButton(QStringLiteral("Mégse"), QMessageBox::ActionRole);
    box.setDefaultButton(defaultButton == Button::No && no ? no : ok ? ok : yes);
    // Esc answers No where there is one (Cancel where that is offered); a box without either
    // can only be closed by its buttons or by the title bar.
    box.setEscapeButton(cancel ? cancel : no);
    box.exec();
    auto* clicked = box.clickedButton();
    if (clicked == nullptr || box.closedFromTitleBar)
        return Button::None;
    if (clicked == yes)
        return Button::Yes;
    if (clicked == no)
        return Button::No;
    if (clicked == ok)
        return Button::Ok;
    if (clicked == cancel)
        return Button::Cancel;
    return Button::None;
}

}  // namespace platform
