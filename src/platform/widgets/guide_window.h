#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;
class QTextBrowser;

namespace platform {

// The user guide inside the program: its HTML with the pictures, opened at one section, so F1
// works without a browser. A button hands the same place to the browser, for printing or a
// larger view.
class GuideWindow : public QDialog {
    Q_OBJECT
public:
    // guide: the page with the section as its fragment.
    explicit GuideWindow(const QUrl& guide, QWidget* parent = nullptr);

    QTextBrowser* Browser;
    QPushButton* Button_bongeszo;
    QPushButton* Button_bezaras;

private:
    void openInBrowser();

    QUrl guide_;
};

}  // namespace platform
