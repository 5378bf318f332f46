// The value conversions between the database and the text the program shows and writes: any
// text converted to each column kind, and any double written as text, under the Hungarian
// decimal comma.

#include "db/values.h"
#include "platform/failure.h"

#include <QLocale>

#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= sizeof(double)) {
        double number;
        std::memcpy(&number, data, sizeof number);
        const QString text = db::floatText(number);
        // 15 significant digits, a sign, a separator and an exponent at most.
        require(!text.isEmpty() && text.size() <= 24 && !text.contains(u'.'));
    }
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const db::ValueKind kind :
         {db::ValueKind::Text, db::ValueKind::Integer, db::ValueKind::Real}) {
        try {
            const QVariant value = db::valueFromText(text, kind);
            require(value.isNull() == text.isEmpty());
            if (kind != db::ValueKind::Real)
                require(db::textOf(value).isEmpty() == text.isEmpty());
        } catch (const platform::Failure& failure) {
            require(!failure.text().isEmpty() && kind != db::ValueKind::Text);
        }
    }
    return 0;
}
