#include "platform/failure.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/floppy_copy.h"
#include "transmission/widgets/media_copy_view.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using platform::Button;
using platform::MessageKind;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

namespace {

// Report files by name and size.
using Files = QList<QPair<QString, qint64>>;

const QString kYear = QStringLiteral("2007");
const QString kQuarter = QStringLiteral("3");

// The medium of each test: a tmpfs of 256 KiB.
constexpr qint64 kMediumSize = 256 * 1024;

bool run(const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
}

QByteArray contentOf(const QString& name, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(name.size() * 7 + i * 13);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A report file of the program folder: the folder follows from its kind.
QString sourcePath(const QString& name) {
    return (name.endsWith(QStringLiteral("_KJ.txt")) ? QStringLiteral("kuldes/temp/")
                                                     : QStringLiteral("text/")) +
           name;
}

ShownBox warning(const QString& text) {
    return {MessageKind::Warning, text, {Button::Ok}};
}

const QString kNoSpace = QStringLiteral("Az a meghajtón nincs elég hely");

QString failed(const QString& name) {
    return QStringLiteral("Hiba a ") + name + QStringLiteral(" másolása közben!");
}

}  // namespace

class TestFloppyCopy : public QObject {
    Q_OBJECT

    QTemporaryDir mountPoint_;
    std::unique_ptr<ProgramFolder> folder_;

    QString onMedium(const QString& name) const { return QDir(mountPoint_.path()).filePath(name); }

    bool remount(const QString& options) const {
        return run(QStringLiteral("mount"), {QStringLiteral("-o"), options, mountPoint_.path()});
    }

