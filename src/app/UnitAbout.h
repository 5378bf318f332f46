#pragma once

#include <QDialog>

class QLabel;
class QFrame;
class QPushButton;

// The About box: the program's name, version and origin.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Credit = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;

private Q_SLOTS:
    void OKButtonClick();

private:
    QLabel* addLabel(const char* name, const QString& text, QPoint place, const QColor& colour);
};
