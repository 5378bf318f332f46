#include "pending.h"

#include <QCoreApplication>

#include <ctime>

namespace platform {

void drawPending() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {

std::int64_t coarseMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

bool PendingDrawing::due(bool now) const {
    constexpr std::int64_t kIntervalMs = 40;
    return now || lastMs_ < 0 || coarseMilliseconds() - lastMs_ >= kIntervalMs;
}

void PendingDrawing::draw(bool now) {
    if (!due(now))
        return;
    drawPending();
    lastMs_ = coarseMilliseconds();
}

}  // namespace platform
