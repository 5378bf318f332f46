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

using namespace Qt::StringLiterals;

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

// A path under each folder of the desktop's settings or of its programs, in the order they are
// looked in: the user's folder, then the system's.
QStringList xdgPaths(const char* homeVariable, const QString& home, const char* dirsVariable,
                     const QString& dirs, const QString& relative) {
    QStringList paths;
    for (const QString& folder :
         QStringList{qEnvironmentVariable(homeVariable, home)} +
             qEnvironmentVariable(dirsVariable, dirs).split(u':', Qt::SkipEmptyParts))
        paths.append(folder + relative);
    return paths;
}

QStringList applicationFolders() {
    return xdgPaths("XDG_DATA_HOME", QDir::homePath() + u"/.local/share"_s, "XDG_DATA_DIRS",
                    u"/usr/local/share:/usr/share"_s, u"/applications"_s);
}

// The value of a key in a group of a desktop file or a MIME list, as written; their lists are
// separated by ";", which the toolkit's INI reader would take for a comment.
QString desktopValue(const QString& path, QStringView group, QStringView key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inGroup = line == u'[' + group.toString() + u']';
        else if (inGroup && line.section(u'=', 0, 0).trimmed() == key)
            return line.section(u'=', 1).trimmed();
    }
    return {};
}

// The desktop entries that open HTML files, the user's choice first: the defaults of every
// mimeapps.list, then every program that says it opens them.
QStringList htmlHandlers() {
    QStringList lists = xdgPaths("XDG_CONFIG_HOME", QDir::homePath() + u"/.config"_s,
                                 "XDG_CONFIG_DIRS", u"/etc/xdg"_s, u"/mimeapps.list"_s);
    for (const QString& folder : applicationFolders())
        lists << folder + QStringLiteral("/mimeapps.list")
              << folder + QStringLiteral("/mimeinfo.cache");
    QStringList handlers;
    for (const QString& list : lists) {
        for (const QString& group : {u"Default Applications"_s, u"MIME Cache"_s})
            handlers += desktopValue(list, group, u"text/html").split(u';', Qt::SkipEmptyParts);
    }
    return handlers;
}

// A desktop entry of a web browser that opens a window of its own: not a terminal program, not a
// text editor.
bool isGraphicalBrowser(const QString& entry) {
    for (const QString& folder : applicationFolders()) {
        const QString path = folder + u'/' + entry;
        if (!QFileInfo::exists(path))
            continue;
        const QStringList categories =
            desktopValue(path, u"Desktop Entry", u"Categories").split(u';');
        return categories.contains(u"WebBrowser"_s) &&
               desktopValue(path, u"Desktop Entry", u"Terminal") != u"true";
    }
    return false;
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

bool graphicalBrowserRegistered() {
    // The desktop opens a file with the first handler it finds; only that one counts.
    const QStringList handlers = htmlHandlers();
    return !handlers.isEmpty() && isGraphicalBrowser(handlers.first());
}

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

void openOnDesktop(const QString& path) {
    if (!urlOpener()(QUrl::fromLocalFile(path)))
        showWarning(QStringLiteral("Nem sikerült megnyitni, itt található: ") +
                    QDir::toNativeSeparators(path));
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
