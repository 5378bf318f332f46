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
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

namespace {

// An <img> of a picture 3000 pixels wide, inside the page as pandoc puts it.
QByteArray widePicture() {
    QImage image(3000, 200, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "<p><img src=\"data:image/png;base64," + png.toBase64() + "\"></p>";
}

// Desktop settings of the test's own, in one folder, in which text/html opens with one program
// (none when its entry is empty).
void registerHtmlProgram(const QTemporaryDir& desktop, const QByteArray& entry) {
    for (const char* variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
        qputenv(variable, QFile::encodeName(desktop.path()));
    QDir(desktop.path()).mkdir(QStringLiteral("applications"));
    testsupport::writeFile(desktop.filePath(QStringLiteral("mimeapps.list")),
                           "[Default Applications]\ntext/html=program.desktop;\n");
    testsupport::writeFile(desktop.filePath(QStringLiteral("applications/program.desktop")),
                           entry.isEmpty() ? QByteArray() : "[Desktop Entry]\n" + entry);
}

}  // namespace

class TestGuideKey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The button that hands the guide to a browser is there only where the desktop opens HTML in
    // a browser window; elsewhere the window says where the guide's file is.
    void browserOnlyWhereOneIsRegistered_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("offered");
        QTest::newRow("no entry for its program") << QByteArray() << false;
        QTest::newRow("text editor") << QByteArray("Categories=Utility;TextEditor;\n") << false;
        QTest::newRow("browser in a terminal")
            << QByteArray("Categories=WebBrowser;\nTerminal=true\n") << false;
        QTest::newRow("graphical browser")
            << QByteArray("Categories=Network;WebBrowser;\n") << true;
    }

    void browserOnlyWhereOneIsRegistered() {
        QFETCH(QByteArray, entry);
        QFETCH(bool, offered);
        QTemporaryDir desktop;
        registerHtmlProgram(desktop, entry);
        const QString guide = desktop.filePath(QStringLiteral("kezikonyv.html"));
        QVERIFY(testsupport::writeFile(guide, "<html><body><p>Kézikönyv</p></body></html>"));

        platform::GuideWindow window(QUrl::fromLocalFile(guide));
        window.show();

        QCOMPARE(window.Button_bongeszo->isVisible(), offered);
        QCOMPARE(window.Label_fajl->isVisible(), !offered);
        QVERIFY(window.Label_fajl->text().endsWith(guide));
    }

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
        // A long page with the section far down, and a picture wider than any window.
        const QByteArray filler = QByteArray("<p>Bevezetés</p>").repeated(300);
        QVERIFY(testsupport::writeFile(guide, "<html><body><h2 id=\"elso\">Első</h2>" + filler +
                                                  "<h2 id=\"" + section.toUtf8() + "\">Ablak</h2>" +
                                                  widePicture() + filler + "</body></html>"));

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
            // The picture is made as narrow as the view: nothing to scroll sideways.
            QCOMPARE(viewer->Browser->horizontalScrollBar()->maximum(), 0);
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
