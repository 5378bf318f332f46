#pragma once

#include <QString>
#include <QVariant>

class QComboBox;
class QLineEdit;

namespace testsupport {

// Replaces a box's text by typing it, character by character, as the user does (accented letters
// included).
void typeText(QLineEdit* box, const QString& text);

// Chooses the item whose data is `data`, as a click in the drop-down list does.
void choose(QComboBox* box, const QVariant& data);

}  // namespace testsupport
