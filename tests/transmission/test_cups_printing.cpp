#include "db/connection.h"
#include "db/query.h"
#include "platform/codepage.h"
#include "support/printed_output.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/widgets/lap1nyom.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;

namespace {

bool writeFile(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// A print service of the test's own: cupsd on a socket in a temporary folder, with one queue,
// the default, whose PDF printer writes every job as a PDF file into a folder. It stops when this
// object goes.
class CupsQueue {
public:
    CupsQueue() : name_(QStringLiteral("velkor_test_%1").arg(getpid())) {
        dir_.setAutoRemove(true);
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther |
                                               QFile::ReadGroup | QFile::ExeGroup);
        QDir root(dir_.path());
        for (const char* sub : {"conf/ppd", "spool/tmp", "cache", "state", "log", "out", "pdf"})
            root.mkpath(QString::fromLatin1(sub));
        for (const char* open : {"spool/tmp", "out", "pdf"})
            QFile::setPermissions(root.filePath(QString::fromLatin1(open)),
                                  QFileDevice::Permissions(0x7777));
        if (!writeFile(path("conf/cupsd.conf"),
                       QStringLiteral("Listen %1\nWebInterface No\nBrowsing No\n"
                                      "DefaultAuthType None\nDefaultPolicy open\n"
                                      "<Policy open>\n<Limit All>\nOrder deny,allow\n</Limit>\n"
                                      "</Policy>\n<Location />\nOrder allow,deny\nAllow all\n"
                                      "</Location>\n")
                           .arg(socket())) ||
            !writeFile(path("conf/cups-files.conf"),
                       QStringLiteral("ServerRoot %1/conf\nRequestRoot %1/spool\n"
                                      "TempDir %1/spool/tmp\nCacheDir %1/cache\n"
                                      "StateDir %1/state\nErrorLog %1/log/error_log\n"
                                      "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                                      "Printcap %1/printcap\nSandboxing Relaxed\n")
                           .arg(dir_.path())) ||
            !writeFile(pdfPrinterSettings(), QStringLiteral("Out %1\nAnonDirName %1\nSpool %2\n")
                                                 .arg(path("out"), path("pdf")))) {
            error_ = QStringLiteral("cannot write the print service's settings");
            return;
        }
        // The print service goes with the test, even when the test ends abruptly.
        cupsd_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
                     {QStringLiteral("-f"), QStringLiteral("-c"), path("conf/cupsd.conf"),
                      QStringLiteral("-s"), path("conf/cups-files.conf")});
        if (!cupsd_.waitForStarted()) {
            error_ = QStringLiteral("cupsd does not start");
            return;
        }
        // The scheduler is ready once its socket is there; a busy machine may take a while.
        if (!QTest::qWaitFor([this] { return QFile::exists(socket()); }, 60'000)) {
            error_ = QStringLiteral("cupsd does not open its socket");
            return;
        }
        if (!admin(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), name_, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("cups-pdf:/") + name_, QStringLiteral("-P"),
                    QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd")}) ||
            !admin(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name_}))
            error_ = QStringLiteral("cannot set up the queue");
    }

    ~CupsQueue() {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(5000))
            cupsd_.kill();
        cupsd_.waitForFinished();
        QFile::remove(pdfPrinterSettings());
    }

    QString error() const { return error_; }
    QString name() const { return name_; }
    QString socket() const { return path("cups.sock"); }
    QString outputFolder() const { return path("out"); }

    // True when every job has left the queue.
    bool idle() const {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"),
                     {QStringLiteral("-h"), socket(), QStringLiteral("-o")});
        return lpstat.waitForFinished(10000) && lpstat.exitCode() == 0 &&
               lpstat.readAllStandardOutput().trimmed().isEmpty();
    }

    // Runs an administration command of the print service against this cupsd.
    bool admin(const QString& command, QStringList arguments) const {
        arguments.prepend(socket());
        arguments.prepend(QStringLiteral("-h"));
        QProcess process;
        process.start(command, arguments);
        return process.waitForFinished(10000) && process.exitCode() == 0;
    }

private:
    QString path(const char* relative) const {
        return dir_.filePath(QString::fromLatin1(relative));
    }
    // The PDF printer reads the settings of a queue from a file named after it.
    QString pdfPrinterSettings() const {
        return QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(name_);
    }

    QTemporaryDir dir_;
    QString name_;
    QProcess cupsd_;
    QString error_;
};

}  // namespace

class TestCupsPrinting : public QObject {
    Q_OBJECT

