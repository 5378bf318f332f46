#include "accelerators.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace app {

namespace {

// The character a caption can be reached by, in upper case; a null character when none.
QChar acceleratorKey(QChar c) {
    const QChar upper = (c >= u'a' && c <= u'z') ? QChar(c.unicode() - (u'a' - u'A')) : c;
    const bool usable = (upper >= u'A' && upper <= u'Z') || (upper >= u'0' && upper <= u'9');
    return usable ? upper : QChar();
}

// The character after a single "&" marker ("&&" is a literal ampersand); -1 when none.
qsizetype markerPosition(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return i;
        ++i;
    }
    return -1;
}

// Serves the menu bar's level again whenever one of its items is added or changed. Setting the
// markers changes the items again, which serves the level once more and changes nothing.
class AcceleratorKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged)
            assignAccelerators(static_cast<QWidget*>(watched)->actions());
        return false;
    }
};

}  // namespace

QStringList withAccelerators(const QStringList& captions) {
    QSet<QChar> taken;
    for (const QString& caption : captions) {
        const auto marker = markerPosition(caption);
        if (marker >= 0)
            taken.insert(acceleratorKey(caption[marker + 1]));
    }
    QStringList result;
    for (const QString& caption : captions) {
        QString marked = caption;
        if (markerPosition(caption) < 0) {
            for (qsizetype i = 0; i < caption.size(); ++i) {
                const QChar key = acceleratorKey(caption[i]);
                if (!key.isNull() && !taken.contains(key)) {
                    taken.insert(key);
                    marked.insert(i, u'&');
                    break;
                }
            }
        }
        result.append(marked);
    }
    return result;
}

void assignAccelerators(const QList<QAction*>& level) {
    QStringList captions;
    for (const auto* action : level)
        captions.append(action->text());
    const QStringList marked = withAccelerators(captions);
    for (qsizetype i = 0; i < level.size(); ++i)
        level[i]->setText(marked[i]);
}

void assignAcceleratorsOnOpen(QMenu* menu) {
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu] { assignAccelerators(menu->actions()); });
}

void assignAcceleratorsOnChange(QMenuBar* bar) {
    assignAccelerators(bar->actions());
    bar->installEventFilter(new AcceleratorKeeper(bar));
}

QString withoutMarker(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text.append(caption[i]);
    }
    return text;
}

}  // namespace app
