#include "typing.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace testsupport {

void typeText(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void choose(QComboBox* box, const QVariant& data) {
    const int item = box->findData(data);
    box->setCurrentIndex(item);
    Q_EMIT box->activated(item);
}

}  // namespace testsupport