    // The program folder with its report files of the given sizes.
    void writeReports(const Files& files) {
        for (const auto& [name, size] : files)
            writeFile(sourcePath(name), contentOf(name, size));
    }

private Q_SLOTS:
    void init() {
        if (geteuid() != 0)
            QSKIP("Mounting the test medium needs root");
        QVERIFY(run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1").arg(kMediumSize), QStringLiteral("tmpfs"),
                     mountPoint_.path()}));
        QCOMPARE(QStorageInfo(mountPoint_.path()).bytesAvailable(), kMediumSize);
        folder_ = std::make_unique<ProgramFolder>(false);
        QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("media/folder"), mountPoint_.path());
    }

    void cleanup() {
        folder_.reset();
        if (geteuid() == 0)
            QVERIFY(run(QStringLiteral("umount"), {mountPoint_.path()}));
    }

    // The three passes in order, each file byte for byte under its own name, earlier copies of
    // the same name replaced; a file that does not fit is skipped in passes 1 and 2 and ends
    // pass 3, and the pass-end warning names it only when it was the last one tried.
    void copiesThePasses_data() {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QStringList>("copied");
        QTest::addColumn<QList<ShownBox>>("boxes");
        QTest::addColumn<bool>("earlierCopies");

        const QString bi1 = QStringLiteral("2007_3_12345676_BI.txt");
        const QString bi2 = QStringLiteral("2007_3_23456789_BI.txt");
        const QString br1 = QStringLiteral("2007_3_12345676_BR.txt");
        const QString br2 = QStringLiteral("2007_3_23456789_BR.txt");
        const QString kj1 = QStringLiteral("2007_3_12345676_KJ.txt");
        const QString kj2 = QStringLiteral("2007_3_23456789_KJ.txt");
        const qint64 tooBig = kMediumSize + 1;

        QTest::newRow("two providers")
            << Files{{bi1, 300}, {bi2, 301}, {br1, 70000}, {br2, 2}, {kj1, 3000}, {kj2, 0}}
            << QStringList{bi1, bi2, br1, br2, kj1, kj2} << QList<ShownBox>{} << true;
        QTest::newRow("pass 1, first does not fit")
            << Files{{bi1, tooBig}, {bi2, 10}, {br1, 10}, {kj1, 10}} << QStringList{bi2, br1, kj1}
            << QList<ShownBox>{warning(kNoSpace)} << false;
        QTest::newRow("pass 1, last does not fit")
            << Files{{bi1, 10}, {bi2, tooBig}, {br2, 10}} << QStringList{bi1, br2}
            << QList<ShownBox>{warning(kNoSpace), warning(failed(bi2))} << false;
        QTest::newRow("pass 3 stops")
            << Files{{bi1, 10}, {kj1, tooBig}, {kj2, 10}} << QStringList{bi1}
            << QList<ShownBox>{warning(kNoSpace), warning(failed(kj1))} << false;
        QTest::newRow("a file of another period left alone")
            << Files{{bi1, 10}, {QStringLiteral("2031_3_12345676_BI.txt"), 10}} << QStringList{bi1}
            << QList<ShownBox>{} << false;
        QTest::newRow("exactly the free space")
            << Files{{kj1, kMediumSize}} << QStringList{kj1} << QList<ShownBox>{} << false;
    }
    void copiesThePasses() {
        QFETCH(Files, files);
        QFETCH(QStringList, copied);
        QFETCH(QList<ShownBox>, boxes);
        QFETCH(bool, earlierCopies);
        writeReports(files);
        for (const QString& name : copied) {
            if (earlierCopies)
                writeFile(onMedium(name), "an earlier, longer copy of the file");
        }
        ScriptedMessages shown;
        QList<qint64> sizes;
        transmission::MediaCopyView view({}, [&](qint64 done, qint64 size) {
            if (done == std::min<qint64>(size, 64000))
                sizes.append(size);
        });
        transmission::FloppyCopy copy(kYear, kQuarter, view);

        copy.MasolasFloppyra();

        QCOMPARE(shown.take(), boxes);
        QStringList onDisk = QDir(mountPoint_.path()).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(onDisk.begin(), onDisk.end()),
                 QSet<QString>(copied.begin(), copied.end()));
        QList<qint64> expectedSizes;
        for (const QString& name : copied) {
            QCOMPARE(testsupport::readFile(onMedium(name)),
                     testsupport::readFile(sourcePath(name)));
            if (QFileInfo(onMedium(name)).size() > 0)
                expectedSizes.append(QFileInfo(onMedium(name)).size());
        }
        QCOMPARE(sizes, expectedSizes);  // copied in the order of the passes
    }

    // No medium: the question until the answer is No, and nothing copied.
    void asksWhileNoMedium() {
        QVERIFY(run(QStringLiteral("umount"), {mountPoint_.path()}));
        QVERIFY(QDir(mountPoint_.path()).removeRecursively());
        writeReports({{QStringLiteral("2007_3_12345676_BI.txt"), 10}});
        ScriptedMessages shown;
        shown.answer(Button::Yes);
        shown.answer(Button::No);

        transmission::MediaCopyView view;
        transmission::FloppyCopy(kYear, kQuarter, view).MasolasFloppyra();

        const ShownBox question{MessageKind::Warning,
                                QStringLiteral("Nincs floppy az \"a:\\\" meghajtóban. Mégegyszer?"),
                                {Button::Yes, Button::No}};
        QCOMPARE(shown.take(), (QList<ShownBox>{question, question}));
        // Mounted again for the clean-up.
        QVERIFY(QDir().mkpath(mountPoint_.path()));
        QVERIFY(run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                              QStringLiteral("tmpfs"), mountPoint_.path()}));
        QVERIFY(QDir(mountPoint_.path()).isEmpty());
    }

    // Without a setting the copy goes to the medium the system has mounted under /media.
    void findsTheMountedMedium() {
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (volume.rootPath().startsWith(QStringLiteral("/media/")) ||
                volume.rootPath().startsWith(QStringLiteral("/run/media/")))
                QSKIP("A removable medium of this machine is mounted");
        }
        QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat).clear();
        const QString mounted = QStringLiteral("/media/velkor-test-%1").arg(getpid());
        QVERIFY(QDir().mkpath(mounted));
        const bool mountedThere =
            run(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"), mounted});
        const QString name = QStringLiteral("2007_3_12345676_BI.txt");
        writeReports({{name, 10}});

        transmission::MediaCopyView view;
        transmission::FloppyCopy(kYear, kQuarter, view).MasolasFloppyra();

        const QByteArray copied = testsupport::readFile(QDir(mounted).filePath(name));
        QVERIFY(!mountedThere || run(QStringLiteral("umount"), {mounted}));
        QVERIFY(QDir().rmdir(mounted));
        QVERIFY(mountedThere);
        QCOMPARE(copied, contentOf(name, 10));
    }

    // A failure the copy cannot handle ends it with its reason; the files copied before stay,
    // the file being written does not stay truncated.
    void failureLeavesNoPartialFile_data() {
        QTest::addColumn<bool>("writeProtected");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("copied");
        const QString first = QStringLiteral("2007_3_12345676_BI.txt");
        const QString second = QStringLiteral("2007_3_23456789_BI.txt");
        QTest::newRow("medium full midway")
            << false
            << QStringLiteral("Cannot write file %1. No space left on device").arg(onMedium(second))
            << QStringList{first, QStringLiteral("other")};
        QTest::newRow("write-protected")
            << true
            << QStringLiteral("Cannot create file %1. Read-only file system").arg(onMedium(first))
            << QStringList{};
    }
    void failureLeavesNoPartialFile() {
        QFETCH(bool, writeProtected);
        QFETCH(QString, failure);
        QFETCH(QStringList, copied);
        writeReports({{QStringLiteral("2007_3_12345676_BI.txt"), 10},
                      {QStringLiteral("2007_3_23456789_BI.txt"), 200000}});
        if (writeProtected)
            QVERIFY(remount(QStringLiteral("remount,ro")));
        transmission::MediaCopyView view({}, [&](qint64 done, qint64 size) {
            // Another writer takes the rest of the medium after the first block.
            if (size == 200000 && done == 64000)
                writeFile(onMedium(QStringLiteral("other")),
                          QByteArray(QStorageInfo(mountPoint_.path()).bytesAvailable(), 'x'));
        });
        transmission::FloppyCopy copy(kYear, kQuarter, view);
        ScriptedMessages shown;

        QString text;
        try {
            copy.MasolasFloppyra();
        } catch (const platform::Failure& caught) {
            text = caught.text();
        }

        if (writeProtected)
            QVERIFY(remount(QStringLiteral("remount,rw")));
        QCOMPARE(text, failure);
        QCOMPARE(QDir(mountPoint_.path()).entryList(QDir::Files), copied);
    }

    // Stopped in the middle of a file: neither it nor any later file is left on the medium.
    void stopLeavesNoPartialFile() {
        const QString first = QStringLiteral("2007_3_12345676_BI.txt");
        writeReports({{first, 10},
                      {QStringLiteral("2007_3_12345676_BR.txt"), 200000},
                      {QStringLiteral("2007_3_12345676_KJ.txt"), 10}});
        transmission::FloppyCopy* running = nullptr;
        transmission::MediaCopyView view({}, [&](qint64 done, qint64 size) {
            if (size == 200000 && done == 64000)
                running->stop();
        });
        transmission::FloppyCopy copy(kYear, kQuarter, view);
        running = &copy;

        QVERIFY(!copy.MasolasFloppyra());

        QCOMPARE(QDir(mountPoint_.path()).entryList(QDir::Files), QStringList{first});
    }

    // A link on the medium under a report's name, or under the name its copy is written under
    // first, is replaced; the file it points to stays as it was.
    void linksOnTheMediumNotFollowed() {
        const QString name = QStringLiteral("2007_3_12345676_BI.txt");
        writeReports({{name, 10}});
        const QString outside = folder_->file(QStringLiteral("outside.txt"));
        writeFile(outside, "not the medium's");
        QVERIFY(QFile::link(outside, onMedium(name)));
        QVERIFY(QFile::link(outside, onMedium(name + QStringLiteral(".tmp"))));
        transmission::MediaCopyView view;

        QVERIFY(transmission::FloppyCopy(kYear, kQuarter, view).MasolasFloppyra());

        QCOMPARE(testsupport::readFile(outside), "not the medium's");
        QVERIFY(!QFileInfo(onMedium(name)).isSymLink());
        QCOMPARE(testsupport::readFile(onMedium(name)), contentOf(name, 10));
        QCOMPARE(QDir(mountPoint_.path()).entryList(QDir::System | QDir::Files), QStringList{name});
    }

    // A copy killed after each of its 20 blocks in turn, each time over what the runs before it
    // left: every report on the medium is whole or absent, the one being written only under its
    // temporary name. The run after the last kill copies everything.
    void killedCopyLeavesWholeReports() {
        const Files files{{QStringLiteral("2007_3_12345676_BI.txt"), 200000},
                          {QStringLiteral("2007_3_23456789_BI.txt"), 10},
                          {QStringLiteral("2007_3_12345676_BR.txt"), 300000},
                          {QStringLiteral("2007_3_23456789_BR.txt"), 64001},
                          {QStringLiteral("2007_3_12345676_KJ.txt"), 500000},
                          {QStringLiteral("2007_3_23456789_KJ.txt"), 0}};
        writeReports(files);
        QTemporaryDir medium;  // room for a whole copy beside the one it replaces
        for (int kill = 1; kill <= 21; ++kill) {
            QProcess copy;
            copy.setWorkingDirectory(folder_->path());
            copy.start(QStringLiteral(VK_COPY_PROBE), {medium.path()});
            QVERIFY(copy.waitForStarted());
            for (int block = 1; block <= kill && copy.state() == QProcess::Running; ++block) {
                while (!copy.canReadLine() && copy.state() == QProcess::Running)
                    copy.waitForReadyRead(1000);
                if (block == kill)
                    copy.kill();
                else if (copy.readLine().size() > 0)
                    copy.write("\n");
            }
            QVERIFY(copy.state() == QProcess::NotRunning || copy.waitForFinished(30000));
            QVERIFY2(kill <= 20 || copy.exitCode() == 0, copy.readAllStandardError().constData());
            const QStringList left = QDir(medium.path()).entryList(QDir::Files | QDir::System);
            QCOMPARE(left.filter(QStringLiteral(".tmp")).size(), kill <= 20 ? 1 : 0);
            for (const QString& name : left) {
                if (!name.endsWith(QStringLiteral(".tmp")))
                    QCOMPARE(testsupport::readFile(QDir(medium.path()).filePath(name)),
                             testsupport::readFile(sourcePath(name)));
            }
            if (kill == 21)
                QCOMPARE(left.size(), files.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestFloppyCopy)
#include "test_floppy_copy.moc"
