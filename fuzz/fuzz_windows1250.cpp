// The conversion to Windows-1250 over any UTF-16 text, broken surrogates included: one byte for
// every character as the length checks count them (code points after composition).

#include "platform/codepage.h"

#include <QList>
#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
    const QByteArray bytes = platform::toWindows1250(text);
    const qsizetype characters = text.normalized(QString::NormalizationForm_C).toUcs4().size();
    if (bytes.size() != characters)
        std::abort();
    return 0;
}
