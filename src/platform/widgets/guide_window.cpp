#include "platform/widgets/guide_window.h"

#include "platform/widgets/guide.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

GuideWindow::GuideWindow(const QUrl& guide, QWidget* parent) : QDialog(parent), guide_(guide) {
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(QStringLiteral("Kézikönyv"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    Browser->setAccessibleName(QStringLiteral("Kézikönyv"));
    Button_bongeszo = new QPushButton(QStringLiteral("Megnyitás a &böngészőben"), this);
    Button_bongeszo->setObjectName(QStringLiteral("Button_bongeszo"));
    Button_bezaras = new QPushButton(QStringLiteral("Be&zárás"), this);
    Button_bezaras->setObjectName(QStringLiteral("Button_bezaras"));
    Button_bezaras->setDefault(true);
    connect(Button_bongeszo, &QPushButton::clicked, this, &GuideWindow::openInBrowser);
    connect(Button_bezaras, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_bongeszo);
    buttons->addStretch();
    buttons->addWidget(Button_bezaras);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(buttons);

    // The fragment takes the view to the section.
    Browser->setSource(guide);
    // Most of the screen, whatever its size and scaling.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(std::min(900, room.width() * 9 / 10), room.height() * 9 / 10);
}

void GuideWindow::openInBrowser() {
    openGuideInBrowser(Browser->source().isValid() ? Browser->source() : guide_);
}

}  // namespace platform
