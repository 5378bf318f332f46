#include "pending.h"

#include <QCoreApplication>

namespace platform {

void drawPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace platform
