#include "platform/failure.h"
#include "support/program_folder.h"
#include "transmission/compress_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include <optional>

using transmission::CompressFile;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

// Report-like text: repetitive lines, so that the compressed stream is much shorter than the
// input and the output buffer fills many times over.
QByteArray reportText(qsizetype size) {
    QByteArray text;
    for (int line = 0; text.size() < size; ++line) {
        text += "2007_1_12345678 " + QByteArray::number(line * 7919 % 100000) +
                " Kotszer, steril 10x10 cm      db    " + QByteArray::number(line % 97) + ",50\r\n";
    }
    text.truncate(size);
    return text;
}

QByteArray inflated(const QByteArray& stream, qsizetype expectedSize) {
    QByteArray out(expectedSize + 1, Qt::Uninitialized);
    uLongf outSize = static_cast<uLongf>(out.size());
    const int result = uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize,
                                  reinterpret_cast<const Bytef*>(stream.constData()),
                                  static_cast<uLong>(stream.size()));
    if (result != Z_OK) {
        return QByteArray("inflate failed: ") + zError(result);
    }
    out.truncate(static_cast<qsizetype>(outSize));
    return out;
}

}  // namespace

class TestCompressFile : public QObject {
    Q_OBJECT

    // Writes the input as <base>.txt in the test folder, compresses it and returns <base>.zip.
    QByteArray compressed(const QString& base, const QByteArray& input) {
        const QString path = dir_->filePath(base + QStringLiteral(".txt"));
        writeFile(path, input);
        CompressFile(path);
        return testsupport::readFile(dir_->filePath(base + QStringLiteral(".zip")));
    }

private Q_SLOTS:
    void init() {
        dir_.emplace();
        QVERIFY(dir_->isValid());
    }

    void knownStreams_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("end");
        QTest::newRow("empty file") << QByteArray() << QByteArray::fromHex("78DA030000000001")
                                    << QByteArray::fromHex("78DA030000000001");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray::fromHex("78DA")
                             << QByteArray::fromHex("024D0127");
    }

    void knownStreams() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, end);
        const QByteArray stream = compressed(QStringLiteral("2007_1_12345678_BI"), input);
        QVERIFY(stream.startsWith(start));
        QVERIFY(stream.endsWith(end));
        QCOMPARE(inflated(stream, input.size()), input);
    }

    void inflatesBackByteForByte_data() {
        QTest::addColumn<QByteArray>("input");
        for (const qsizetype size : {0, 1, 65535, 65536, 65537, 1'000'000, 10'485'760}) {
            QTest::addRow("random %lld bytes", static_cast<long long>(size)) << randomBytes(size);
        }
        QTest::newRow("report text 3 MB") << reportText(3'000'000);
    }

    void inflatesBackByteForByte() {
        QFETCH(QByteArray, input);
        const QByteArray stream = compressed(QStringLiteral("2007_1_12345678_BR"), input);
        const QString path = dir_->filePath(QStringLiteral("2007_1_12345678_BR.txt"));
        QCOMPARE(stream.left(2), QByteArray::fromHex("78DA"));
        QVERIFY(inflated(stream, input.size()) == input);
        QVERIFY(testsupport::readFile(path) == input);
    }

    void replacesAnExistingCompressedFileCompletely() {
        const QString path = dir_->filePath(QStringLiteral("2007_1_12345678_KJ.txt"));
        const QString zip = dir_->filePath(QStringLiteral("2007_1_12345678_KJ.zip"));
        writeFile(zip, randomBytes(200'000));
        writeFile(path, "abc");
        CompressFile(path);
        const QByteArray stream = testsupport::readFile(zip);
        QVERIFY(stream.size() < 20);
        QCOMPARE(inflated(stream, 3), QByteArray("abc"));
    }

    // Runs as root too: a folder where a file is expected cannot be opened as one. A name that
    // does not end in ".txt" would be its own compressed file and is refused before anything is
    // opened.
    void failuresNameTheFile_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("named");
        QTest::newRow("input missing")
            << QStringLiteral("missing.txt") << QString() << QStringLiteral("missing.txt");
        QTest::newRow("input is a folder")
            << QStringLiteral("folder.txt") << QStringLiteral("folder.txt")
            << QStringLiteral("folder.txt");
        QTest::newRow("output is a folder")
            << QStringLiteral("report.txt") << QStringLiteral("report.zip")
            << QStringLiteral("report.zip");
        QTest::newRow("input is not a text file")
            << QStringLiteral("report.zip") << QString() << QStringLiteral("report.zip");
    }

    void failuresNameTheFile() {
        QFETCH(QString, input);
        QFETCH(QString, folder);
        QFETCH(QString, named);
        writeFile(dir_->filePath(QStringLiteral("report.txt")), "abc");
        const QString zip = dir_->filePath(QStringLiteral("report.zip"));
        const bool zipIsFile = folder != QStringLiteral("report.zip");
        if (zipIsFile) {
            writeFile(zip, "sent before");
        }
        if (!folder.isEmpty()) {
            QVERIFY(QDir(dir_->path()).mkdir(folder));
        }
        try {
            CompressFile(dir_->filePath(input));
            QFAIL("no failure");
        } catch (const platform::Failure& failure) {
            QVERIFY2(failure.text().contains(dir_->filePath(named)), qPrintable(failure.text()));
        }
        // Nothing is lost: the text file and an unrelated compressed file stay as they were.
        QCOMPARE(testsupport::readFile(dir_->filePath(QStringLiteral("report.txt"))), "abc");
        if (zipIsFile) {
            QCOMPARE(testsupport::readFile(zip), "sent before");
        }
    }

private:
    std::optional<QTemporaryDir> dir_;  // fresh for every test function and row
};

QTEST_GUILESS_MAIN(TestCompressFile)
#include "test_compress_file.moc"
