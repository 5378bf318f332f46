#include "pending.h"

#include <QCoreApplication>

namespace platform {

void drawPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void PendingDrawing::draw(bool now) {
    constexpr qint64 kIntervalMs = 40;
    if (!now && last_.isValid() && last_.elapsed() < kIntervalMs)
        return;
    drawPending();
    last_.start();
}

}  // namespace platform
