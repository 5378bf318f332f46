#include "regional.h"

#include "failure.h"
#include "settings.h"

#include <QLocale>

namespace platform {

QChar decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QChar reportDecimalSeparator() {
    // The INI format reads a bare comma as a list of two empty texts.
    const QString value = openSettings()
                              ->value(QStringLiteral("regional/decimal"))
                              .toStringList()
                              .join(u',')
                              .trimmed();
    if (value.isEmpty() || value == u",")
        return u',';
    if (value == u".")
        return u'.';
    throw Failure(QStringLiteral("A velkor.ini [regional] csoportjában a decimal értéke (%1) "
                                 "nem tizedesjel: \",\" vagy \".\" lehet.")
                      .arg(value));
}

}  // namespace platform
