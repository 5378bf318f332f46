#pragma once

// Input as the user gives it: clicking, typing, choosing an entry of a drop-down list.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace testsupport {

inline void click(QAbstractButton* button) {
    QVERIFY2(button->isEnabled(), qPrintable(button->text()));
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces a box's text by typing, as the user does.
inline void type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    for (QChar c : text) {
        // A control character cannot be typed; it reaches a box pasted.
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            box->insert(QString(c));
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline void choose(QComboBox* box, int entry) {
    box->setCurrentIndex(entry);
    Q_EMIT box->activated(entry);
}

// Chooses the entry whose key is given; an unknown or empty key chooses none.
inline void chooseKey(QComboBox* box, const QString& key) {
    choose(box, box->findData(key));
}

}  // namespace testsupport
