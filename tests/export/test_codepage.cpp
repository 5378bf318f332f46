#include "platform/codepage.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QTemporaryDir>
#include <QTest>

using platform::TextFile;
using platform::toWindows1250;

class TestCodepage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toWindows1250_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii with tab") << QStringLiteral("a'b\tc") << QByteArray("a'b\tc");
        QTest::newRow("hungarian small")
            << QStringLiteral("áéíóöőúüű") << QByteArray("\xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB");
        QTest::newRow("hungarian capital")
            << QStringLiteral("ÁÉÍÓÖŐÚÜŰ") << QByteArray("\xC1\xC9\xCD\xD3\xD6\xD5\xDA\xDC\xDB");
        QTest::newRow("euro sign") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("not in the code page") << QStringLiteral("a中bñ") << QByteArray("a?b?");
        QTest::newRow("outside the basic plane")
            << QString::fromUcs4(U"x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("lone surrogates")
            << QString(QChar(0xD800)) + u'a' + QChar(0xDC00) + QChar(0xD800) << QByteArray("?a??");
        QTest::newRow("combining accent") << QStringLiteral("o\u030B") << QByteArray("\xF5");
        // A flag written with tag characters: every one of them is a character the code page
        // lacks, none vanishes.
        QTest::newRow("tag characters")
            << QString::fromUcs4(U"a\U000E0000b\U0001F3F4\U000E0067\U000E007Fc")
            << QByteArray("a?b???c");
    }

    void toWindows1250() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(::toWindows1250(text), bytes);
    }

    void linesEndWithCrLf() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        {
            TextFile longer(path);
            longer.writeLine(QStringLiteral("a much longer earlier content"));
        }
        TextFile file(path);
        file.writeLine(QStringLiteral("Fő"));
        file.writeLine(u"");
        file.writeEncodedLine("\xFB");
        file.close();
        QCOMPARE(testsupport::readFile(path), QByteArray("F\xF5\r\n\r\n\xFB\r\n"));
    }

    void missingFolderIsAFailure() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/a.txt"));
        try {
            TextFile file(path);
            QFAIL("created a file in a missing folder");
        } catch (const platform::Failure& failure) {
            QCOMPARE(failure.text(),
                     QStringLiteral("Cannot create file %1. No such file or directory").arg(path));
        }
    }
};

QTEST_MAIN(TestCodepage)
#include "test_codepage.moc"
