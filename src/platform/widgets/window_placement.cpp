#include "platform/widgets/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace platform {

namespace {

const QScreen* screenOf(const QWidget* window) {
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

QSize clientRoom(const QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (screen == nullptr)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Before it is first shown a window has no frame yet: a title bar and borders are allowed for.
    constexpr QSize kFrameAllowance(4, 40);  // thin side borders, a title bar
    const QSize frame = window->frameGeometry().size() - window->size();
    return screen->availableGeometry().size() - frame.expandedTo(kFrameAllowance);
}

void centreOnScreen(QWidget* window) {
    window->adjustSize();
    centreAtItsSize(window);
}

void centreAtItsSize(QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (screen == nullptr)
        return;
    fitOnScreen(window);
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void fitOnScreen(QWidget* window) {
    window->resize(window->size().boundedTo(clientRoom(window)));
}

QWidget* scrollWhenLarger(QWidget* window, QSize content, bool growable) {
    // Collected before the area and its page become children of the window themselves.
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("ScrollArea_client"));
    area->setFrameShape(QFrame::NoFrame);
    // A child of the window from the start, so that moving the controls keeps their tab order.
    auto* page = new QWidget(window);
    page->setObjectName(QStringLiteral("Widget_client"));
    for (QWidget* child : children)
        if (!child->isWindow())
            child->setParent(page);
    if (growable) {
        page->setMinimumSize(content);
        area->setWidgetResizable(true);
    } else {
        page->setFixedSize(content);
        window->setMaximumSize(content);
    }
    area->setWidget(page);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    window->resize(content);
    fitOnScreen(window);
    return page;
}

}  // namespace platform
