#pragma once

#include "transmission/floppy_copy.h"

#include <functional>

namespace transmission {

// The copy to the removable medium as the main window shows it: its log lines and progress
// through the functions given, its question and warnings in message boxes, the windows drawn
// after every block.
class MediaCopyView : public MediaCopyObserver {
public:
    using Log = std::function<void(const QString& line)>;
    using Progress = std::function<void(qint64 copied, qint64 size)>;

    explicit MediaCopyView(Log log = {}, Progress progress = {});

    void logLine(const QString& line) override;
    void warn(const QString& text) override;
    void progressed(qint64 copied, qint64 size) override;
    // Any answer but No looks again.
    bool askAgain(const QString& question) override;

private:
    Log log_;
    Progress progress_;
};

}  // namespace transmission
