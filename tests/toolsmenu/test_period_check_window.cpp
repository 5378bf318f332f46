// The period check from the main menu.

#include "app/UnitFo.h"
#include "period_fixture.h"
#include "support/program_folder.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using testsupport::ProgramFolder;
using namespace periodfixture;

class TestPeriodCheckWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // From the main menu: the newest quarter with records is offered, the chosen quarter's problems
    // listed and saved.
    void checkFromTheWindow() {
        ProgramFolder folder;
        insertFixture();
        TFormFo main;
        QStringList shown;
        QString result;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TFormEllenorzes*>(QApplication::activeModalWidget());
            QVERIFY(window);
            QCOMPARE(window->ComboBox_ev->currentText(), u"2007"_qs);
            QCOMPARE(window->ComboBox_negyedev->currentText(), u"3"_qs);  // the newest with records
            QVERIFY(window->ListBox_problemak->wordWrap());
            QTest::mouseClick(window->Button_ellenorzes, Qt::LeftButton);
            for (int row = 0; row < window->ListBox_problemak->count(); ++row)
                shown.append(window->ListBox_problemak->item(row)->text());
            result = window->Label_eredmeny->text();
            QTest::mouseClick(window->Button_kilepes, Qt::LeftButton);
        });
        main.TMenuItem_Ellenorzes->trigger();
        QCOMPARE(shown, kProblems);
        QCOMPARE(result, u"14 probléma. A lista: Listak/2007_3_ellenorzes.txt"_qs);
        QCOMPARE(testsupport::readFile(QStringLiteral("Listak/2007_3_ellenorzes.txt")),
                 listFile(kProblems));
    }
};

QTEST_MAIN(TestPeriodCheckWindow)
#include "test_period_check_window.moc"
