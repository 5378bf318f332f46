// Every window on a 1366x768 screen at 200 %: it lies wholly on the screen, and each of its inputs
// and buttons has a name for the accessibility interface (its label or caption).

#include "app/UnitAbout.h"
#include "app/UnitFo.h"
#include "institution/UnitAdatlapInt.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "purchase/UnitAdatlapBR.h"
#include "purchase/UnitBeszerzesImport.h"
#include "support/program_folder.h"
#include "tools/UnitAtvetel.h"
#include "tools/UnitEllenorzes.h"
#include "tools/UnitMentesek.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <functional>
#include <memory>

namespace {

using MakeWindow = std::function<std::unique_ptr<QWidget>()>;

template <typename Window>
MakeWindow make() {
    return [] { return std::make_unique<Window>(); };
}

const QList<std::pair<const char*, MakeWindow>>& windows() {
    static const QList<std::pair<const char*, MakeWindow>> all{
        {"main window", make<TFormFo>()},
        {"institution editor", make<TFormAszolgInt>()},
        {"purchase editor", make<TFormAdatlapBR>()},
        {"item import", make<TFormBeszerzesImport>()},
        {"period check", make<TFormEllenorzes>()},
        {"carry-forward", make<TFormAtvetel>()},
        {"backups", make<TFormMentesek>()},
        {"about box", make<TAboutBox>()},
        {"list picker", make<TFormLista>()},
        {"tree picker", make<TFormFa>()}};
    return all;
}

// The controls a user types into or presses that have no accessible name.
QStringList unnamedControls(const QWidget& window) {
    QStringList unnamed;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractButton*>(control) ||
                           qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                           qobject_cast<QAbstractItemView*>(control);
        // The parts of a combo box, a list or a table are named through it.
        const QWidget* holder = control->parentWidget();
        while (holder && !qobject_cast<const QComboBox*>(holder) &&
               !qobject_cast<const QAbstractItemView*>(holder))
            holder = holder->parentWidget();
        if (!input || !control->isVisibleTo(&window) || holder != nullptr)
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
    void fitsAndNamesItsControls_data() {
        QTest::addColumn<int>("window");
        for (int i = 0; i < windows().size(); ++i)
            QTest::newRow(windows().at(i).first) << i;
    }

    void fitsAndNamesItsControls() {
        QFETCH(int, window);
        testsupport::ProgramFolder folder;
        const std::unique_ptr<QWidget> shown = windows().at(window).second();
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
