#pragma once

class QSize;
class QWidget;

namespace platform {

// Gives a window the size its contents ask for and centres it at that size.
void centreOnScreen(QWidget* window);

// Places a window at the centre of the screen it is on (the primary screen before it is shown),
// made no larger than the screen has room for.
void centreAtItsSize(QWidget* window);

// The room a window's client area has on its screen: the available area less the window's frame.
QSize clientRoom(const QWidget* window);

// Makes a window no larger than its screen has room for, its title bar and frame included.
void fitOnScreen(QWidget* window);

// Moves the child widgets of window, placed at fixed positions within content, into a scroll
// area that fills the window: the window can be resized up to content (beyond it when growable,
// the page growing with it), and scrolls when the screen is too small for it (a large scaling
// factor). Gives the page that holds the controls.
QWidget* scrollWhenLarger(QWidget* window, QSize content, bool growable = false);

}  // namespace platform
