#pragma once

#include <QChar>

namespace platform {

// The decimal separator of the user's regional settings: the default locale's, which follows the
// system unless a test sets another. The editors show and take numbers with it.
QChar decimalSeparator();

// The decimal separator of the report files: key decimal of the group [regional] in velkor.ini,
// "," or "."; the comma the collecting organisation reads when absent. The files' bytes do not
// depend on the locale of whoever runs the save, a scheduled job under LANG=C included. Another
// value is a Failure naming it.
QChar reportDecimalSeparator();

}  // namespace platform
