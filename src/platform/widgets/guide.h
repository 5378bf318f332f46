#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;
class QWidget;

namespace platform {

// The user guide, kezikonyv.html, and F1, which opens it in a window of the program at the
// section of the window it was pressed in; from there it can go on to the user's browser.

// The folders the guide is looked for in, in order: beside the program (the portable layout),
// then where the package installs it.
QStringList guideFolders();

// The guide's file in the first folder that holds it; empty when none does.
QString guideFile();

// Opens the guide at a section (the id of its heading) in the program's guide window. Without a
// guide the user is told where it was looked for.
void openGuide(const QString& section);

// True when the desktop opens HTML files with a web browser of its own window, rather than with a
// terminal program, a text editor or nothing.
bool graphicalBrowserRegistered();

// Hands a place of the guide to the user's browser; says so when none takes it.
void openGuideInBrowser(const QUrl& url);

// Hands a file or folder to the desktop's program for it; when none takes it, the user is told
// where it is.
void openOnDesktop(const QString& path);

// F1 in window opens the guide at section.
void addGuideKey(QWidget* window, const QString& section);

// Hands a URL to the user's browser, or a file or folder to the desktop's program for it:
// QDesktopServices::openUrl, unless a test has put its own in its place. Returns the opener it
// replaced.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);

}  // namespace platform
