#include "codepage.h"

#include "failure.h"

#include <QDir>
#include <QSysInfo>

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace platform {

namespace {

// One conversion descriptor from the native UTF-16 of QString to Windows-1250, kept per thread.
class Windows1250Converter {
public:
    Windows1250Converter()
        : cd_(iconv_open("CP1250",
                         QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw Failure(QStringLiteral("The Windows-1250 code page is not available"));
    }
    ~Windows1250Converter() { iconv_close(cd_); }
    Windows1250Converter(const Windows1250Converter&) = delete;
    Windows1250Converter& operator=(const Windows1250Converter&) = delete;

    QByteArray convert(QStringView text) {
        QByteArray out(text.size(), Qt::Uninitialized);
        auto* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
        size_t inLeft = static_cast<size_t>(text.size()) * sizeof(char16_t);
        char* to = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(cd_, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1))
                break;
            if (errno != EILSEQ && errno != EINVAL)
                throw Failure(QStringLiteral("Cannot convert text to Windows-1250"));
            // Not in the code page (or a broken surrogate): one "?" for the whole character.
            *to++ = '?';
            --outLeft;
            const size_t skipped = unitsOfCharacterAt(in, inLeft) * sizeof(char16_t);
            in += skipped;
            inLeft -= skipped;
        }
        out.truncate(static_cast<qsizetype>(to - out.data()));
        return out;
    }

private:
    static size_t unitsOfCharacterAt(const char* at, size_t bytesLeft) {
        char16_t first = 0;
        std::copy_n(at, sizeof first, reinterpret_cast<char*>(&first));
        if (!QChar::isHighSurrogate(first) || bytesLeft < 2 * sizeof(char16_t))
            return 1;
        char16_t second = 0;
        std::copy_n(at + sizeof first, sizeof second, reinterpret_cast<char*>(&second));
        return QChar::isLowSurrogate(second) ? 2 : 1;
    }

    iconv_t cd_;
};

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isTag(char32_t codePoint) {
    return codePoint >= 0xE0000 && codePoint <= 0xE007F;
}

// The system's conversion drops the Unicode tag characters (U+E0000 to U+E007F) without a trace;
// like every other character the code page lacks, each of them becomes "?".
QString withTagsReplaced(const QString& text) {
    QString replaced;
    replaced.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair && isTag(QChar::surrogateToUcs4(text[i], text[i + 1]))) {
            replaced.append(u'?');
            ++i;
        } else {
            replaced.append(text[i]);
        }
    }
    return replaced;
}

// The character of every Windows-1250 byte, looked up once.
std::array<char16_t, 256> windows1250Characters() {
    iconv_t cd = iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE",
                            "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw Failure(QStringLiteral("The Windows-1250 code page is not available"));
    std::array<char16_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char16_t out = 0;
        char* from = &in;
        size_t inLeft = 1;
        auto* to = reinterpret_cast<char*>(&out);
        size_t outLeft = sizeof out;
        const bool defined = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<size_t>(-1);
        characters[static_cast<size_t>(byte)] =
            defined ? out : char16_t(QChar::ReplacementCharacter);
    }
    iconv_close(cd);
    return characters;
}

}  // namespace

QByteArray toWindows1250(QStringView text) {
    if (isAscii(text))
        return text.toLatin1();
    thread_local Windows1250Converter converter;
    // A letter typed as base letter plus combining accent is stored as its single code point.
    return converter.convert(
        withTagsReplaced(text.toString().normalized(QString::NormalizationForm_C)));
}

QString fromWindows1250(QByteArrayView bytes) {
    static const std::array<char16_t, 256> characters = windows1250Characters();
    QString text(bytes.size(), Qt::Uninitialized);
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char byte) { return QChar(characters[static_cast<unsigned char>(byte)]); });
    return text;
}

TextFile::~TextFile() {
    if (file_.isOpen())
        file_.close();
}

void TextFile::create(const QString& path) {
    close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("Cannot create file"));
}

void TextFile::writeEncodedLine(const QByteArray& line) {
    if (file_.write(line) != line.size() || file_.write("\r\n", 2) != 2)
        fail(QStringLiteral("Cannot write file"));
}

void TextFile::close() {
    if (!file_.isOpen())
        return;
    const bool flushed = file_.flush();
    file_.close();
    if (!flushed)
        fail(QStringLiteral("Cannot write file"));
}

void TextFile::fail(const QString& action) {
    const QString reason = file_.errorString();
    if (file_.isOpen())
        file_.close();
    throw Failure(QStringLiteral("%1 %2. %3")
                      .arg(action, QDir::toNativeSeparators(file_.fileName()), reason));
}

}  // namespace platform
