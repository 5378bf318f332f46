// Every window on a 1366x768 screen at 200 %: it lies wholly on the screen, each of its inputs
// and buttons has a name for the accessibility interface (its label or caption), the Tab key
// follows the screen, and every button and menu entry is reached from the keyboard.

#include "app/UnitAbout.h"
#include "app/UnitFo.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "overview/widgets/UnitAttekintes.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "purchase/widgets/UnitBeszerzesImport.h"
#include "support/program_folder.h"
#include "toolsmenu/widgets/UnitAtvetel.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"
#include "toolsmenu/widgets/UnitMentesek.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using MakeWindow = std::function<std::unique_ptr<QWidget>()>;

template <typename Window>
MakeWindow make() {
    return [] { return std::make_unique<Window>(); };
}

struct Window {
    const char* name;
    MakeWindow make;
    // A button the Tab key passes over whose work Esc does: it closes the window.
    const char* doneByEsc = nullptr;
};

const QList<Window>& windows() {
    static const QList<Window> all{{"main window", make<TFormFo>()},
                                   {"institution editor", make<TFormAszolgInt>()},
                                   {"purchase editor", make<TFormAdatlapBR>(), "Button_kilepes"},
                                   {"item import", make<TFormBeszerzesImport>()},
                                   {"period check", make<TFormEllenorzes>()},
                                   {"carry-forward", make<TFormAtvetel>()},
                                   {"backups", make<TFormMentesek>()},
                                   {"about box", make<TAboutBox>()},
                                   {"list picker", make<TFormLista>()},
                                   {"tree picker", make<TFormFa>()}};
    return all;
}

// The parts of a combo box, a list or a table are named and reached through it.
bool insideCompound(const QWidget* control) {
    for (const QWidget* holder = control->parentWidget(); holder; holder = holder->parentWidget())
        if (qobject_cast<const QComboBox*>(holder) ||
            qobject_cast<const QAbstractItemView*>(holder))
            return true;
    return false;
}

QRect placeIn(const QWidget& window, const QWidget* control) {
    return {control->mapTo(&window, QPoint()), control->size()};
}

// The controls the Tab key stops at, in its order, greyed-out ones too; not the scrolled client
// area that holds them.
QList<QWidget*> tabStops(QWidget& window) {
    QList<QWidget*> stops;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&window) && !insideCompound(w))
            stops.append(w);
    stops.removeIf([&stops](const QWidget* holder) {
        return std::any_of(stops.cbegin(), stops.cend(), [holder](const QWidget* w) {
            return w != holder && holder->isAncestorOf(w);
        });
    });
    return stops;
}

QWidget* panelOf(QWidget& window, QWidget* control) {
    for (QWidget* holder = control->parentWidget(); holder != &window;
         holder = holder->parentWidget())
        if (qobject_cast<QGroupBox*>(holder))
            return holder;
    return &window;
}

// On a lower row, or on the same row further right; a row is as high as the lower control.
bool readsAfter(const QRect& first, const QRect& next) {
    const int rowTolerance = std::min(first.height(), next.height()) / 2;
    if (std::abs(next.center().y() - first.center().y()) <= rowTolerance)
        return next.left() > first.left();
    return next.center().y() > first.center().y();
}

// A panel is left for good, for one below it or in a column to its right.
bool panelFollows(const QRect& first, const QRect& next) {
    constexpr int kGap = 4;
    return next.top() >= first.bottom() - kGap || next.left() >= first.right() - kGap;
}

// The steps of the Tab key that go against the screen, "from → to".
QStringList stepsAgainstTheScreen(QWidget& window, const QList<QWidget*>& stops) {
    QStringList against;
    QList<QWidget*> leftPanels;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget* from = panelOf(window, stops.at(i - 1));
        QWidget* to = panelOf(window, stops.at(i));
        const bool follows =
            from == to ? readsAfter(placeIn(window, stops.at(i - 1)), placeIn(window, stops.at(i)))
                       : !leftPanels.contains(to) &&
                             panelFollows(placeIn(window, from), placeIn(window, to));
        if (from != to)
            leftPanels.append(from);
        if (!follows)
            against.append(stops.at(i - 1)->objectName() + QStringLiteral(" → ") +
                           stops.at(i)->objectName());
    }
    return against;
}

