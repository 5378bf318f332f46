#include "transmission/ftp_reply.h"

#include "platform/failure.h"

#include <algorithm>
#include <array>

namespace transmission {

namespace {

bool isDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

}  // namespace

QStringList FtpReply::innerLines() const {
    QStringList inner;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        inner.append(lines.at(i).trimmed());
    }
    return inner;
}

bool FtpReplyReader::addLine(const QString& line) {
    characters_ += line.size() + 2;  // with its CR LF
    if (reply_.lines.size() >= kMaxLines || characters_ > kMaxCharacters) {
        throw platform::Failure(
            QStringLiteral("The reply of the FTP server is longer than %1 lines or %2 KiB")
                .arg(kMaxLines)
                .arg(kMaxCharacters / 1024));
    }
    reply_.lines.append(line);
    if (reply_.lines.size() > 1) {
        return line.startsWith(terminator_);
    }
    const QString code = line.left(3);
    const QChar mark = line.size() > 3 ? line.at(3) : QLatin1Char(' ');
    if (code.size() != 3 || !isDigits(code) ||
        (mark != QLatin1Char(' ') && mark != QLatin1Char('-'))) {
        throw platform::Failure(
            QStringLiteral("Unexpected reply from the FTP server: %1").arg(line));
    }
    reply_.code = code.toInt();
    terminator_ = code + QLatin1Char(' ');
    return mark == QLatin1Char(' ');
}

FtpReply FtpReplyReader::take() {
    FtpReply reply = std::move(reply_);
    reply_ = {};
    terminator_.clear();
    characters_ = 0;
    return reply;
}

PassiveAddress parsePassiveReply(const QString& line) {
    const auto unreadable = [&line] {
        return platform::Failure(
            QStringLiteral("Cannot read the data address from the reply: %1").arg(line));
    };
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1Char(')'), open);
    QString text;
    if (close >= 0) {
        text = line.mid(open + 1, close - open - 1);
    } else {
        text = line.mid(line.lastIndexOf(QLatin1Char(' ')) + 1);
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 6) {
        throw unreadable();
    }
    std::array<quint32, 6> numbers{};
    for (int i = 0; i < 6; ++i) {
        const QString part = parts.at(i).trimmed();
        const bool ok = !part.isEmpty() && part.size() <= 3 && isDigits(part);
        numbers[i] = ok ? part.toUInt() : 256;
        if (numbers[i] > 255) {
            throw unreadable();
        }
    }
    PassiveAddress result;
    result.address =
        QHostAddress(numbers[0] << 24 | numbers[1] << 16 | numbers[2] << 8 | numbers[3]);
    result.port = static_cast<quint16>(numbers[4] * 256 + numbers[5]);
    if (result.port == 0) {
        throw unreadable();
    }
    return result;
}

}  // namespace transmission
