#include "platform/codepage.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QTemporaryDir>
#include <QTest>

#include <iconv.h>

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

    // UTF-8 straight into the code page gives the bytes of the full conversion.
    void appendWindows1250_data() { toWindows1250_data(); }

    void appendWindows1250() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        std::string out("x");
        platform::appendWindows1250(out, text.toStdString());
        QCOMPARE(QByteArray::fromStdString(out), "x" + bytes);
    }

    // Broken UTF-8 is read as the toolkit reads it.
    void brokenUtf8_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("cut short") << QByteArray("a\xC5");
        QTest::newRow("lone continuation") << QByteArray(
            "\x91"
            "b");
        QTest::newRow("overlong o with acute") << QByteArray("\xE0\x83\xB3");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80");
        QTest::newRow("outside the basic plane") << QByteArray("\xF0\x9F\x98\x80\xC5\x91");
    }

    void brokenUtf8() {
        QFETCH(QByteArray, utf8);
        std::string out;
        platform::appendWindows1250(out, utf8.toStdString());
        QCOMPARE(QByteArray::fromStdString(out), ::toWindows1250(QString::fromUtf8(utf8)));
    }

    // Every character of the basic plane as the system's own conversion gives it, after
    // composition: a byte for each character of the composed form, "?" where the code page lacks
    // it.
    void everyCharacterAsTheSystemConverts() {
        const iconv_t cd = iconv_open("CP1250", "UTF-32LE");
        QVERIFY(cd != reinterpret_cast<iconv_t>(-1));
        const auto systemByte = [cd](char32_t c) {
            char byte = 0;
            char* in = reinterpret_cast<char*>(&c);
            size_t inLeft = sizeof c;
            char* to = &byte;
            size_t outLeft = 1;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return iconv(cd, &in, &inLeft, &to, &outLeft) == size_t(-1) ? '?' : byte;
        };
        for (char32_t c = 1; c <= 0xFFFF; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const QString text = QString::fromUcs4(&c, 1);
            QByteArray expected;
            for (const char32_t composed : text.normalized(QString::NormalizationForm_C).toUcs4())
                expected.append(systemByte(composed));
            std::string appended;
            platform::appendWindows1250(appended, text.toStdString());
            if (::toWindows1250(text) != expected ||
                QByteArray::fromStdString(appended) != expected)
                QFAIL(qPrintable(QStringLiteral("U+%1").arg(quint32(c), 4, 16, QLatin1Char('0'))));
        }
        iconv_close(cd);
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

QTEST_GUILESS_MAIN(TestCodepage)
#include "test_codepage.moc"
