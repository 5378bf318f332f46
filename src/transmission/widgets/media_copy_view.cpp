#include "media_copy_view.h"

#include "platform/message_box.h"
#include "platform/pending.h"

namespace transmission {

MediaCopyView::MediaCopyView(Log log, Progress progress)
    : log_(std::move(log)), progress_(std::move(progress)) {}

void MediaCopyView::logLine(const QString& line) {
    if (log_)
        log_(line);
}

void MediaCopyView::warn(const QString& text) {
    platform::showWarning(text);
}

void MediaCopyView::progressed(qint64 copied, qint64 size) {
    if (progress_)
        progress_(copied, size);
    platform::drawPending();
}

bool MediaCopyView::askAgain(const QString& question) {
    using platform::Button;
    return platform::showWarning(question, {Button::Yes, Button::No}) != Button::No;
}

}  // namespace transmission
