#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/file_queue.h"
#include "support/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using platform::FileQueue;
using platform::TextFile;

namespace {

void writeFile(FileQueue& queue, const QString& path, std::string_view line) {
    TextFile file(path, &queue);
    file.writeEncodedLine(line);
    file.close();
}

}  // namespace

class TestFileQueue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Files are finished in the order given: the later of two of one name stays.
    void filesKeepTheirOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        FileQueue queue;
        writeFile(queue, path, "old");
        writeFile(queue, path, "new");
        queue.finish();
        QCOMPARE(testsupport::readFile(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
    }

    // A failure is told once, and the files after it are still written whole; a folder that
    // would not take a file fails where the file is begun.
    void failureIsToldOnceAndTheRestIsWritten() {
        QTemporaryDir dir;
        const QString gone = dir.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkdir(gone));
        FileQueue queue;
        TextFile lost(gone + QStringLiteral("/lost.txt"), &queue);
        const QString kept = dir.filePath(QStringLiteral("kept.txt"));
        TextFile next(kept, &queue);
        next.writeEncodedLine("kept");
        QVERIFY(QDir(gone).removeRecursively());
        lost.close();
        // Told when the next file is handed over or at the end, whichever comes after it.
        QStringList told;
        for (const auto& step : {std::function<void()>([&] { next.close(); }),
                                 std::function<void()>([&] { queue.finish(); })}) {
            try {
                step();
            } catch (const platform::Failure& failure) {
                told.append(failure.text());
            }
        }
        QCOMPARE(told, QStringList{QStringLiteral("Cannot create file %1/lost.txt. No such file or "
                                                  "directory")
                                       .arg(QDir::toNativeSeparators(gone))});
        QVERIFY(!next.isOpen());
        QCOMPARE(testsupport::readFile(kept), QByteArray("kept\r\n"));
        QVERIFY_THROWS_EXCEPTION(
            platform::Failure, TextFile(dir.filePath(QStringLiteral("missing/other.txt")), &queue));
    }

    // Lines made on the queue's thread follow those written before; a file whose lines cannot be
    // made is that file's failure, and nothing is left of it.
    void linesMadeOnTheQueuesThread() {
        QTemporaryDir dir;
        FileQueue queue;
        TextFile made(dir.filePath(QStringLiteral("made.txt")), &queue);
        made.writeEncodedLine("written");
        made.closeWith([] { return std::string("made\r\n"); }, 6);
        TextFile failed(dir.filePath(QStringLiteral("failed.txt")), &queue);
        failed.closeWith(
            []() -> std::string { throw platform::Failure(QStringLiteral("no number")); }, 0);
        QVERIFY_THROWS_EXCEPTION(platform::Failure, queue.finish());
        QCOMPARE(testsupport::readFile(dir.filePath(QStringLiteral("made.txt"))),
                 QByteArray("written\r\nmade\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("made.txt")});
    }
};

QTEST_GUILESS_MAIN(TestFileQueue)
#include "test_file_queue.moc"
