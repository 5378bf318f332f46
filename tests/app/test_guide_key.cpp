// F1 opens the user guide at the section of the window it is pressed in, through the program's
// URL opener; without a guide it says where it looked.

#include "app/UnitFo.h"
#include "institution/UnitAdatlapInt.h"
#include "platform/guide.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
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
        QVERIFY(testsupport::writeFile(guide, "<html></html>"));

        const std::unique_ptr<QWidget> window(create());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_F1);
        QUrl expected = QUrl::fromLocalFile(guide);
        expected.setFragment(section);
        QCOMPARE(opened, QList<QUrl>{expected});

        QVERIFY(QFile::remove(guide));
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
