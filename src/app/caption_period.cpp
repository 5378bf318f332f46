#include "caption_period.h"

#include "accelerators.h"

namespace app {

Period periodOfCaption(const QString& caption) {
    constexpr qsizetype kYearStart = 7;  // after "Mentés " or "Küldés "
    constexpr qsizetype kYearLength = 4;
    const QString shown = withoutMarker(caption);
    qsizetype quarter = kYearStart + kYearLength;
    while (quarter < shown.size() && (shown[quarter] == u' ' || shown[quarter] == u'-'))
        ++quarter;
    return {shown.mid(kYearStart, kYearLength), shown.mid(quarter, 1)};
}

QString sendCaption(const QString& year, const QString& quarter) {
    return QStringLiteral("Küldés %1 - %2").arg(year, quarter);
}

QString coverNoteCaption(const QString& year, const QString& quarter) {
    return QStringLiteral("Kísérőjegyzék nyomtatása %1 - %2").arg(year, quarter);
}

}  // namespace app
