// The reply reader over whatever a server may send: the input is split into lines as the client
// reads them, and the lines are gathered reply after reply.

#include "platform/failure.h"
#include "transmission/ftp_reply.h"

#include <QByteArray>
#include <QList>

#include <cstdlib>

using transmission::FtpReply;
using transmission::FtpReplyReader;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

void checkReply(const FtpReply& reply) {
    require(reply.code >= 0 && reply.code <= 999);
    require(!reply.lines.isEmpty() && reply.lines.size() <= FtpReplyReader::kMaxLines);
    require(reply.innerLines().size() == std::max<qsizetype>(reply.lines.size() - 2, 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FtpReplyReader reader;
    try {
        for (QByteArray line : input.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (reader.addLine(QString::fromUtf8(line)))
                checkReply(reader.take());
        }
    } catch (const platform::Failure& failure) {
        require(!failure.text().isEmpty());
    }
    return 0;
}
