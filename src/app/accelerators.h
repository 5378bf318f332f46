#pragma once

#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace app {

// Gives each caption of one menu level a keyboard accelerator, serving the items from first to
// last: a caption without "&" gets one before its earliest letter A-Z or digit (compared in upper
// case; accented letters do not count) that no sibling has taken yet. Captions that already have
// a marker keep it, and their letter counts as taken.
QStringList withAccelerators(const QStringList& captions);

// Applies withAccelerators to the actions of one level.
void assignAccelerators(const QList<QAction*>& level);

// Assigns the accelerators of a menu's level whenever it opens.
void assignAcceleratorsOnOpen(QMenu* menu);

// Assigns the accelerators of the menu bar now and again whenever an item is added to it or a
// caption of it is set, so a caption the program changes keeps a letter to reach it by.
void assignAcceleratorsOnChange(QMenuBar* bar);

// The caption as the user reads it: without its accelerator marker ("&&" is a literal "&").
QString withoutMarker(const QString& caption);

}  // namespace app
