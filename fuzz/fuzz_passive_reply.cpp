// The data address of a 227 reply, from any first line a server may send.

#include "platform/failure.h"
#include "transmission/ftp_reply.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const transmission::PassiveAddress address = transmission::parsePassiveReply(line);
        if (address.port == 0 || address.address.protocol() != QAbstractSocket::IPv4Protocol)
            std::abort();
    } catch (const platform::Failure&) {
        // An unreadable reply is refused with a message: what the client relies on.
    }
    return 0;
}
