#include "sha256.h"

#include "failure.h"

#include <QFile>

#include <openssl/evp.h>

namespace platform {

struct Sha256::Context {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    if (context_->context == nullptr ||
        EVP_DigestInit_ex(context_->context, EVP_sha256(), nullptr) != 1)
        throw Failure(QStringLiteral("Az SHA-256 kivonat nem számítható."));
}

Sha256::~Sha256() = default;

void Sha256::add(std::string_view bytes) {
    EVP_DigestUpdate(context_->context, bytes.data(), bytes.size());
}

QByteArray Sha256::hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context_->context, digest, &size);
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(size)).toHex();
}

QByteArray sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.add(bytes);
    return hash.hex();
}

std::optional<FileDigest> fileDigest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Sha256 hash;
    FileDigest digest;
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(block.data(), block.size());
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        hash.add({block.constData(), static_cast<size_t>(read)});
        digest.size += read;
    }
    digest.sha256 = hash.hex();
    return digest;
}

}  // namespace platform
