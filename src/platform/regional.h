#pragma once

#include <QChar>

namespace platform {

// The decimal separator of the user's regional settings: the default locale's, which follows the
// system unless a test sets another.
QChar decimalSeparator();

}  // namespace platform
