#pragma once

class QWidget;

namespace platform {

// Places a window at the centre of the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget* window);

}  // namespace platform
