#pragma once

#include <cstdint>

namespace platform {

// Lets pending window messages be processed so that a long run's log and gauge are drawn. Clicks
// and keys wait until the run has ended, so no second command starts in the middle of this one.
void drawPending();

// drawPending for a run that reports many small steps: at most every 40 ms unless asked to draw
// now, often enough to watch the run, seldom enough that drawing does not outweigh the work.
class PendingDrawing {
public:
    // Whether draw would draw now.
    bool due(bool now = false) const;
    void draw(bool now = false);

private:
    // Milliseconds of the system's coarse clock, which is read in a few nanoseconds: due is asked
    // for every row a run writes. Never drawn yet: negative.
    std::int64_t lastMs_ = -1;
};

}  // namespace platform
