// F1 opens the user guide in the program's own window at the section of the window it is pressed
// in, from where a button hands it to the browser; without a guide it says where it looked.

#include "app/UnitFo.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "overview/widgets/UnitAttekintes.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/guide_window.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class TestGuideKey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pressingF1_data() {
        QTest::addColumn<std::function<QWidget*()>>("create");
        QTest::addColumn<QString>("section");
        QTest::newRow("main window")
            << std::function<QWidget*()>([] { return new TFormFo; }) << u"foablak"_qs;
        QTest::newRow("institution editor")
            << std::function<QWidget*()>([] { return new TFormAszolgInt; })
            << u"intezmenyi-adatlap"_qs;
        QTest::newRow("purchase editor")
            << std::function<QWidget*()>([] { return new TFormAdatlapBR; })
            << u"beszerzesi-adatlap"_qs;
        QTest::newRow("quarter overview") << std::function<QWidget*()>([] {
            return new TFormAttekintes(nullptr, [](auto, auto&) { return nullptr; });
        }) << u"attekintes"_qs;
    }

    void pressingF1() {
        QFETCH(std::function<QWidget*()>, create);
        QFETCH(QString, section);
        testsupport::ProgramFolder folder;
        testsupport::ScriptedMessages messages;
        QList<QUrl> opened;
        const auto previous =
            platform::setUrlOpener([&opened](const QUrl& url) { return opened.append(url), true; });
        const QString guide =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kezikonyv.html"));
        // A long page with the section far down.
        const QByteArray filler = QByteArray("<p>Bevezetés</p>").repeated(300);
        QVERIFY(testsupport::writeFile(guide, "<html><body><h2 id=\"elso\">Első</h2>" + filler +
                                                  "<h2 id=\"" + section.toUtf8() + "\">Ablak</h2>" +
                                                  filler + "</body></html>"));

        const std::unique_ptr<QWidget> window(create());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QUrl expected = QUrl::fromLocalFile(guide);
        expected.setFragment(section);
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* viewer = qobject_cast<platform::GuideWindow*>(QApplication::activeModalWidget());
            QVERIFY(viewer);
            QCOMPARE(viewer->Browser->source(), expected);
            // The section's heading is at the top of the view.
            QVERIFY(viewer->Browser->verticalScrollBar()->value() > 0);
            QVERIFY(viewer->Browser->toPlainText().contains(u"Ablak"));
            viewer->Button_bongeszo->click();
            shown = true;
            viewer->Button_bezaras->click();
        });
        QTest::keyClick(window.get(), Qt::Key_F1);
        QVERIFY(shown);
        QCOMPARE(opened, QList<QUrl>{expected});

        QVERIFY(QFile::remove(guide));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_F1);
        QCOMPARE(opened.size(), 1);
        const QStringList told = messages.takeTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.front().startsWith(
                     QStringLiteral("A kézikönyv nem található. Keresve itt:\n") + guide),
                 qPrintable(told.front()));
        platform::setUrlOpener(previous);

        // The section is one of the guide's headings.
        const QByteArray source = testsupport::readFile(qEnvironmentVariable("VK_SOURCE_DIR") +
                                                        QStringLiteral("/docs/kezikonyv.md"));
        QVERIFY(source.contains("{#" + section.toUtf8() + "}"));
    }
};

QTEST_MAIN(TestGuideKey)
#include "test_guide_key.moc"
