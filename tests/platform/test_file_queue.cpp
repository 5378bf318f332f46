#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/file_queue.h"
#include "support/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

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
    // Operations are carried out in the order given: an old file deleted before a new one takes
    // its name, work queued after a file sees it whole.
    void operationsKeepTheirOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        {
            FileQueue first;
            writeFile(first, path, "old");
        }
        FileQueue queue;
        queue.remove(path);
        writeFile(queue, path, "new");
        auto seen = queue.later([&path] { return testsupport::readFile(path); });
        QCOMPARE(seen.get(), QByteArray("new\r\n"));
        queue.finish();
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
        queue.later([] {}).wait();
        // Told when the next file is handed over, which is written all the same.
        try {
            next.close();
            QFAIL("the failure was not told");
        } catch (const platform::Failure& failure) {
            QCOMPARE(failure.text(),
                     QStringLiteral("Cannot create file %1/lost.txt. No such file or directory")
                         .arg(QDir::toNativeSeparators(gone)));
        }
        QVERIFY(!next.isOpen());
        queue.finish();
        QCOMPARE(testsupport::readFile(kept), QByteArray("kept\r\n"));
        QVERIFY_THROWS_EXCEPTION(
            platform::Failure, TextFile(dir.filePath(QStringLiteral("missing/other.txt")), &queue));
    }
};

QTEST_MAIN(TestFileQueue)
#include "test_file_queue.moc"
