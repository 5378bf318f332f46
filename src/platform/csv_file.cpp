#include "csv_file.h"

#include "whole_file.h"

#include <QDir>

namespace platform {

namespace {

QString csvField(const QString& value) {
    const bool quoted = std::any_of(value.begin(), value.end(), [](QChar c) {
        return c == u';' || c == u',' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!quoted)
        return value;
    return u'"' + QString(value).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

}  // namespace

void writeCsvFile(const QString& path, const QList<QStringList>& rows) {
    QByteArray bytes = "\xEF\xBB\xBF";
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& value : row)
            fields.append(csvField(value));
        bytes += fields.join(u';').toUtf8() + "\r\n";
    }
    try {
        writeWhole(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const FileFailure& failure) {
        throw Failure(QStringLiteral("A(z) %1 fájl nem írható: %2")
                          .arg(QDir::toNativeSeparators(path), failure.reason()));
    }
}

}  // namespace platform
