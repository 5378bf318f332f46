#include "platform/widgets/guide.h"

#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"
#include "platform/widgets/guide_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QShortcut>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {

const QString kGuideName = QStringLiteral("kezikonyv.html");

// The desktop's file handlers hand a browser the file without its "#section" (xdg-open, the
// desktop portal), so a section of a local page is opened through a small page of its own that
// sends the browser on to it.
bool openInBrowser(const QUrl& url) {
    if (!url.isLocalFile() || !url.hasFragment())
        return QDesktopServices::openUrl(url);
    const QDir cache(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    const QString page = cache.filePath(QStringLiteral("kezikonyv-%1.html").arg(url.fragment()));
    const QString target = QString::fromLatin1(url.toEncoded()).toHtmlEscaped();
    const QByteArray redirect = QStringLiteral(
                                    "<!DOCTYPE html><meta charset=\"utf-8\"><meta "
                                    "http-equiv=\"refresh\" content=\"0; url=%1\">"
                                    "<a href=\"%1\">Kézikönyv</a>\n")
                                    .arg(target)
                                    .toUtf8();
    try {
        if (!cache.mkpath(QStringLiteral(".")))
            return QDesktopServices::openUrl(url);
        writeWhole(page, {redirect.constData(), static_cast<size_t>(redirect.size())});
    } catch (const FileFailure&) {
        return QDesktopServices::openUrl(url);  // the section is lost, the guide still opens
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

UrlOpener& urlOpener() {
    static UrlOpener opener = openInBrowser;
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
    // Portable: beside the program; installed: <prefix>/share/doc/velkor beside <prefix>/bin.
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QDir::cleanPath(programFolder + QStringLiteral("/../share/doc/velkor"))};
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
    GuideWindow window(url, QApplication::activeWindow());
    window.exec();
}

void openGuideInBrowser(const QUrl& url) {
    if (!urlOpener()(url))
        showWarning(QStringLiteral("A kézikönyvet nem sikerült megnyitni a böngészőben: ") +
                    url.toLocalFile());
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
