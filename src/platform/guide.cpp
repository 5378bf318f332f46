#include "guide.h"

#include "failure.h"
#include "message_box.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {

const QString kGuideName = QStringLiteral("kezikonyv.html");

UrlOpener& urlOpener() {
    static UrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

QStringList guidePaths() {
    QStringList paths;
    for (const QString& folder : guideFolders())
        paths.append(QDir::toNativeSeparators(QDir(folder).absoluteFilePath(kGuideName)));
    return paths;
}

}  // namespace

QStringList guideFolders() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral("/usr/share/doc/velkor")};
}

QString guideFile() {
    for (const QString& path : guidePaths()) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

void openGuide(const QString& section) {
    const QString file = guideFile();
    if (file.isEmpty()) {
        showWarning(QStringLiteral("A kézikönyv nem található. Keresve itt:\n") +
                    guidePaths().join(u'\n'));
        return;
    }
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(section);
    if (!urlOpener()(url))
        showWarning(QStringLiteral("A kézikönyvet nem sikerült megnyitni a böngészőben: ") + file);
}

void addGuideKey(QWidget* window, const QString& section) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window,
                     [section] { runCommand([&section] { openGuide(section); }); });
}

UrlOpener setUrlOpener(UrlOpener opener) {
    std::swap(urlOpener(), opener);
    return opener;
}

}  // namespace platform