    std::unique_ptr<CupsQueue> queue_;

private Q_SLOTS:
    void initTestCase() {
        if (geteuid() != 0)
            QSKIP("Starting a print service of its own needs root");
        if (!QFile::exists(QStringLiteral("/usr/sbin/cupsd")) ||
            !QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
            QSKIP(
                "The print service (cups) or its PDF printer (printer-driver-cups-pdf) is missing");
        queue_ = std::make_unique<CupsQueue>();
        QVERIFY2(queue_->error().isEmpty(), qPrintable(queue_->error()));
        qputenv("CUPS_SERVER", queue_->socket().toLocal8Bit());
    }

    void cleanupTestCase() { queue_.reset(); }

    // Each cover note reaches the default printer as a job of its own.
    void printsOnePdfPerCoverNote() {
        ProgramFolder folder(false);
        folder.setAddressee();
        ScriptedMessages boxes;
        const QStringList whos{QStringLiteral("Első"), QStringLiteral("Második")};
        for (const QString& who : whos) {
            QFile note(QStringLiteral("kuldes/temp/2007_3_%1_KJ.txt")
                           .arg(who.size(), 8, 10, QLatin1Char('1')));
            QVERIFY(note.open(QIODevice::WriteOnly));
            note.write(platform::toWindows1250(QStringLiteral("         Kísérőjegyzék ") + who) +
                       "\r\n");
        }

        TLap1nyom_Form printing;

        QVERIFY(boxes.take().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(queue_->idle(), 60000);
        QCOMPARE(testsupport::pdfFiles(queue_->outputFolder()).size(), 2);
        // The PDF printer rebuilds the job from PostScript, which keeps the glyphs but not which
        // characters they stand for: each job is recognised as one page with the note's line.
        for (const QString& pdf : testsupport::pdfFiles(queue_->outputFolder())) {
            const QList<QStringList> pages = testsupport::pdfPages(pdf);
            QCOMPARE(pages.size(), 1);
            QCOMPARE(pages[0].size(), 1);
            QCOMPARE(pages[0][0].split(u' ', Qt::SkipEmptyParts).size(), 2);
        }
    }

    // A queue that refuses jobs, a stopped one and one the settings name that does not exist: the
    // error box says so in the program's words, with what to do, and no job is queued. setUp
    // and tearDown are print-service commands run on the test's queue.
    void printerFailuresSayWhatToDo_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("tearDown");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("told");
        QTest::newRow("refusing jobs")
            << "cupsreject"
            << "cupsaccept"
            << ""
            << "A(z) %1 nyomtató nem fogad nyomtatási feladatot. A rendszergazda engedélyezheti "
               "(cupsaccept %1), vagy válasszon másik nyomtatót.";
        QTest::newRow("stopped") << "cupsdisable"
                                 << "cupsenable"
                                 << ""
                                 << "A(z) %1 nyomtató le van állítva";
        QTest::newRow("named in the settings, missing")
            << ""
            << ""
            << "nincs_ilyen"
            << "A velkor.ini [printer] name beállításában megadott nincs_ilyen nyomtató nem "
               "található.";
    }

    void printerFailuresSayWhatToDo() {
        QFETCH(QString, setUp);
        QFETCH(QString, tearDown);
        QFETCH(QString, named);
        QFETCH(QString, told);
        if (!setUp.isEmpty())
            QVERIFY(queue_->admin(setUp, {queue_->name()}));
        const auto restored = qScopeGuard([&] {
            if (!tearDown.isEmpty())
                queue_->admin(tearDown, {queue_->name()});
        });
        ProgramFolder folder(false);
        folder.setAddressee();
        if (!named.isEmpty())
            QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat)
                .setValue(QStringLiteral("printer/name"), named);
        ScriptedMessages boxes;
        QVERIFY(writeFile(QStringLiteral("kuldes/temp/2007_3_12345676_KJ.txt"), QString()));

        TLap1nyom_Form printing;

        const QStringList texts = boxes.takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(told.arg(queue_->name())), qPrintable(texts[0]));
        QVERIFY(queue_->idle());
    }

    // The command line prints the saved period's note through the same code, without a window:
    // one job, exit status 0.
    void printsFromTheCommandLine() {
        ProgramFolder folder;
        const QString program = folder.copyProgram();
        db::execute(
            QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                           "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
        db::closeConnection();
        QProcess save;
        save.start(program,
                   {QStringLiteral("--save"), QStringLiteral("2007"), QStringLiteral("3")});
        QVERIFY(save.waitForFinished(60000) && save.exitCode() == 0);
        const qsizetype before = testsupport::pdfFiles(queue_->outputFolder()).size();
        QProcess velkor;
        velkor.start(program,
                     {QStringLiteral("--print"), QStringLiteral("2007"), QStringLiteral("3")});
        QVERIFY(velkor.waitForFinished(60000));
        QCOMPARE(velkor.exitCode(), 0);
        // No addressee is set: the notes are printed with a warning naming the settings.
        QVERIFY(QString::fromUtf8(velkor.readAllStandardError())
                    .contains(QStringLiteral("Figyelmeztetés: A kísérőjegyzék címzettje még a "
                                             "program mintaadata; a gyűjtő szervezet adatait a "
                                             "velkor.ini [addressee] csoportjában")));
        QVERIFY(QString::fromUtf8(velkor.readAllStandardOutput())
                    .startsWith(QStringLiteral("1 kísérőjegyzék a(z) %1").arg(queue_->name())));
        QTRY_VERIFY_WITH_TIMEOUT(queue_->idle(), 60000);
        QCOMPARE(testsupport::pdfFiles(queue_->outputFolder()).size(), before + 1);
    }
};

QTEST_MAIN(TestCupsPrinting)
#include "test_cups_printing.moc"
