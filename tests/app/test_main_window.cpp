#include "app/UnitAbout.h"
#include "app/UnitFo.h"
#include "app/caption_period.h"
#include "app/startup.h"
#include "db/connection.h"
#include "db/query.h"
#include "ftp_test_server.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "overview/quarter_steps.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/printer.h"
#include "support/printed_output.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/ftp_client.h"
#include "transmission/widgets/UnitKuldes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <functional>

using platform::Button;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;

namespace {

void insertItem(const QString& adosajat, int year, const QString& quarter) {
    db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                               "Tetelsorszam) values (?, ?, ?, 1)"),
                {adosajat, year, quarter});
}

// A data provider of 2007-3 with one purchase item.
void insertProvider() {
    db::execute(
        QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                       "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
    insertItem(QStringLiteral("12345676"), 2007, QStringLiteral("3"));
}

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const auto* action : actions)
        texts.append(action->text());
    return texts;
}

// The captions of the save menu as the user sees them after opening each level.
QStringList openedSaveMenu(TFormFo& window) {
    QStringList lines;
    Q_EMIT window.TMenuItem_Mentes->aboutToShow();
    for (auto* yearItem : window.TMenuItem_Mentes->actions()) {
        lines.append(yearItem->text());
        Q_EMIT yearItem->menu()->aboutToShow();
        for (auto* quarterItem : yearItem->menu()->actions())
            lines.append(QStringLiteral("  ") + quarterItem->text());
    }
    return lines;
}

// Calls act once the send window waits for the user, shown modally after its run.
void whenSendWindowWaits(const std::function<void(TFormKuldes&)>& act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* window = qobject_cast<TFormKuldes*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->Button_kilepes->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        act(*window);
    });
    poll->start(10);
}

