#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>

namespace platform {

// SHA-256 digests in lower-case hex, as "sha256sum" writes them. The save run hashes every report
// file it writes, so the digest comes from the system's cryptography library, which uses the
// processor's own instructions for it.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(std::string_view bytes);
    // The digest of everything added; the hash is spent.
    QByteArray hex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

QByteArray sha256Hex(std::string_view bytes);

// The digest and size of the file's bytes; nothing when it cannot be read whole.
struct FileDigest {
    qint64 size = 0;
    QByteArray sha256;
};
std::optional<FileDigest> fileDigest(const QString& path);

}  // namespace platform
