#include "codepage.h"

#include "failure.h"
#include "file_queue.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace platform {

namespace {

// The native UTF-16 of QString.
const char* const kUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

// One conversion descriptor from the native UTF-16 of QString to Windows-1250, kept per thread.
class Windows1250Converter {
public:
    Windows1250Converter() : cd_(iconv_open("CP1250", kUtf16)) {
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

// The character of every Windows-1250 byte, looked up once.
std::array<char16_t, 256> windows1250Characters() {
    iconv_t cd = iconv_open(kUtf16, "CP1250");
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

// The characters of the code page's upper half by code point, each with its byte, as the system's
// conversion gives them. A text made only of these and ASCII is converted byte by byte: such a
// text is already in composed form and holds no tag character, so the conversion below would
// yield the same bytes.
class Windows1250Table {
public:
    Windows1250Table() {
        const std::array<char16_t, 256> characters = windows1250Characters();
        Windows1250Converter encoder;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char16_t unit = characters[static_cast<size_t>(byte)];
            // Bytes the code page leaves undefined, and characters the conversion would not
            // give back as the same byte, stay with the full conversion.
            if (unit >= 0x80 && unit < bytes_.size() &&
                encoder.convert(QStringView(&unit, 1)) == QByteArray(1, static_cast<char>(byte)))
                bytes_[unit] = static_cast<char>(byte);
        }
    }

    // The byte of a character above ASCII, or 0 when it takes the full conversion.
    char byteOf(char32_t codePoint) const {
        return codePoint < bytes_.size() ? bytes_[codePoint] : 0;
    }

private:
    // The code page's characters all lie below U+2123 (the trade mark sign).
    std::array<char, 0x2123> bytes_{};
};

const Windows1250Table& windows1250Table() {
    static const Windows1250Table table;
    return table;
}

// Whether the byte-by-byte conversion takes every character of the text.
bool coveredByTable(QStringView text) {
    const Windows1250Table& table = windows1250Table();
    return std::all_of(text.begin(), text.end(), [&table](QChar c) {
        return c.unicode() < 0x80 || table.byteOf(c.unicode()) != 0;
    });
}

// The byte-by-byte conversion; nothing when a character needs the full one.
std::optional<QByteArray> convertedByTable(QStringView text) {
    const Windows1250Table& table = windows1250Table();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* to = bytes.data();
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        *to = unit < 0x80 ? static_cast<char>(unit) : table.byteOf(unit);
        if (*to++ == 0 && unit != 0)
            return std::nullopt;
    }
    return bytes;
}

// The code point of the UTF-8 sequence that begins at text[at] with a byte above ASCII, and its
// length; 0 for a sequence that is broken, overlong or longer than three bytes, which the full
// conversion handles.
char32_t utf8CodePoint(std::string_view text, size_t at, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const auto continues = [&](size_t i) {
        return at + i < text.size() && (byte(i) & 0xC0) == 0x80;
    };
    if ((byte(0) & 0xE0) == 0xC0 && continues(1)) {
        length = 2;
        const char32_t codePoint = (char32_t(byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        return codePoint >= 0x80 ? codePoint : 0;
    }
    if ((byte(0) & 0xF0) == 0xE0 && continues(1) && continues(2)) {
        length = 3;
        const char32_t codePoint =
            (char32_t(byte(0) & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        return codePoint >= 0x800 ? codePoint : 0;
    }
    return 0;
}

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

}  // namespace

QByteArray toWindows1250(QStringView text) {
    if (isAscii(text))
        return text.toLatin1();
    if (auto bytes = convertedByTable(text))
        return *std::move(bytes);
    thread_local Windows1250Converter converter;
    // A letter typed as base letter plus combining accent is stored as its single code point.
    return converter.convert(
        withTagsReplaced(text.toString().normalized(QString::NormalizationForm_C)));
}

std::optional<QString> firstCharacterOutsideWindows1250(QStringView text) {
    if (coveredByTable(text))
        return std::nullopt;
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    for (const char32_t codePoint : composed.toUcs4()) {
        if (codePoint < 0x80 || windows1250Table().byteOf(codePoint) != 0)
            continue;
        const QString character = QString::fromUcs4(&codePoint, 1);
        if (toWindows1250(character) == "?")
            return character;
    }
    return std::nullopt;
}

QString fromWindows1250(QByteArrayView bytes) {
    static const std::array<char16_t, 256> characters = windows1250Characters();
    QString text(bytes.size(), Qt::Uninitialized);
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char byte) { return QChar(characters[static_cast<unsigned char>(byte)]); });
    return text;
}

void appendWindows1250(std::string& out, std::string_view utf8) {
    // ASCII, the bulk of the values, is its own Windows-1250.
    if (isAscii(utf8)) {
        out += utf8;
        return;
    }
    const size_t start = out.size();
    // Every character takes at least as many bytes in UTF-8 as in the code page.
    out.resize(start + utf8.size());
    char* to = out.data() + start;
    const Windows1250Table& table = windows1250Table();
    for (size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            *to++ = utf8[at++];
            continue;
        }
        size_t length = 0;
        const char byte = table.byteOf(utf8CodePoint(utf8, at, length));
        if (byte == 0) {
            out.resize(start);
            const QByteArray converted =
                toWindows1250(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
            out.append(converted.constData(), static_cast<size_t>(converted.size()));
            return;
        }
        *to++ = byte;
        at += length;
    }
    out.resize(static_cast<size_t>(to - out.data()));
}

// Lines are written out once this much has been collected.
constexpr size_t kBlockSize = 64 * 1024;
constexpr size_t kInitialRoom = 1024;

// A file still open was dropped before it was whole: its temporary file goes with it.
TextFile::~TextFile() = default;

void TextFile::create(const QString& path, FileQueue* queue, Target named) {
    close();
    pending_.clear();
    // Most files fit, and a larger one moves its lines only a few times as it grows.
    pending_.reserve(kInitialRoom);
    path_ = path;
    queue_ = queue;
    if (queue_)
        queue_->check();
    if (named == Target::MayExist)
        checkTarget();
    file_.emplace(path);
    open_ = true;
    if (!queue_) {
        givingUpOnFailure([&] { file_->write({}); });
        return;
    }
    // The queue creates the file; a folder that would not take it fails here all the same.
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    if (const int error = queue_->folderError(slash < 0 ? QByteArray(".") : target.left(slash + 1)))
        fail(QStringLiteral("Cannot create file"), error);
}

// A folder or a file the user may not write keeps its name, as the rename would not. A file
// deleted meanwhile is no hindrance.
void TextFile::checkTarget() {
    const QByteArray target = QFile::encodeName(path_);
    struct stat existing {};
    if (::stat(target.constData(), &existing) != 0)
        return;
    if (S_ISDIR(existing.st_mode))
        fail(QStringLiteral("Cannot create file"), EISDIR);
    if (::access(target.constData(), W_OK) != 0 && errno != ENOENT)
        fail(QStringLiteral("Cannot create file"), errno);
}

void TextFile::writeLine(QStringView line) {
    const QByteArray encoded = toWindows1250(line);
    writeEncodedLine({encoded.constData(), static_cast<size_t>(encoded.size())});
}

void TextFile::writeEncodedLine(std::string_view line) {
    pending_ += line;
    pending_ += "\r\n";
    if (pending_.size() >= kBlockSize)
        writePending();
}

void TextFile::writeEncodedLines(std::string_view lines) {
    reserve(lines.size());
    pending_ += lines;
    if (pending_.size() >= kBlockSize)
        writePending();
}

void TextFile::writeEncodedLines(std::string&& lines) {
    if (!pending_.empty()) {
        writeEncodedLines(std::string_view(lines));
        return;
    }
    pending_ = std::move(lines);
    if (pending_.size() >= kBlockSize)
        writePending();
}

void TextFile::writePending() {
    givingUpOnFailure([&] { file_->write(pending_); });
    // Keeps the block's room for the next lines.
    pending_.clear();
}

void TextFile::close() {
    closeWith({}, 0);
}

void TextFile::closeWith(std::function<std::string()> makeLines, size_t expectedBytes) {
    if (!open_)
        return;
    if (!queue_) {
        if (makeLines)
            writeEncodedLines(makeLines());
        open_ = false;
        givingUpOnFailure([&] {
            file_->write(pending_);
            std::exchange(file_, std::nullopt)->commit();
        });
        return;
    }
    open_ = false;
    // The file is the queue's whatever it reports: a failure of an earlier file is told after.
    queue_->commit(*std::exchange(file_, std::nullopt), std::exchange(pending_, {}),
                   std::move(makeLines), expectedBytes);
    queue_->check();
}

// On a failure the file is given up: its temporary file goes, and nothing takes its name.
void TextFile::givingUpOnFailure(const std::function<void()>& step) {
    try {
        step();
    } catch (const FileFailure&) {
        open_ = false;
        file_.reset();
        throw;
    }
}

void TextFile::fail(const QString& action, int error) {
    open_ = false;
    file_.reset();
    throw FileFailure(action, QDir::toNativeSeparators(path_), systemReason(error));
}

void flushFileSystem(const QString& folder) {
    const int descriptor =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = descriptor >= 0 && ::syncfs(descriptor) == 0;
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    if (!flushed)
        throw Failure(QStringLiteral("Cannot write to %1. %2")
                          .arg(QDir::toNativeSeparators(folder), systemReason(error)));
}

}  // namespace platform
