#pragma once

namespace platform {

// Lets pending window messages be processed so that a long run's log and gauge are drawn. Clicks
// and keys wait until the run has ended, so no second command starts in the middle of this one.
void drawPending();

}  // namespace platform
