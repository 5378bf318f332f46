#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace transmission {

// One reply of an FTP server: its three-digit code and its lines as received.
struct FtpReply {
    int code = 0;
    QStringList lines;

    QString text() const { return lines.join(QLatin1Char('\n')); }
    // The lines between the first and the last of a multi-line reply, without their leading
    // blanks: the feature list of a FEAT reply.
    QStringList innerLines() const;
};

// Gathers the lines of one reply. A multi-line reply ("123-...") ends only at a line that begins
// with the same code followed by a blank; lines in between may start with anything, digits too.
// A reply is bounded far above any real server's greeting or feature list.
class FtpReplyReader {
public:
    static constexpr qsizetype kMaxLines = 1000;
    static constexpr qsizetype kMaxCharacters = 64 * 1024;

    // Takes the next line (without CR LF); true when it completes the reply. A first line that
    // does not start with a reply code, or a reply beyond the bounds, throws platform::Failure.
    bool addLine(const QString& line);
    FtpReply take();

private:
    FtpReply reply_;
    QString terminator_;
    qsizetype characters_ = 0;
};

// The data address named by the first line of a 227 reply: six decimal numbers between "(" and
// ")", or without parentheses the text after the last blank (a trailing full stop tolerated).
// Throws platform::Failure carrying the line when they are not six numbers of 0 to 255 or the
// port is 0.
struct PassiveAddress {
    QHostAddress address;
    quint16 port = 0;
};
PassiveAddress parsePassiveReply(const QString& line);

}  // namespace transmission
