#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace transmission {

// The checksum list of an archive folder, which proves later exactly what was sent.
inline constexpr char kChecksumFileName[] = "SHA256SUMS";

// The checksum list of one archive folder, kept through a send run: each file is hashed once,
// when it is archived, and the list is written whole after each, in the form "sha256sum -c"
// reads (the digest in lower-case hex, two spaces, the name), one line per .zip and .txt file,
// in name order.
class ArchiveChecksums {
public:
    // Starts from the .zip and .txt files the folder already holds (a run of the same minute
    // archived them), each hashed once.
    explicit ArchiveChecksums(const QString& folder);

    // The file of that name in the folder, as it is now.
    void add(const QString& name);
    // The file of that name in the folder, whose bytes the caller has just written.
    void add(const QString& name, const QByteArray& bytes);

    // Writes the whole list through a temporary file (platform::writeWhole), so the list is whole
    // or as it was; a list that cannot be written is a platform::FileFailure.
    void write() const;

private:
    QString folder_;
    std::map<QString, QByteArray> lines_;  // the list's line of each file, by name
};

}  // namespace transmission
