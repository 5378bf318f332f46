#pragma once

#include "platform/failure.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace db {

class Table;

// The frame the editors share: a window of a client area laid out at fixed places, which scrolls
// when the window is made smaller than it (or the screen is), whose title bar has a minimise and
// a close box, in the form font. Enter presses no button. Closing it (the close box, Esc,
// Kilépés) with a new or changed row not yet stored asks whether to store it first.
class EditorWindow : public QDialog {
    Q_OBJECT
public:
    EditorWindow(const QString& objectName, const QString& caption, QSize client,
                 QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // The row of table that closing asks about, and the store command that "Igen" runs: it runs
    // the checks and leaves the row being edited, the window open, when one of them refuses it.
    void askToStoreOnClose(Table& table, std::function<void()> store);

    // Once the controls are made: none of the buttons is the default one; the client area goes
    // into a scroll area; the window is centred. A growable window may be made larger than its
    // client area (and maximised); pageResized then tells it how much larger its page is.
    void controlsMade(bool growable = false);
    virtual void pageResized(QSize /*extra*/) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

    // A slot that runs a handler of the window as a command: a failure ends it and reaches the
    // general error handler.
    template <typename Window>
    std::function<void()> command(void (Window::*handler)()) {
        return platform::commandSlot(static_cast<Window*>(this), handler);
    }

    // A button of a command panel, with a bold caption.
    QPushButton* commandButton(QWidget* panel, const char* name, const QString& caption,
                               const QRect& place);

    // Töröl: an empty table is refused with a warning. Otherwise the grid panel is greyed while
    // the user is asked, and only OK deletes the current row; the grid comes back with the focus
    // afterwards, also when the deletion fails. refused, when given, may stop the deletion before
    // the question, having told the user why.
    void deleteCurrentRow(Table& table, QWidget* gridPanel, QWidget* grid,
                          const std::function<bool()>& refused = {});

private:
    // A box of the row holds a typed text, or the row differs from its stored form.
    bool rowHasUnstoredInput() const;

    QSize client_;
    QWidget* page_ = nullptr;
    Table* askedTable_ = nullptr;
    std::function<void()> store_;
};

}  // namespace db
