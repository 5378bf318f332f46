#include "regional.h"

#include <QLocale>

namespace platform {

QChar decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

}  // namespace platform
