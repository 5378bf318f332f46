#include "pending.h"

#include <QCoreApplication>

namespace platform {

void drawPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool PendingDrawing::due(bool now) const {
    constexpr qint64 kIntervalMs = 40;
    return now || !last_.isValid() || last_.elapsed() >= kIntervalMs;
}

void PendingDrawing::draw(bool now) {
    if (!due(now))
        return;
    drawPending();
    last_.start();
}

}  // namespace platform
