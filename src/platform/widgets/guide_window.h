#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace platform {

// The user guide inside the program: its HTML with the pictures, each made no wider than the
// window, opened at one section, so F1 works without a browser. Where the desktop has a browser
// for HTML a button hands the same place to it, for printing or a larger view; elsewhere the
// window says where the guide's file is.
class GuideWindow : public QDialog {
    Q_OBJECT
public:
    // guide: the page with the section as its fragment.
    explicit GuideWindow(const QUrl& guide, QWidget* parent = nullptr);

    QTextBrowser* Browser;
    QPushButton* Button_bongeszo;
    QPushButton* Button_bezaras;
    QLabel* Label_fajl;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void openInBrowser();
    // Pictures wider than the view are shown at its width.
    void fitPictures();

    QUrl guide_;
};

}  // namespace platform
