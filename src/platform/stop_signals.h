#pragma once

#include "failure.h"

// A run started from the command line by a scheduled job ends at its next safe point when the job
// is stopped (SIGTERM, or SIGINT from the keyboard): the save run between data providers, the send
// run between files. What it holds is let go as the Stopped failure unwinds it, the folder's lock
// with the rest.
namespace platform {

// From now on SIGTERM and SIGINT ask the run to stop instead of killing the program.
void installStopSignals();

// Whether a stop was asked for.
bool stopRequested();

// A run stopped by a signal.
class Stopped : public Failure {
public:
    Stopped();
};

// Throws Stopped when a stop was asked for.
void stopIfRequested();

}  // namespace platform