// Runs the start-up on the database as it is and returns the error box texts and exit status.
QPair<QStringList, int> failedStartup() {
    db::closeConnection();
    ScriptedMessages boxes;
    const int status = app::runInCurrentFolder();
    return {boxes.takeTexts(), status};
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowAndMenu() {
        ProgramFolder folder;
        TFormFo window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Vélkor statisztika"));
        QCOMPARE(captions(window.menuBar()->actions()),
                 (QStringList{u"&Adatszolgáltató intézmény"_qs, u"&Beszerzés"_qs, u"&Mentés"_qs,
                              u"&Küldés"_qs, u"Kí&sérőjegyzék nyomtatása"_qs, u"K&ilépés"_qs,
                              u"Ab&out"_qs, u"&Eszközök"_qs}));
        Q_EMIT window.TMenuItem_Eszkozok->aboutToShow();
        QCOMPARE(
            captions(window.TMenuItem_Eszkozok->actions()),
            (QStringList{u"&Előző negyedév átvétele"_qs, u"&Beszerzések importálása"_qs,
                         u"&Negyedév ellenőrzése"_qs, u"B&iztonsági mentések"_qs,
                         u"Ne&gyedév áttekintése"_qs, u"Be&szerzési listák táblázatként (.xlsx)"_qs,
                         u"&Adatmappa megnyitása"_qs}));
        // No report is ready before the first save run.
        QVERIFY(!window.TMenuItem_Kuldes->menuAction()->isEnabled());
        QVERIFY(!window.TMenuItem_KisJegyz->isEnabled());
        QCOMPARE(captions(window.TMenuItem_Kuldes->actions()),
                 (QStringList{u"Küldés Interneten"_qs, u"Másolás Floppy-ra"_qs}));
        QVERIFY(window.ListBox1->isHidden());
        QVERIFY(window.Gauge1->isHidden());
        QVERIFY(window.Label1->isHidden());
        QCOMPARE(window.ListBox1->font().family(), QStringLiteral("Courier New"));
        window.show();
        QTRY_COMPARE(window.centralWidget()->size(), QSize(704, 98));
        QVERIFY(window.TMenuItem_Mentes->actions().isEmpty());
    }

    void saveMenuFollowsPurchaseItems() {
        ProgramFolder folder;
        insertItem(QStringLiteral("12345676"), 2008, QStringLiteral("2"));
        insertItem(QStringLiteral("12345676"), 2007, QStringLiteral("3"));
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("1"));
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("3"));
        TFormFo window;
        const QStringList expected{u"&Mentés 2007"_qs, u"  &Mentés 2007-1"_qs,
                                   u"  M&entés 2007-3"_qs, u"M&entés 2008"_qs,
                                   u"  &Mentés 2008-2"_qs};
        QCOMPARE(openedSaveMenu(window), expected);

        // The period is read back by position, counting the marker.
        QStringList periods;
        for (auto* yearItem : window.TMenuItem_Mentes->actions()) {
            for (auto* quarterItem : yearItem->menu()->actions()) {
                const auto period = app::periodOfCaption(quarterItem->text());
                periods.append(period.year + u'/' + period.quarter);
            }
        }
        QCOMPARE(periods, (QStringList{u"2007/1"_qs, u"2007/3"_qs, u"2008/2"_qs}));

        db::execute(QStringLiteral("delete from AdatlapBR where beszerzev = 2008"));
        window.CreateSaveMenu();
        QCOMPARE(openedSaveMenu(window),
                 (QStringList{u"&Mentés 2007"_qs, u"  &Mentés 2007-1"_qs, u"  M&entés 2007-3"_qs}));
    }

    void quarterItemRunsTheSaveRun() {
        ProgramFolder folder;
        insertProvider();
        TFormFo window;
        window.show();
        openedSaveMenu(window);
        QAction* quarterItem =
            window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0);
        QCOMPARE(quarterItem->text(), QStringLiteral("&Mentés 2007-3"));
        quarterItem->trigger();
        QVERIFY(QFile::exists(folder.file(QStringLiteral("text/2007_3_12345676_BI.txt"))));
        QVERIFY(QFile::exists(folder.file(QStringLiteral("kuldes/temp/2007_3_12345676_KJ.txt"))));
        // The new captions keep their accelerators, and the send run reads the period back.
        QCOMPARE(window.TMenuItem_Kuldes->menuAction()->text(), QStringLiteral("&Küldés 2007 - 3"));
        QVERIFY(window.TMenuItem_Kuldes->menuAction()->isEnabled());
        QCOMPARE(window.TMenuItem_KisJegyz->text(),
                 QStringLiteral("Kí&sérőjegyzék nyomtatása 2007 - 3"));
        QVERIFY(window.TMenuItem_KisJegyz->isEnabled());
        const app::Period period =
            app::periodOfCaption(window.TMenuItem_Kuldes->menuAction()->text());
        QCOMPARE(period.year + u'/' + period.quarter, QStringLiteral("2007/3"));
        QVERIFY(window.ListBox1->isVisible());
        QVERIFY(window.Label1->geometry().bottom() < window.centralWidget()->height());

        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_K, Qt::AltModifier);
        QTRY_VERIFY(window.TMenuItem_Kuldes->isVisible());
        window.TMenuItem_Kuldes->close();
    }

    // The step label is first shown empty; the file names set later still show whole.
    void stepLabelShowsTheWholeStep() {
        ProgramFolder folder;
        db::execute(
            QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                           "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
        insertItem(QStringLiteral("12345676"), 2007, QStringLiteral("3"));
        QVERIFY(QDir(folder.file(QStringLiteral("Listak"))).removeRecursively());
        TFormFo window;
        window.show();
        openedSaveMenu(window);
        ScriptedMessages boxes;
        window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0)->trigger();
        QCOMPARE(boxes.takeTexts().size(), 1);  // the run stops at the missing listing folder

        QCOMPARE(window.Label1->text(), QStringLiteral("2007_3_12345676_BR.txt mentése"));
        QVERIFY(window.Label1->isVisible());
        const QRect shown = window.Label1->geometry().intersected(window.centralWidget()->rect());
        QVERIFY(shown.width() >=
                window.Label1->fontMetrics().horizontalAdvance(window.Label1->text()));
        QVERIFY(shown.height() >= window.Label1->fontMetrics().height());
    }

    // After a save run the cover-note entry prints the note and the copy entry copies the report
    // files to the medium, the gauge following the copy while it stays hidden.
    void reportEntriesPrintAndCopy() {
        ProgramFolder folder;
        folder.setAddressee();
        testsupport::PrintedToPdf printed;
        QTemporaryDir medium;
        QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("media/folder"), medium.path());
        insertProvider();
        TFormFo window;
        window.show();
        ScriptedMessages boxes;
        openedSaveMenu(window);
        window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0)->trigger();
        // Every menu entry stays on the bar, the longer captions too.
        const QList<QAction*> items = window.menuBar()->actions();
        QTRY_VERIFY(std::all_of(items.begin(), items.end(), [&window](QAction* item) {
            return window.menuBar()->rect().contains(window.menuBar()->actionGeometry(item));
        }));

        window.TMenuItem_KisJegyz->trigger();
        QCOMPARE(printed.jobs().size(), 1);
        QVERIFY(!window.isMinimized());
        // Each ends with a line in the log.
        const QString printer = QFileInfo(printed.jobs().first()).absolutePath();
        QCOMPARE(window.ListBox1->item(window.ListBox1->count() - 1)->text(),
                 u"1 kísérőjegyzék a(z) "_qs + printer + u" nyomtatóra küldve"_qs);

        window.TMenuItem_MasoalsFloppyra->trigger();
        const QStringList files{QStringLiteral("text/2007_3_12345676_BI.txt"),
                                QStringLiteral("text/2007_3_12345676_BR.txt"),
                                QStringLiteral("kuldes/temp/2007_3_12345676_KJ.txt")};
        for (const QString& file : files) {
            QCOMPARE(testsupport::readFile(medium.filePath(QFileInfo(file).fileName())),
                     testsupport::readFile(file));
        }
        const int noteSize = static_cast<int>(QFileInfo(files.last()).size());
        QCOMPARE(window.Gauge1->maximum(), noteSize);
        QCOMPARE(window.Gauge1->value(), noteSize);
        QVERIFY(window.Gauge1->isHidden());
        QVERIFY(window.TMenuItem_Kuldes->menuAction()->isEnabled());
        QCOMPARE(window.ListBox1->item(window.ListBox1->count() - 1)->text(),
                 u"3 állomány átmásolva: "_qs + medium.path());
        QVERIFY(boxes.take().isEmpty());

        // Without a printer (no print service answers the tests) the box and the log say so
        // alike, in the program's words.
        platform::Printer::instance().setPdfFolder(QString());
        window.TMenuItem_KisJegyz->trigger();
        const QStringList told = boxes.takeTexts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].startsWith(u"Nincs kiválasztott nyomtató"_qs), qPrintable(told[0]));
        QCOMPARE(window.ListBox1->item(window.ListBox1->count() - 1)->text(), told[0]);

        // A report missing a file is not printed, and the entries wait for the next save run.
        QVERIFY(QFile::remove(files.last()));
        window.TMenuItem_KisJegyz->trigger();
        QCOMPARE(boxes.takeTexts(),
                 QStringList{u"A(z) 2007. év 3. negyedév jelentése nem nyomtatható: hiányzik "
                             u"vagy megváltozott: kuldes/temp/2007_3_12345676_KJ.txt."_qs});
        QCOMPARE(printed.jobs().size(), 1);
        QVERIFY(!window.TMenuItem_KisJegyz->isEnabled());
        QVERIFY(!window.TMenuItem_Kuldes->menuAction()->isEnabled());
    }

    // A send run that failed leaves "Küldés" enabled, so that the retry its message asks for can
    // be made once the server is up; the entries of a restarted program carry the saved period.
    void failedSendCanBeRetried() {
        ProgramFolder folder;
        const testsupport::ReservedPort down;  // nothing listens there during the test
        QSettings settings(QStringLiteral("velkor.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("ftp/host"), QStringLiteral("127.0.0.1"));
        settings.setValue(QStringLiteral("ftp/port"), down.number());
        settings.sync();
        insertProvider();
        TFormFo window;
        window.show();
        openedSaveMenu(window);
        window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0)->trigger();
        ScriptedMessages boxes;
        const auto sendAndClose = [&window] {
            whenSendWindowWaits([](TFormKuldes& send) { send.close(); });
            window.TMenuItem_KuldesInterneten->trigger();
        };
        sendAndClose();
        QVERIFY(boxes.takeTexts().value(0).startsWith(u"Hiba történt a küldés folyamán!"_qs));
        QVERIFY(window.TMenuItem_Kuldes->menuAction()->isEnabled());

        TFormFo restarted;
        QCOMPARE(restarted.TMenuItem_Kuldes->menuAction()->text().remove(u'&'),
                 u"Küldés 2007 - 3"_qs);
        QVERIFY(restarted.TMenuItem_Kuldes->menuAction()->isEnabled());
        QVERIFY(restarted.TMenuItem_KisJegyz->isEnabled());

        const auto account = transmission::collectingServerAccount();
        testsupport::FtpTestServer server(QStringLiteral("normal"), account.user, account.password);
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        server.writeSettingsFile();
        sendAndClose();
        QVERIFY(boxes.takeTexts().value(0).startsWith(u"Sikeres küldés!"_qs));
        QVERIFY(QFile::exists(server.root() + u"/2007_3_12345676_KJ.zip"_qs));
        QVERIFY(!window.TMenuItem_Kuldes->menuAction()->isEnabled());

        // The overview's save and send steps hold only while the data are those saved and sent.
        const auto saveAndSendDone = [] {
            QList<bool> done;
            for (const overview::StepState& step :
                 overview::quarterSteps(*overview::Quarter::of(u"2007"_qs, u"3"_qs))) {
                if (step.step == overview::Step::Save || step.step == overview::Step::Send)
                    done.append(step.done);
            }
            return done;
        };
        QCOMPARE(saveAndSendDone(), (QList<bool>{true, true}));
        db::execute(QStringLiteral("update AdatlapBR set Tegysegar = 45"));
        QCOMPARE(saveAndSendDone(), (QList<bool>{false, false}));
    }

    // Save run, "Küldés Interneten" to a real FTP server, then the print button: the files are
    // uploaded and archived, the cover note printed, the window closes, and the Send entry is
    // disabled.
    void saveRunThenSendThenPrint() {
        ProgramFolder folder;
        folder.setAddressee();
        testsupport::PrintedToPdf printed;
        const auto account = transmission::collectingServerAccount();
        testsupport::FtpTestServer server(QStringLiteral("normal"), account.user, account.password);
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        server.writeSettingsFile();
        insertProvider();
        TFormFo window;
        window.show();
        openedSaveMenu(window);
        window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0)->trigger();
        QVERIFY(window.TMenuItem_Kuldes->menuAction()->isEnabled());

        ScriptedMessages boxes;
        // What the waiting window shows, taken before its print button is clicked.
        QStringList shown;
        bool minimised = false;
        bool captionFits = false;
        whenSendWindowWaits([&](TFormKuldes& send) {
            minimised = window.isMinimized();
            captionFits =
                send.Button_nyomtatas->sizeHint().width() <= send.Button_nyomtatas->width();
            shown << send.windowTitle() << QString::number(send.ListBox_FTPLog->count())
                  << send.Button_nyomtatas->text() << send.Button_kilepes->text();
            if (send.Button_nyomtatas->isEnabled())
                send.Button_nyomtatas->click();
            else
                send.close();
        });
        window.TMenuItem_KuldesInterneten->trigger();
        // Three lines a file, and one saying that the plain server gets no encryption.
        QCOMPARE(shown,
                 (QStringList{u"Küldés"_qs, u"10"_qs, u"Kisérőjegyzék nyomtatása (2007 - 3)"_qs,
                              u"Kilépés nyomtatás nélkül"_qs}));
        QVERIFY(minimised);
        QVERIFY(captionFits);
        QCOMPARE(boxes.takeTexts().size(), 1);
        QCOMPARE(printed.jobs().size(), 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window.findChildren<TFormKuldes*>().isEmpty());
        QVERIFY(!window.isMinimized());
        QVERIFY(!window.TMenuItem_Kuldes->menuAction()->isEnabled());

        const QStringList names{u"2007_3_12345676_BI"_qs, u"2007_3_12345676_BR"_qs,
                                u"2007_3_12345676_KJ"_qs};
        const QStringList archives =
            QDir(QStringLiteral("kuldes")).entryList({QStringLiteral("2*")}, QDir::Dirs);
        QCOMPARE(archives.size(), 1);
        for (const QString& name : names) {
            const QString zip = name + QStringLiteral(".zip");
            QVERIFY(QFile::exists(server.root() + u'/' + zip));
            QVERIFY(QFile::exists(QStringLiteral("kuldes/") + archives[0] + u'/' + zip));
            QVERIFY(QFile::exists(QStringLiteral("kuldes/") + archives[0] + u'/' + name +
                                  QStringLiteral(".txt")));
        }
    }

    void editorDisablesReportEntriesAndRebuildsSaveMenu() {
        ProgramFolder folder;
        TFormFo window;
        window.show();
        window.TMenuItem_KisJegyz->setEnabled(true);
        window.TMenuItem_Kuldes->menuAction()->setEnabled(true);
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("2"));
        bool minimisedMeanwhile = false;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<TFormAszolgInt*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            minimisedMeanwhile = window.isMinimized();
            editor->reject();
        });
        window.TMenuItem_AszolgInt->trigger();
        QVERIFY(minimisedMeanwhile);
        QVERIFY(!window.isMinimized());
        QVERIFY(!window.TMenuItem_KisJegyz->isEnabled());
        QVERIFY(!window.TMenuItem_Kuldes->menuAction()->isEnabled());
        QCOMPARE(captions(window.TMenuItem_Mentes->actions()), QStringList{u"Mentés 2007"_qs});
    }

    // The save menu, opened while it had no entries, pops up with a record stored later.
    void saveMenuOpenedEmptyShowsLaterRecords() {
        ProgramFolder folder;
        TFormFo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto openSaveMenu = [&] {
            QMenuBar* bar = window.menuBar();
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(window.TMenuItem_Mentes->menuAction()).center());
        };
        openSaveMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), window.TMenuItem_Mentes);
        QTest::keyClick(window.TMenuItem_Mentes, Qt::Key_Escape);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        insertItem(QStringLiteral("11111111"), 2026, QStringLiteral("4"));
        window.CreateSaveMenu();
        openSaveMenu();
        QTRY_COMPARE(QApplication::activePopupWidget(), window.TMenuItem_Mentes);
        QTRY_VERIFY(window.TMenuItem_Mentes->windowHandle()->isExposed());
        QCOMPARE(captions(window.TMenuItem_Mentes->actions()), QStringList{u"&Mentés 2026"_qs});
        QTest::keyClick(window.TMenuItem_Mentes, Qt::Key_Escape);
    }

    void editorThatCannotOpenLeavesMainWindowAsItWas() {
        ProgramFolder folder;
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("2"));
        TFormFo window;
        window.show();
        QAction* yearItem = window.TMenuItem_Mentes->actions().value(0);
        db::execute(QStringLiteral("drop table AdatlapInt"));
        ScriptedMessages boxes;
        window.TMenuItem_AszolgInt->trigger();
        QCOMPARE(boxes.takeTexts(),
                 QStringList{QStringLiteral("Cannot find the table or view 'AdatlapInt'.")});
        QVERIFY(!window.isMinimized());
        QVERIFY(!window.TMenuItem_KisJegyz->isEnabled());
        QCOMPARE(window.TMenuItem_Mentes->actions().value(0), yearItem);
    }

    void failedYearStatementKeepsOldEntries() {
        ProgramFolder folder;
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("1"));
        TFormFo window;
        db::execute(QStringLiteral("alter table AdatlapBR rename to Masik"));
        ScriptedMessages boxes;
        window.CreateSaveMenu();
        const QStringList texts = boxes.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("no such table")), qPrintable(texts[0]));
        QVERIFY(texts[0].endsWith(u'.'));
        QCOMPARE(captions(window.TMenuItem_Mentes->actions()), QStringList{u"Mentés 2007"_qs});
    }

    void closingAsksFirst_data() {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Yes closes") << Button::Yes << true;
        QTest::newRow("No cancels") << Button::No << false;
        QTest::newRow("title bar closes") << Button::None << true;
    }

    void closingAsksFirst() {
        QFETCH(Button, answer);
        QFETCH(bool, closes);
        ProgramFolder folder;
        TFormFo window;
        window.show();
        ScriptedMessages boxes;
        boxes.answer(answer);
        window.TMenuItem_Kilepes->trigger();
        QCOMPARE(boxes.take(),
                 (QList<testsupport::ShownBox>{{platform::MessageKind::Confirmation,
                                                QStringLiteral("Biztosan bezárja a programot"),
                                                {Button::Yes, Button::No}}}));
        QCOMPARE(window.isVisible(), !closes);
    }

    // Without a data-provider record the overview does not open at start. After a save run
    // "Beszerzési listák táblázatként" writes the provider's workbook and hands it to the
    // desktop, and "Adatmappa megnyitása" hands it the working folder.
    void workbooksDataFolderAndOverviewAtStart() {
        ProgramFolder folder;
        QList<QUrl> opened;
        const auto previous =
            platform::setUrlOpener([&opened](const QUrl& url) { return opened.append(url), true; });
        TFormFo window;
        window.show();
        bool overviewShown = false;
        QTimer::singleShot(0, [&overviewShown] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                overviewShown = true;
                shown->close();
            }
        });
        window.showOverviewAtStart();
        QVERIFY(!overviewShown);

        insertProvider();
        window.CreateSaveMenu();
        ScriptedMessages boxes;
        openedSaveMenu(window);
        window.TMenuItem_Mentes->actions().value(0)->menu()->actions().value(0)->trigger();
        window.TMenuItem_Munkafuzet->trigger();
        window.TMenuItem_Adatmappa->trigger();
        platform::setUrlOpener(previous);

        const QString workbook =
            QDir::current().absoluteFilePath(u"Listak/12345676_2007_3.xlsx"_qs);
        QVERIFY(QFileInfo(workbook).size() > 0);
        QCOMPARE(opened, (QList<QUrl>{QUrl::fromLocalFile(workbook),
                                      QUrl::fromLocalFile(QDir::currentPath())}));
        QVERIFY(boxes.take().isEmpty());
    }

    void aboutBoxChangesNoMenuState() {
        ProgramFolder folder;
        insertItem(QStringLiteral("11111111"), 2007, QStringLiteral("1"));
        TFormFo window;
        window.show();
        QAction* yearItem = window.TMenuItem_Mentes->actions().value(0);
        db::execute(QStringLiteral("delete from AdatlapBR"));
        window.TMenuItem_KisJegyz->setEnabled(true);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
            QVERIFY(about);
            QCOMPARE(about->windowTitle(), QStringLiteral("Névjegy"));
            QCOMPARE(about->size(), QSize(521, 275));
            QCOMPARE(about->Version->text(), QStringLiteral("v1.4"));
            QVERIFY(about->OKButton->isDefault());
            seen = true;
            about->OKButton->click();
        });
        window.TMenuItem_About->trigger();
        QVERIFY(seen);
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.TMenuItem_Mentes->actions().value(0), yearItem);  // not rebuilt
        QVERIFY(window.TMenuItem_KisJegyz->isEnabled());
    }

    void startupFailures_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << ""
                                      << "Could not find file 'Adatok/ZovavaZuvi2007.mdb'.";
        // The save menu's statement fails first in these; only the table check's box shows.
        QTest::newRow("empty file") << "empty"
                                    << "Cannot find the table or view 'AdatlapBR'.";
        QTest::newRow("missing purchase table") << "drop table AdatlapBR"
                                                << "Cannot find the table or view 'AdatlapBR'.";
        QTest::newRow("missing year column")
            << "alter table AdatlapBR rename column Beszerzev to Ev"
            << "The column 'Beszerzev' of 'AdatlapBR' is missing.";
        QTest::newRow("missing view") << "drop view View_Intezmeny"
                                      << "Cannot find the table or view 'View_Intezmeny'.";
        QTest::newRow("missing code table") << "drop table Torzs_Artipus"
                                            << "Cannot find the table or view 'Torzs_Artipus'.";
        QTest::newRow("missing column") << "alter table AdatlapBR drop column Tegysegar"
                                        << "The column 'Tegysegar' of 'AdatlapBR' is missing.";
        QTest::newRow("column of another kind")
            << "alter table AdatlapBR rename column Tetelsorszam to Regi; alter table AdatlapBR "
               "add column Tetelsorszam varchar(5)"
            << "The column 'Tetelsorszam' of 'AdatlapBR' holds text instead of a whole number.";
    }

    void startupFailures() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        ProgramFolder folder;
        if (damage.isEmpty() || damage == u"empty") {
            db::closeConnection();
            QFile file(folder.databasePath());
            QVERIFY(damage.isEmpty() ? file.remove() : file.resize(0));
            damage.clear();
        }
        for (const QString& statement : damage.split(u';', Qt::SkipEmptyParts))
            db::execute(statement.trimmed());
        const auto [texts, status] = failedStartup();
        QCOMPARE(texts, QStringList{reason});
        QCOMPARE(status, 1);
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().begin(),
                             QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return qobject_cast<TFormFo*>(w) != nullptr; }));
    }

    void startupOnNonDatabaseFile() {
        ProgramFolder folder;
        db::closeConnection();
        QFile file(folder.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(8192, 'z'));
        file.close();
        const auto [texts, status] = failedStartup();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].contains(QStringLiteral("not a database")), qPrintable(texts[0]));
        QCOMPARE(status, 1);
    }

    // One instance per working folder: while one runs, a second start in its window or on the
    // command line is refused; the lock a killed instance left is taken over.
    void secondInstanceIsRefused() {
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        QProcess first;
        first.start(program);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.file(QStringLiteral("velkor.lock"))), 30000);
        const auto check = [&program] {
            QProcess second;
            second.start(program, {QStringLiteral("--check"), u"2007"_qs, u"3"_qs});
            second.waitForFinished(30000);
            return QString::fromUtf8(second.readAllStandardError()) +
                   QString::number(second.exitCode());
        };
        const QString inUse = QStringLiteral("A program már fut ebben a munkamappában");
        QVERIFY(check().startsWith(inUse) && check().endsWith(u"\n1"));
        ScriptedMessages boxes;
        QCOMPARE(app::runInCurrentFolder(), 1);
        QVERIFY(boxes.takeTexts().value(0).startsWith(inUse));

        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(!check().startsWith(inUse));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