bool hasKey(const QString& text, const QKeySequence& shortcut) {
    return !QKeySequence::mnemonic(text).isEmpty() || !shortcut.isEmpty();
}

// The buttons and menu entries without a mnemonic or a shortcut that the Tab key passes over.
QStringList unreachableCommands(const QWidget& window, const QList<QWidget*>& stops,
                                const QString& doneByEsc) {
    QStringList unreachable;
    for (auto* button : window.findChildren<QAbstractButton*>())
        if (button->isVisibleTo(&window) && !insideCompound(button) && !stops.contains(button) &&
            !hasKey(button->text(), button->shortcut()) && button->objectName() != doneByEsc)
            unreachable.append(button->objectName());
    QList<QWidget*> menus;
    for (auto* bar : window.findChildren<QMenuBar*>())
        menus.append(bar);
    for (auto* menu : window.findChildren<QMenu*>()) {
        // A menu marks its entries as it opens.
        menu->popup(QPoint());
        menu->hide();
        menus.append(menu);
    }
    for (const QWidget* menu : menus)
        for (const QAction* entry : menu->actions())
            if (!entry->isSeparator() && !hasKey(entry->text(), entry->shortcut()))
                unreachable.append(entry->text());
    return unreachable;
}

// The controls a user types into or presses that have no accessible name.
QStringList unnamedControls(const QWidget& window) {
    QStringList unnamed;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractButton*>(control) ||
                           qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                           qobject_cast<QAbstractItemView*>(control);
        if (!input || !control->isVisibleTo(&window) || insideCompound(control))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (accessible == nullptr || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(control->objectName());
    }
    return unnamed;
}

}  // namespace

class TestWindowsOnScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fitsNamesAndReachesItsControls_data() {
        QTest::addColumn<int>("window");
        for (int i = 0; i < windows().size(); ++i)
            QTest::newRow(windows().at(i).name) << i;
    }

    void fitsNamesAndReachesItsControls() {
        QFETCH(int, window);
        testsupport::ProgramFolder folder;
        const Window& made = windows().at(window);
        const std::unique_ptr<QWidget> shown = made.make();
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        const QRect room = shown->screen()->availableGeometry();
        QVERIFY2(room.contains(shown->frameGeometry()),
                 qPrintable(QStringLiteral("%1 x %2 at %3, %4")
                                .arg(shown->width())
                                .arg(shown->height())
                                .arg(shown->x())
                                .arg(shown->y())));
        QCOMPARE(unnamedControls(*shown).join(u','), QString());
        const QList<QWidget*> stops = tabStops(*shown);
        QCOMPARE(stepsAgainstTheScreen(*shown, stops).join(u','), QString());
        QCOMPARE(unreachableCommands(*shown, stops, QString::fromLatin1(made.doneByEsc)).join(u','),
                 QString());
        if (made.doneByEsc) {
            QTest::keyClick(shown.get(), Qt::Key_Escape);
            QVERIFY(!shown->isVisible());
        }
    }

    // The quarter's overview fits as well: what does not fit scrolls, its buttons stay in view.
    void overviewFits() {
        testsupport::ProgramFolder folder;
        TFormAttekintes shown(nullptr, [](auto, auto&) { return nullptr; });
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QVERIFY(shown.screen()->availableGeometry().contains(shown.frameGeometry()));
        for (const QWidget* button : {shown.Button_csv, shown.Button_png, shown.Button_kilepes})
            QVERIFY(shown.rect().contains(QRect(button->mapTo(&shown, QPoint()), button->size())));
    }
};

int main(int argc, char** argv) {
    // An offscreen screen of 1366 x 768 pixels, at twice the size: 683 x 384 for the windows.
    const QString config = QDir::temp().absoluteFilePath(QStringLiteral("vk_screen_1366x768.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": 1366, "height": 768}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    TestWindowsOnScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_windows_on_screen.moc"
