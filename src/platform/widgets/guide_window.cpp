#include "platform/widgets/guide_window.h"

#include "platform/widgets/guide.h"

#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

namespace {

// The size of a picture as the page holds it: an image, a pixmap or the bytes of an image file.
QSize pictureSize(const QVariant& resource) {
    if (resource.canConvert<QImage>() && !resource.value<QImage>().isNull())
        return resource.value<QImage>().size();
    if (resource.canConvert<QPixmap>() && !resource.value<QPixmap>().isNull())
        return resource.value<QPixmap>().size();
    return QImage::fromData(resource.toByteArray()).size();
}

}  // namespace

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

    // Offered only where the desktop would open the page in a browser window; elsewhere the user
    // is told where the file is, to open it as they can.
    Label_fajl = new QLabel(
        QStringLiteral("A kézikönyv fájlja: %1").arg(QDir::toNativeSeparators(guide.toLocalFile())),
        this);
    Label_fajl->setObjectName(QStringLiteral("Label_fajl"));
    Label_fajl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const bool browser = graphicalBrowserRegistered();
    Button_bongeszo->setVisible(browser);
    Label_fajl->setVisible(!browser);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_bongeszo);
    buttons->addWidget(Label_fajl, 1);
    buttons->addStretch();
    buttons->addWidget(Button_bezaras);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(buttons);

    // The fragment takes the view to the section.
    Browser->setSource(guide);
    connect(Browser, &QTextBrowser::sourceChanged, this, &GuideWindow::fitPictures);
    // Most of the screen, whatever its size and scaling.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(std::min(900, room.width() * 9 / 10), room.height() * 9 / 10);
}

void GuideWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitPictures();
}

void GuideWindow::fitPictures() {
    QTextDocument* page = Browser->document();
    const qreal room = Browser->viewport()->width() - 2 * page->documentMargin() - 4;
    QTextCursor cursor(page);
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            QTextImageFormat picture = fragment.fragment().charFormat().toImageFormat();
            if (!picture.isValid())
                continue;
            const QSize natural =
                pictureSize(page->resource(QTextDocument::ImageResource, QUrl(picture.name())));
            if (natural.isEmpty())
                continue;
            const qreal width = std::min<qreal>(natural.width(), room);
            if (qFuzzyCompare(picture.width(), width))
                continue;
            picture.setWidth(width);
            picture.setHeight(natural.height() * width / natural.width());
            cursor.setPosition(fragment.fragment().position());
            cursor.setPosition(fragment.fragment().position() + fragment.fragment().length(),
                               QTextCursor::KeepAnchor);
            cursor.setCharFormat(picture);
        }
    }
}

void GuideWindow::openInBrowser() {
    openGuideInBrowser(Browser->source().isValid() ? Browser->source() : guide_);
}

}  // namespace platform
